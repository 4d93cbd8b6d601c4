#!/usr/bin/env bash
# A full disk, made with a 200-byte file-size limit (SIGXFSZ ignored): saving a larger config
# over an existing file fails with a warning box, the old file keeps its bytes, no temporary
# file stays behind, and the program then saves a small config, to a new file and over the old one.
# Usage: fault_disk_full.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup fault_disk_full "$1" "$2" 79
start_app --fsize 200

out="$E2E_WORK/out"
mkdir -p "$out"
printf 'name "alt"\r\n// User Angaben\r\necho alt\r\n' >"$out/userconfig.cfg"
cp "$out/userconfig.cfg" "$E2E_WORK/old.cfg"

click_in_frame 5760 2820 120 720 5295 3735 # Text2, the free text
type_text "say $(printf 'N%.0s' {1..300})"   # the config grows past the limit

box=$(expect_failed_save "$out/userconfig.cfg" yes "$out") || exit 1
shot warning-disk-full >/dev/null
cmp "$E2E_WORK/old.cfg" "$out/userconfig.cfg" || fail "the old file lost its bytes"
close_message_box "$box"

# With the free text emptied and a short nickname the config fits below the limit.
click_in_frame 5760 2820 120 720 5295 3735
key ctrl+a BackSpace
click_in_frame 120 960 2520 360 2895 285
type_text "kurz"
printf 'name "kurz"\r\n// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
save_as "$out/good.cfg"
expect_bytes "$out/good.cfg" "$E2E_WORK/expected.cfg"
save_as "$out/userconfig.cfg" yes
expect_bytes "$out/userconfig.cfg" "$E2E_WORK/expected.cfg"
[ "$(ls -A "$out" | tr '\n' ' ')" = "good.cfg userconfig.cfg " ] || fail "unexpected files: $(ls -A "$out")"
close_program
note "passed"
