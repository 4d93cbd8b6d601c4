#!/usr/bin/env bash
# The Windows players' zip from a folder with a stand-in setforge.exe: a complete folder gives a
# zip with exactly its files; a folder that lacks one of them gives no zip and a failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
for tool in zip unzip; do
    command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/setforge-zip-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# case name | file removed from the folder ("" for none) | expected exit status
while IFS='|' read -r name removed status; do
    folder=$work/$name
    mkdir -p "$folder/licenses"
    head -c 65536 /dev/urandom >"$folder/setforge.exe"
    cp "$root/LICENSE" "$root/THIRD-PARTY-NOTICES" "$folder/"
    for n in qt6-base mingw-w64; do echo "$n" >"$folder/licenses/$n.copyright"; done
    [ -n "$removed" ] && rm -r "${folder:?}/$removed"
    bash "$root/scripts/windows_zip.sh" "$folder" 9.8 >"$work/$name.log" 2>&1
    got=$?
    zip_file=$folder/halvren-setforge-9.8-windows.zip
    if [ "$got" != "$status" ] || { [ "$status" != 0 ] && [ -e "$zip_file" ]; }; then
        echo "FAIL $name: exit $got, expected $status"; cat "$work/$name.log"; failed=1
    elif [ "$status" = 0 ] && [ "$(unzip -Z1 "$zip_file" | sort | tr '\n' ' ')" != \
        "LICENSE LIESMICH.txt THIRD-PARTY-NOTICES licenses/mingw-w64.copyright licenses/qt6-base.copyright setforge.exe " ]; then
        echo "FAIL $name: the zip holds $(unzip -Z1 "$zip_file" | tr '\n' ' ')"; failed=1
    fi
done <<'CASES'
complete||0
no program|setforge.exe|1
no notices|THIRD-PARTY-NOTICES|1
no licence folder|licenses|1
CASES
exit $failed
