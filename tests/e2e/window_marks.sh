#!/usr/bin/env bash
# What the game makes of the whole file, shown where the player can act on it: a command behind a
# `;` in a comment is marked and its message stands in full in the message line after F8; a
# nickname with umlauts in a file the game reads line by line is marked at the nickname box and
# stops the save with a question; a gamma line of the player's own holds once the window's choice
# is taken back from the mark's menu, and the file then saves without a question and sets that
# gamma in the console model.
# Usage: window_marks.sh <setforge> <screenshot folder> <setforge_console_effect>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup window_marks "$1" "$2" 122
console_effect=$3
[ -x "$console_effect" ] || fail "console model not found: $console_effect"

game="$E2E_WORK/cstrike"
mkdir -p "$game"
# Pixels of a screenshot in a rectangle of the main window (x y w h): how many are clearly red.
red_pixels() {
    convert "$1" -crop "$4x$5+$((MAIN_X + $2))+$((MAIN_Y + $3))" +repage txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
        awk '$1 > 150 && $1 - $2 > 100 && $1 - $3 > 100 { n++ } END { print n + 0 }'
}
box_x=$(px $((5760 + 120))) box_y=$(px $((2820 + 720))) box_w=$(px 5295) box_h=$(px 3735)

# 1. The tail of a comment after `;` is a command of its own: it sets gamma after the gamma line.
printf 'gamma "2.2"\r\necho hallo // heller; gamma 3\r\n' >"$game/comment.cfg"
start_app -- "$game/comment.cfg"
sleep 0.8
marked=$(shot comment-tail)
n=$(red_pixels "$marked" "$box_x" "$box_y" "$box_w" 40)
[ "$n" -gt 10 ] || fail "no red mark under the comment's tail ($n red pixels)"
click_in_frame 5760 2820 120 720 5295 3735
key ctrl+End F8
sleep 0.5
message=$(shot message-line)
# The message line takes the lower part of the box, in a light red, and does not cover line 1.
tinted=$(convert "$message" -crop "${box_w}x$((box_h / 2))+$((MAIN_X + box_x))+$((MAIN_Y + box_y + box_h / 2))" +repage txt:- |
    grep -c '(252,232,232)')
[ "$tinted" -gt 500 ] || fail "no message line in the box after F8 ($tinted tinted pixels)"
close_program

# 2. Over the whole-file limit the game reads line by line and cuts the name at its umlaut.
{
    printf 'name "J\xc3\xa4ger M\xc3\xbcller"\r\n'
    for i in $(seq 1 1000); do printf 'echo zeile %04d\r\n' "$i"; done
} >"$game/big.cfg"
start_app -- "$game/big.cfg"
sleep 1.2
nick=$(shot nickname-mark)
n=$(red_pixels "$nick" "$(px $((120 + 2520 - 60)))" "$(px $((960 + 360 - 60)))" "$(px $((2895 + 120)))" "$(px $((285 + 120)))")
[ "$n" -gt 20 ] || fail "no red mark at the nickname box ($n red pixels)"
click_control "$MAIN_X" "$MAIN_Y" 8580 7560 2715 375
question=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no question before saving the cut name"
shot nickname-question >/dev/null
key Return
wait_window_gone "$question" || fail "the question stayed open"
close_program

# 3. The player's own gamma holds once the window's choice is taken back from the mark's menu.
printf 'gamma "2.5"\r\n' >"$game/keep.cfg"
start_app -- "$game/keep.cfg"
pick_list_item 120 960 1440 3 6 # ga: "2.2"
sleep 0.8
click_in_frame 5760 2820 120 720 5295 3735
key ctrl+Home shift+F10
sleep 0.5
shot menu-release >/dev/null
key Down Down Return # "Zeile entfernen", "Auswahl im Fenster aufheben"
sleep 0.8
released=$(shot released)
n=$(red_pixels "$released" "$box_x" "$box_y" "$box_w" 20)
[ "$n" -lt 5 ] || fail "the gamma line is still marked ($n red pixels)"
target="$E2E_WORK/cwd/userconfig.cfg"
save_as "$target" # the save dialog comes at once: no question
printf '// User Angaben\r\ngamma "2.5"\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$target" "$E2E_WORK/expected.cfg"
"$console_effect" "$target" | grep -x 'gamma=2.5' >/dev/null || fail "the console model does not hold gamma 2.5: $("$console_effect" "$target")"
close_program
note "passed"
