#!/usr/bin/env bash
# At start the keyboard focus is in the nickname box and nothing else is chosen: typed letters
# become the name, and the file holds only the name line.
# Usage: start_focus.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup start_focus "$1" "$2" 89
start_app

# The pointer rests on the banner, which takes no input; the keys go to the focused control.
xdotool mousemove $((MAIN_X + 380)) $((MAIN_Y + 40)) || fail "xdotool mousemove"
type_text "Jo"
shot after-key >/dev/null

mkdir -p "$E2E_WORK/out"
save_as "$E2E_WORK/out/userconfig.cfg"
printf 'name "Jo"\r\n// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$E2E_WORK/out/userconfig.cfg" "$E2E_WORK/expected.cfg"
close_program
note "passed"
