#!/usr/bin/env bash
# Keys given by pressing them and a buy bind changed where it stands: with the caret on
# `bind "F3" "ak47;vesthelm;"` the buy window opens with those two items ticked, a flashbang more
# replaces the line; in the key box F5, the numpad's End, the mouse's back button and the wheel
# give the game's names; a key bound in the game's config.cfg beside the config is named.
# Usage: buy_keys.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup buy_keys "$1" "$2" 124

game="$E2E_WORK/cstrike"
mkdir -p "$game"
printf 'bind "F3" "ak47;vesthelm;"\n' >"$game/userconfig.cfg"
printf 'bind "r" "+reload"\nbind "w" "+forward"\n' >"$game/config.cfg"
start_app -- "$game/userconfig.cfg"

click_buy_row() { # frame left, top; row of the item in its frame (0 = first)
    click_at $((BUY_X + $(px $(($1 + 120))) + 6)) $((BUY_Y + $(px $(($2 + 240 + 360 * $3))) + $(px 255) / 2))
}
click_key_box() { click_control "$BUY_X" "$BUY_Y" $((6360 + 1080)) $((3600 + 240)) 1815 285; }
click_insert() { click_control "$BUY_X" "$BUY_Y" $((6360 + 480)) $((3600 + 1560)) 2175 255; }

# The caret stands at the start of the loaded free text, on the F3 bind.
open_buy_menu
shot edit-open >/dev/null
click_buy_row 6360 360 2 # c26 "FLASHBANG", third row of "EQUIPMENT"
click_insert
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after changing the F3 bind"

click_in_frame 5760 2820 120 720 5295 3735 # the free text
key ctrl+End Return # a line of its own after the F3 bind
round() { # what it does in the key box, as xdotool arguments
    open_buy_menu
    click_buy_row 6360 360 0 # c24 "KEVLAR"
    click_key_box            # the first click only gives the box the focus
    xdotool "$@" || fail "xdotool $*"
}
round key r
sleep 0.3
shot key-in-use >/dev/null
xdotool key F5 || fail "xdotool key F5"
click_insert
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after F5"
round key KP_End
click_insert
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after KP_End"
round click 8
click_insert
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after the back button"
round click 5
click_insert
wait_window_gone "$BUY_ID" || fail "the buy window stayed open after the wheel"

save_as "$E2E_WORK/out.cfg"
printf '// User Angaben\r\nbind "F3" "ak47;vesthelm;flash"\r\nbind "F5" "vest"\r\nbind "KP_END" "vest"\r\nbind "MOUSE4" "vest"\r\nbind "MWHEELDOWN" "vest"\r\n\r\n' \
    >"$E2E_WORK/expected.cfg"
expect_bytes "$E2E_WORK/out.cfg" "$E2E_WORK/expected.cfg"
close_program
note "passed"
