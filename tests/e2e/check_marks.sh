#!/usr/bin/env bash
# The player's own lines checked as he types: a config holding `gamma "2.5"` (not a choice, so it
# stays in the free text) and `cl_righthand 0;echo x` is opened, Gamma 2.2 and Waffenhand "Rechts"
# are chosen; both lines are marked and counted, "Config erstellen" asks first, the gamma line is
# removed and the hand taken over through the keyboard's context menu, and the file written does
# what the window shows.
# Usage: check_marks.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup check_marks "$1" "$2" 97

game="$E2E_WORK/cstrike"
mkdir -p "$game"
printf 'gamma "2.5"\ncl_righthand 0;echo x\n' >"$game/opened.cfg"
start_app -- "$game/opened.cfg"

pick_list_item 120 960 1440 3 6                 # ga, fourth of six items: "2.2"
click_in_frame 120 960 3360 3960 975 255        # o15 "Rechts" in Picture11
sleep 0.8                                       # the check waits for a pause in the changes

# The count stands in the free-text frame's top edge, the marks under the lines: both in red.
shot=$(shot marked)
red_pixels() { # x y w h in pixels of the window: how many are clearly red
    convert "$shot" -crop "$3x$4+$((MAIN_X + $1))+$((MAIN_Y + $2))" +repage txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
        awk '$1 > 150 && $1 - $2 > 100 && $1 - $3 > 100 { n++ } END { print n + 0 }'
}
frame_x=$(px 5760) frame_y=$(px 2820)
count=$(red_pixels "$frame_x" "$frame_y" "$(px 5535)" 14)
[ "$count" -gt 20 ] || fail "no red count in the frame's top edge ($count red pixels)"
marks=$(red_pixels "$(px $((5760 + 120)))" "$(px $((2820 + 720)))" "$(px 5295)" 40)
[ "$marks" -gt 20 ] || fail "no red marks under the first lines ($marks red pixels)"

# A save now asks first; its default answer goes back to the text.
click_control "$MAIN_X" "$MAIN_Y" 8580 7560 2715 375
question=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no question before saving"
shot question >/dev/null
key Return
wait_window_gone "$question" || fail "the question stayed open"
[ -z "$(visible_dialogs)" ] || fail "a dialog opened after going back to the text"

# The caret stands on the first marked line: remove it through the context menu (Shift+F10).
key ctrl+Home
key shift+F10
sleep 0.5
shot menu-gamma >/dev/null
key Down Return                                 # "Zeile entfernen"
sleep 0.3
key ctrl+End F8                                 # to the next finding, from the start again
key shift+F10
sleep 0.5
shot menu-hand >/dev/null
key Down Down Return                            # "Wert in die Auswahl übernehmen"
sleep 0.8
shot fixed >/dev/null

target="$E2E_WORK/cwd/userconfig.cfg"
save_as "$target"
printf 'gamma "2.200000"\r\ncl_righthand "0"\r\n// User Angaben\r\necho x\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$target" "$E2E_WORK/expected.cfg"
close_program
note "passed"
