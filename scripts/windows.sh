#!/usr/bin/env bash
# Cross-builds setforge.exe for 64-bit Windows and tries it under Wine.
#
# 1. A static Qt for MinGW-w64, built from Debian's own qt6-base source (the same version as the
#    host's Qt, whose moc/rcc/uic the cross build uses) into
#    ~/.cache/setforge/qt6-mingw/<Qt version>-<hash of how it is configured>; skipped when there.
# 2. setforge.exe with the `windows` preset: one file that needs only Windows' own DLLs.
# 3. A smoke test under Wine in Xvfb that saves a config and compares its bytes with the Linux
#    program's for the same steps.
# 4. build/windows/halvren-setforge-<version>-windows.zip for players (scripts/windows_zip.sh).
#
# Usage: bash scripts/windows.sh [qt]     ("qt" stops after step 1)
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
setforge_install_deps "${SETFORGE_WINDOWS_PACKAGES[@]}"

seconds_since() { echo $(($(date +%s) - $1)); }

# --- 1. the static Qt ----------------------------------------------------------------------

qt_deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_deb_version%%+*}
qt_options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    # Only Core, Gui, Widgets, the windows platform plugin and the native styles are needed.
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF
    -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
    # FEATURE_opengl=OFF alone leaves "dynamic OpenGL" on, with which Qt 6.4's windows platform
    # plugin does not compile.
    -DINPUT_opengl=no -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
    # Debian's source leaves out the Wintab headers that tablet input needs.
    -DFEATURE_tabletevent=OFF
    # Windows draws text through GDI/DirectWrite in the windows plugin: no second platform plugin
    # (Direct2D), no FreeType engine (and with it no offscreen plugin), no image formats beyond
    # the built-in PNG and BMP, none of the document writers and readers.
    # The DirectWrite font database is built only with Direct2D, so it goes too (GDI's stays, as
    # Qt's default on Windows).
    -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_directwrite3=OFF -DFEATURE_freetype=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_movie=OFF
    -DFEATURE_imageformat_ppm=OFF -DFEATURE_imageformat_xbm=OFF
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_pdf=OFF -DFEATURE_syntaxhighlighter=OFF
    # Widgets the windows never show. The file dialog and message box keep what they are made of,
    # and the Vista style's headers need the input dialog.
    -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_mdiarea=OFF -DFEATURE_dial=OFF
    -DFEATURE_lcdnumber=OFF -DFEATURE_splashscreen=OFF -DFEATURE_wizard=OFF -DFEATURE_colordialog=OFF
    -DFEATURE_fontdialog=OFF -DFEATURE_fontcombobox=OFF -DFEATURE_keysequenceedit=OFF
    -DFEATURE_undoview=OFF -DFEATURE_columnview=OFF -DFEATURE_dockwidget=OFF -DFEATURE_toolbox=OFF
    -DFEATURE_errormessage=OFF -DFEATURE_progressdialog=OFF
)
qt_key=$qt_version-$({
    printf '%s\n' "$qt_deb_version" "${qt_options[@]}"
    cat cmake/mingw-w64-compilers.cmake
    x86_64-w64-mingw32-g++-posix --version | head -n 1
} | sha256sum | cut -c1-12)
qt_cache=${XDG_CACHE_HOME:-$HOME/.cache}/setforge/qt6-mingw
qt_prefix=$qt_cache/$qt_key
qt_done_stamp=$qt_prefix/.setforge-complete

# Debian's source of the host's exact Qt version. When the machine has no deb-src entries, a
# private apt state made from its Debian entries is used, so the machine's own stays untouched.
fetch_qt_source() {
    local into=$1
    local apt=(apt-get -q)
    if ! apt-get source --print-uris "qt6-base=$qt_deb_version" >/dev/null 2>&1; then
        local state=$into/apt
        mkdir -p "$state/lists/partial" "$state/parts" "$state/cache"
        : >"$state/sources.list"
        local f
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] && grep -q 'debian' "$f" && sed 's/^Types: deb$/Types: deb-src/' "$f" >"$state/parts/$(basename "$f")"
        done
        if [ -f /etc/apt/sources.list ]; then
            sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' /etc/apt/sources.list >"$state/sources.list"
        fi
        apt+=(-o "Dir::Etc::SourceList=$state/sources.list" -o "Dir::Etc::SourceParts=$state/parts"
            -o "Dir::State::Lists=$state/lists" -o "Dir::Cache=$state/cache")
        "${apt[@]}" -qq update
    fi
    (cd "$into" && "${apt[@]}" source "qt6-base=$qt_deb_version")
}

