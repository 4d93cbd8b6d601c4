#!/usr/bin/env bash
# Packs the download for Windows players: setforge.exe, its licences and a German read-me in one
# zip, which needs no installer and unpacks with Explorer's own "Alle extrahieren".
#
#   bash scripts/windows_zip.sh <folder> <version>
#
# <folder> holds setforge.exe, LICENSE, THIRD-PARTY-NOTICES and licenses/ (build/windows after
# the windows preset); the zip is written beside them as halvren-setforge-<version>-windows.zip.
# Its listing is checked afterwards: exactly the expected entries, and a read-me with CR LF ends.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: windows_zip.sh <folder> <version>" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "$1" && pwd)
version=$2
zip_name=halvren-setforge-$version-windows.zip
zip_file=$folder/$zip_name

for f in setforge.exe LICENSE THIRD-PARTY-NOTICES; do
    [ -s "$folder/$f" ] || { echo "windows_zip.sh: no $folder/$f" >&2; exit 1; }
done
mapfile -t licences < <(cd "$folder" && find licenses -maxdepth 1 -type f -name '*.copyright' | sort)
[ ${#licences[@]} -gt 0 ] || { echo "windows_zip.sh: no licences in $folder/licenses" >&2; exit 1; }

stage=$(mktemp -d "${TMPDIR:-/tmp}/setforge-zip.XXXXXX")
trap 'rm -rf "$stage"' EXIT
# Notepad before Windows 10 shows a file with bare LF ends as one line, and reads UTF-8 as such
# only with its byte order mark.
{
    printf '\xef\xbb\xbf'
    sed 's/\r$//; s/$/\r/' "$root/packaging/LIESMICH.txt"
} >"$stage/LIESMICH.txt"
cp "$folder/setforge.exe" "$folder/LICENSE" "$folder/THIRD-PARTY-NOTICES" "$stage/"
mkdir "$stage/licenses"
cp "${licences[@]/#/$folder/}" "$stage/licenses/"

rm -f "$zip_file"
# -X leaves out Unix owners and permissions, which Windows has no use for.
(cd "$stage" && zip -q -X -9 "$zip_file" setforge.exe LIESMICH.txt LICENSE THIRD-PARTY-NOTICES "${licences[@]}")

expected=$(printf '%s\n' setforge.exe LIESMICH.txt LICENSE THIRD-PARTY-NOTICES "${licences[@]}" | sort)
listed=$(unzip -Z1 "$zip_file" | sort)
if [ "$listed" != "$expected" ]; then
    echo "windows_zip.sh: $zip_name holds"$'\n'"$listed"$'\n'"instead of"$'\n'"$expected" >&2
    exit 1
fi
unzip -tq "$zip_file" >/dev/null || { echo "windows_zip.sh: $zip_name is damaged" >&2; exit 1; }
cmp -s <(unzip -p "$zip_file" setforge.exe) "$folder/setforge.exe" ||
    { echo "windows_zip.sh: setforge.exe in $zip_name differs from $folder/setforge.exe" >&2; exit 1; }
if unzip -p "$zip_file" LIESMICH.txt | grep -v $'\r$' >/dev/null; then
    echo "windows_zip.sh: LIESMICH.txt in $zip_name has lines that do not end in CR LF" >&2
    exit 1
fi
echo "windows zip: $zip_file, $(stat -c %s "$zip_file") bytes: $(echo "$expected" | tr '\n' ' ')"
