#!/usr/bin/env bash
# Marker clicks on the buy window: a weapon's marker shows its sheet in a box titled
# "Waffeninformation"; an ammunition marker shows its note under the application title; the
# marker beside TACTICAL SHIELD and a legend marker show nothing.
# Usage: sheet_box.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup sheet_box "$1" "$2" 81
start_app
open_buy_menu

# Markers stand at 2760,<row top> inside their frame, 195 twips square.
click_marker() { click_control "$BUY_X" "$BUY_Y" $(($1 + 2760)) $(($2 + $3)) 195 195; }
# "Infos zum Buy Script" (frame "Erstellen" at 6360,3600) shows a box of its own.
click_infos() { click_control "$BUY_X" "$BUY_Y" $((6360 + 480)) $((3600 + 1800)) 2175 255; }

# Marker 0, beside "9X19MM SIDEARM": first row of "Pistols" (120,360).
click_marker 120 360 240
box=$(wait_message_box '^Waffeninformation$' "$MAIN_ID" "$BUY_ID") || fail "no sheet box for marker 0"
note "sheet box $box ($(window_size "$box"))"
shot sheet-box >/dev/null
close_message_box "$box"

# Marker 30, beside "Primary": first box of "AMMO" (3240,5040) at top 480; a note, no title of its own.
click_control "$BUY_X" "$BUY_Y" $((3240 + 2760)) $((5040 + 480)) 195 195
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID" "$BUY_ID") || fail "no note box for marker 30"
shot note-box >/dev/null
close_message_box "$box"

# A marker that shows nothing, then "Infos zum Buy Script": the boxes are modal, so had the
# marker shown a box, that box would come first and hold off the second click.
expect_nothing() {
    local what=$1 first others
    click_infos
    first=$(wait_message_box '.' "$MAIN_ID" "$BUY_ID") || fail "no box at all after $what"
    [ "$(window_title "$first")" = "Buy-Script Infos" ] ||
        fail "$what showed a box titled '$(window_title "$first")'"
    others=$(visible_dialogs | grep -v "^$first\$")
    [ -z "$others" ] || fail "more than one box open after $what"
    close_message_box "$first"
}
# Marker 29, beside "TACTICAL SHIELD": eighth row of "EQUIPMENT" (6360,360); the shield's price.
click_marker 6360 360 $((240 + 360 * 7))
box=$(wait_message_box '^Waffeninformation$' "$MAIN_ID" "$BUY_ID") || fail "no price box for marker 29"
close_message_box "$box"
# Legend marker 34 (both sides): 2415,1200 in frame "Erstellen".
click_control "$BUY_X" "$BUY_Y" $((6360 + 2415)) $((3600 + 1200)) 195 195
expect_nothing "legend marker 34"

window_visible "$BUY_ID" || fail "the buy window closed"
close_program
note "passed"
