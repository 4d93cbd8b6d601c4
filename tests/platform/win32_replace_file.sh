#!/usr/bin/env bash
# Builds the Win32 file writer and its check with mingw and runs the check under wine.
# Exit codes: 0 passed, 1 failed, 77 skipped (no mingw or no wine, outside CI).
# Usage: win32_replace_file.sh <source folder> <work folder>
set -uo pipefail
src=$1
work=$2
cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++)
wine=$(command -v wine || command -v wine64)
source "${BASH_SOURCE[0]%/*}/../support/skip.sh" || exit 1
if [ -z "$cxx" ] || [ -z "$wine" ]; then
    skip_missing_tool "needs x86_64-w64-mingw32-g++ and wine (packages g++-mingw-w64-x86-64-posix, wine64)"
fi
mkdir -p "$work" || exit 1
rm -rf "$work/wineprefix/drive_c/setforge-check-"* # folders of earlier runs
"$cxx" -std=c++20 -municode -static -O1 -Wall -Wextra -Wpedantic -Werror -I"$src/src" \
    "$src/src/platform/replace_file_common.cpp" "$src/src/platform/replace_file_win32.cpp" \
    "$src/src/platform/system_reason.cpp" "$src/tests/platform/win32_replace_file_check.cpp" \
    -o "$work/win32_replace_file_check.exe" || exit 1
WINEPREFIX="$work/wineprefix" WINEDEBUG=-all timeout 240 "$wine" "$work/win32_replace_file_check.exe"
