#!/usr/bin/env bash
# The typical run from start to file: a nickname, fast switching "Ja", gamma "2.2", a buy
# script for KEVLAR on F11, then "Config erstellen" accepting the proposed file name.
# Usage: typical_run.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup typical_run "$1" "$2" 71
start_app
[ "$(window_size "$MAIN_ID")" = "$MAIN_SIZE" ] || fail "main window is $(window_size "$MAIN_ID"), not $MAIN_SIZE"
shot main-start >/dev/null

# Frame "Allgemeine Einstellungen" stands at 120,960; its controls are placed inside it.
click_in_frame 120 960 2520 360 2895 285 # Text1, the nickname
type_text "Jörg Ü"
click_in_frame 120 960 2520 720 495 255 # o1 "Ja" in Picture5
pick_list_item 120 960 1440 3 6         # ga, fourth of six items: "2.2"

open_buy_menu
[ "$(window_size "$BUY_ID")" = "$BUY_SIZE" ] || fail "buy window is $(window_size "$BUY_ID"), not $BUY_SIZE"
# c24 "KEVLAR": first row of frame "EQUIPMENT" (6360,360), check box at 120,240; click its box.
click_at $((BUY_X + $(px $((6360 + 120))) + 6)) $((BUY_Y + $(px $((360 + 240)) ) + $(px 255) / 2))
shot buy-window >/dev/null
# "Buy Script Erstellen": Command1 of frame "Erstellen" (6360,3600).
click_control "$BUY_X" "$BUY_Y" $((6360 + 480)) $((3600 + 1560)) 2175 255
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after \"Buy Script Erstellen\""
shot main-filled >/dev/null

# "Config erstellen", and the proposed name in the starting folder (the working folder).
target="$E2E_WORK/cwd/userconfig.cfg"
dialog=$(open_save_dialog) || fail "the save dialog did not open"
shot save-dialog >/dev/null
key Return
wait_window_gone "$dialog" || fail "the save dialog stayed open"
wait_file_changed "$target" none || fail "no userconfig.cfg in the starting folder"

printf 'name "J\xc3\xb6rg \xc3\x9c"\r\nhud_fastswitch "1"\r\ngamma "2.200000"\r\n// User Angaben\r\nbind "F11" "vest"\r\n\r\n' \
    >"$E2E_WORK/expected.cfg"
expect_bytes "$target" "$E2E_WORK/expected.cfg"
[ "$(ls -A "$E2E_WORK/cwd")" = userconfig.cfg ] || fail "other files beside the config: $(ls -A "$E2E_WORK/cwd")"

close_program
note "passed"
