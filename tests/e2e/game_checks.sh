#!/usr/bin/env bash
# What the game would refuse is stopped in the window: a nickname the game's userinfo refuses
# gets a warning before any dialog and nothing is written; an unknown buy key gets a warning,
# inserts nothing and leaves the buy window open with its ticks; a bind line behind text on a
# line goes onto a line of its own.
# Usage: game_checks.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup game_checks "$1" "$2" 91
start_app

click_in_frame 120 960 2520 360 2895 285 # Text1, the nickname
type_text "a..b"
click_control "$MAIN_X" "$MAIN_Y" 8580 7560 2715 375 # "Config erstellen"
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no warning for a nickname with '..'"
shot warning-nickname >/dev/null
[ -z "$(visible_dialogs | grep -v "$box")" ] || fail "a dialog besides the warning is open"
close_message_box "$box"
[ -z "$(ls -A "$E2E_WORK/cwd")" ] || fail "something was written: $(ls -A "$E2E_WORK/cwd")"
# The focus is back in the nickname box: typing there replaces the name.
key ctrl+a
type_text "Spieler"

click_in_frame 5760 2820 120 720 5295 3735 # Text2, the free text
type_text "say hi"
open_buy_menu
# c24 "KEVLAR": first row of frame "EQUIPMENT" (6360,360), check box at 120,240.
click_at $((BUY_X + $(px $((6360 + 120))) + 6)) $((BUY_Y + $(px $((360 + 240)) ) + $(px 255) / 2))
# The key box: Text1 of frame "Erstellen" (6360,3600) at 1080,240.
click_control "$BUY_X" "$BUY_Y" $((6360 + 1080)) $((3600 + 240)) 1815 285
key ctrl+a
type_text "MOUSE 4"
click_control "$BUY_X" "$BUY_Y" $((6360 + 480)) $((3600 + 1560)) 2175 255 # "Buy Script Erstellen"
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID" "$BUY_ID") || fail "no warning for the key 'MOUSE 4'"
shot warning-key >/dev/null
close_message_box "$box"
window_visible "$BUY_ID" || fail "the buy window closed after an unknown key"

click_control "$BUY_X" "$BUY_Y" $((6360 + 1080)) $((3600 + 240)) 1815 285
key ctrl+a
type_text "Q"
click_control "$BUY_X" "$BUY_Y" $((6360 + 480)) $((3600 + 1560)) 2175 255
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after a known key"

save_as "$E2E_WORK/out.cfg"
printf 'name "Spieler"\r\n// User Angaben\r\nsay hi\r\nbind "q" "vest"\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$E2E_WORK/out.cfg" "$E2E_WORK/expected.cfg"
close_program
note "passed"
