#!/usr/bin/env bash
# The main window's close picture ends the program while the buy window and the About window
# are open: the process is gone within a few seconds, with exit status 0.
# Usage: close_with_buy.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup close_with_buy "$1" "$2" 83
start_app
open_buy_menu
click_control "$MAIN_X" "$MAIN_Y" 2880 7560 2775 375 # "Informationen über Programm"
about=$(wait_window '^Informationen' "$MAIN_ID" "$BUY_ID") || fail "the About window did not open"
shot before-close >/dev/null
window_visible "$BUY_ID" || fail "the buy window closed when the About window opened"
window_visible "$about" || fail "the About window is not on screen"
close_program
note "passed"
