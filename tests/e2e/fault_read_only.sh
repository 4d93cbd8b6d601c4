#!/usr/bin/env bash
# A read-only folder (the program runs as an unprivileged user): saving over a file in it fails
# with a warning box, the file and the folder stay as they were, and the program then saves
# to a writable folder.
# Usage: fault_read_only.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup fault_read_only "$1" "$2" 87
start_app --unprivileged
[ "$(id -u)" -ne 0 ] || [ "$(stat -c %u "/proc/$APP_PID")" = 65534 ] || fail "the program does not run as nobody"

locked="$E2E_WORK/cwd/locked"
mkdir -p "$locked"
printf 'name "alt"\r\n// User Angaben\r\n\r\n' >"$locked/userconfig.cfg"
chmod 666 "$locked/userconfig.cfg" # the file itself stays writable: only the folder is locked
chmod 555 "$locked"

box=$(expect_failed_save "$locked/userconfig.cfg" yes "$locked") || exit 1
shot warning-read-only >/dev/null
close_message_box "$box"

save_as "$E2E_WORK/cwd/userconfig.cfg"
printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$E2E_WORK/cwd/userconfig.cfg" "$E2E_WORK/expected.cfg"
chmod 755 "$locked"
close_program
note "passed"
