#!/usr/bin/env bash
# A path below a regular file: the save fails, a warning box says so, every file stays as it
# was, and the program saves to a good path afterwards.
# Usage: fault_below_file.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup fault_below_file "$1" "$2" 75
start_app

out="$E2E_WORK/out"
mkdir -p "$out"
printf 'alte Notizen\r\n' >"$out/notes"
printf 'echo alt\r\n' >"$out/userconfig.cfg"

box=$(expect_failed_save "$out/notes/userconfig.cfg" "" "$out") || exit 1
shot warning-below-file >/dev/null
close_message_box "$box"

save_as "$out/good.cfg"
printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$out/good.cfg" "$E2E_WORK/expected.cfg"
close_program
note "passed"