build_qt() {
    local scratch=$qt_cache/build-$qt_key
    local started
    started=$(date +%s)
    rm -rf "$scratch" "$qt_prefix"
    mkdir -p "$scratch"
    fetch_qt_source "$scratch"
    local src
    src=$(find "$scratch" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    [ -n "$src" ] || { echo "apt-get source left no qt6-base folder in $scratch"; return 1; }

    cmake -S "$src" -B "$scratch/build" "${qt_options[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-compilers.cmake" \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix"
    cmake --build "$scratch/build" --parallel 2
    cmake --install "$scratch/build"
    cp "$PWD/cmake/mingw-w64-compilers.cmake" "$qt_prefix/"
    printf 'Debian qt6-base %s, built in %s s\n' "$qt_deb_version" "$(seconds_since "$started")" >"$qt_done_stamp"
    rm -rf "$scratch"
}

mkdir -p "$qt_cache"
(
    # Two runs at once (CI beside a developer) build Qt once.
    flock 9
    if [ -f "$qt_done_stamp" ]; then
        echo "static MinGW Qt: $qt_prefix ($(cat "$qt_done_stamp"))"
    else
        echo "static MinGW Qt: building into $qt_prefix (half an hour or more on 2 cores)"
        build_qt
        echo "static MinGW Qt: $(cat "$qt_done_stamp")"
    fi
) 9>"$qt_cache/.lock"

if [ "${1:-}" = qt ]; then
    exit 0
fi

# --- 2. setforge.exe -----------------------------------------------------------------------

export SETFORGE_QT_MINGW=$qt_prefix
# The native package build (the one scripts/package.sh makes) renders setforge.ico (a program
# built for Windows cannot run here) and is the Linux program the smoke test compares against.
cmake --preset package >/dev/null
cmake --build --preset package --parallel 2 --target setforge setforge_icons
icon=build/package/packaging/setforge.ico
icon_sizes=$(identify -format '%wx%h ' "$icon") || { echo "$icon is no icon file"; exit 1; }
[ "$icon_sizes" = "16x16 32x32 48x48 64x64 128x128 256x256 " ] || { echo "$icon holds $icon_sizes"; exit 1; }

started=$(date +%s)
cmake --preset windows >/dev/null
cmake --build --preset windows --parallel 2
exe_seconds=$(seconds_since "$started")
exe=build/windows/setforge.exe
[ -f "$exe" ] || { echo "no $exe"; exit 1; }

# Only DLLs that come with Windows: each must be one that Wine implements as part of Windows,
# or an API set (api-ms-win-*, names the Windows loader itself maps onto its system DLLs), and
# none may be a compiler runtime or Qt library.
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$wine_dlls" ] || { echo "no $wine_dlls: is wine64 installed?"; exit 1; }
mapfile -t dlls < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -uf)
[ ${#dlls[@]} -gt 0 ] || { echo "objdump found no imported DLLs in $exe"; exit 1; }
for dll in "${dlls[@]}"; do
    lower=${dll,,}
    case $lower in
    libstdc++* | libgcc* | libwinpthread* | qt6* | zlib* | libpng* | libfreetype* | libharfbuzz* | libpcre*)
        echo "$exe needs $dll, which Windows does not have"
        exit 1
        ;;
    api-ms-win-*) continue ;;
    esac
    [ -f "$wine_dlls/$lower" ] || { echo "$exe needs $dll, which is not one of Windows' own DLLs"; exit 1; }
done
echo "setforge.exe imports: ${dlls[*]}"

# Qt's German texts travel inside the program: rcc stores the file name in UTF-16.
if ! LC_ALL=C grep -q -a -P 'q\x00t\x00b\x00a\x00s\x00e\x00_\x00d\x00e\x00\.\x00q\x00m' "$exe"; then
    echo "$exe carries no qtbase_de.qm"
    exit 1
fi
# The licences beside the program.
for f in LICENSE THIRD-PARTY-NOTICES; do
    cmp -s "$f" "build/windows/$f" || { echo "build/windows/$f is missing or stale"; exit 1; }
done
for f in qt6-base mingw-w64 gcc-mingw-w64; do
    [ -s "build/windows/licenses/$f.copyright" ] || { echo "no build/windows/licenses/$f.copyright"; exit 1; }
done

# --- 3. the smoke test under Wine ----------------------------------------------------------

# A skip (exit 77, a missing tool) counts as a failure here: this script installed the tools.
started=$(date +%s)
if ! bash tests/e2e/wine_smoke.sh "$exe" build/package/src/windows/setforge build/windows/shots; then
    echo "wine-smoke: 0 passed, 1 failed"
    exit 1
fi
echo "windows: setforge.exe $(stat -c %s "$exe") bytes, built in $exe_seconds s;" \
    "smoke test under Wine $(seconds_since "$started") s; static Qt: $(cat "$qt_done_stamp")"
echo "wine-smoke: 1 passed, 0 failed"

# --- 4. the players' download --------------------------------------------------------------

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
[ -n "$version" ] || { echo "build/windows/CMakeCache.txt names no project version"; exit 1; }
bash scripts/windows_zip.sh build/windows "$version"
