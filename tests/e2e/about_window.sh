#!/usr/bin/env bash
# The About window: opened by "Informationen über Programm" centred on the screen, closed by OK;
# opened again by the About icon on the title strip and closed by its close picture; Enter on
# the focused OK closes it too.
# Usage: about_window.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup about_window "$1" "$2" 85
start_app

open_about() {
    about=$(wait_window '^Informationen' "$MAIN_ID") || fail "the About window did not open ($1)"
    [ "$(window_size "$about")" = 312x205 ] || fail "About window is $(window_size "$about"), not 312x205"
    read -r AX AY < <(window_origin "$about")
    [ "$AX,$AY" = "356,281" ] || fail "About window at $AX,$AY, not centred at 356,281"
}

click_control "$MAIN_X" "$MAIN_Y" 2880 7560 2775 375 # Command3
open_about "button"
shot about-window >/dev/null
click_control "$AX" "$AY" 2400 2640 2235 375 # OK
wait_window_gone "$about" || fail "OK did not close the About window"

click_control "$MAIN_X" "$MAIN_Y" 10735 25 195 195 # Image2, the About icon on the strip
open_about "icon"
click_at $((AX + $(px 4440) + $(px 240) / 2)) $((AY + $(px 255) / 2)) # Image1, the close picture
wait_window_gone "$about" || fail "the close picture did not close the About window"

click_control "$MAIN_X" "$MAIN_Y" 2880 7560 2775 375
open_about "button, again"
key Return
wait_window_gone "$about" || fail "Enter on OK did not close the About window"

close_program
note "passed"
