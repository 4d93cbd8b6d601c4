#!/usr/bin/env bash
# The one list of Debian packages the project needs, and the step that installs
# whichever of them are missing. Sourced by the README commands and by CI.

SETFORGE_PACKAGES=(
    cmake ninja-build g++ make
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation fonts-freefont-ttf
    qt6-translations-l10n
    xvfb xdotool x11-utils imagemagick
    strace
    appstream
    libxcb1-dev
)

# Only for the Windows build (scripts/windows.sh): the MinGW cross compiler, the host Qt tools a
# cross-built Qt needs, dpkg-source to unpack Qt's Debian source, Wine for the smoke test, and
# zip/unzip for the players' download.
SETFORGE_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix
    qt6-base-dev-tools dpkg-dev xz-utils
    wine wine64
    zip unzip
)

setforge_install_deps() {
    local missing=()
    local pkg
    for pkg in "${SETFORGE_PACKAGES[@]}" "$@"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq || return 1
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}
