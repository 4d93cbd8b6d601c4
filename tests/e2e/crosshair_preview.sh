#!/usr/bin/env bash
# The crosshair preview: opened by "Vorschau…" beside the crosshair rows, it opens clear of those
# rows and shows the game's default crosshair (green, additive) on the dark background at the
# monitor's size (Xvfb: 1024x768); "Rot" chosen in the main window turns its arms red at once,
# white on the bright sky, and "Nein" for transparent makes them opaque; a colour typed into the
# free text wins over the window's choice, as in the game.
# Usage: crosshair_preview.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup crosshair_preview "$1" "$2" 97
start_app

# Waits until the screen pixel x,y has the colour "R,G,B".
expect_pixel() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) seen
    while :; do
        seen=$(import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
            sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | tail -1)
        [ "$seen" = "$3" ] && return 0
        ((SECONDS < deadline)) || fail "$4: pixel $1,$2 is $seen, not $3"
        sleep 0.1
    done
}

open_preview() {
    click_in_frame 120 960 4200 2850 1215 300 # Command5 "Vorschau…" beside "Crosshair transparent"
    preview=$(wait_window '^Crosshair-Vorschau$' "$MAIN_ID") || fail "the preview did not open"
    [ "$(window_size "$preview")" = 502x564 ] || fail "preview is $(window_size "$preview"), not 502x564"
    sleep 0.3
    read -r PX PY < <(window_origin "$preview")
    # The four crosshair rows of the general frame (120,960): labels from 240, controls to 5415
    # twips, rows from 2160 to 3495.
    local left=$((MAIN_X + $(px 360))) right=$((MAIN_X + $(px 5535))) top=$((MAIN_Y + $(px 3120)))
    local bottom=$((MAIN_Y + $(px 4455)))
    ((PX >= right || PX + 502 <= left || PY >= bottom || PY + 564 <= top)) ||
        fail "the preview at $PX,$PY covers the crosshair rows $left,$top-$right,$bottom"
    # The 1:1 picture starts at 9,45 and shows the screen's middle 218 pixels. At 1024 wide "auto"
    # is the large size: the right arm starts 6 pixels right of the centre (6.4 truncated).
    arm_x=$((PX + 9 + 109 + 6))
    arm_y=$((PY + 45 + 109))
}
open_preview
expect_pixel $((PX + 9)) $((PY + 45)) "24,26,30" "dark background"
expect_pixel $((arm_x - 1)) "$arm_y" "24,26,30" "gap"
expect_pixel "$arm_x" "$arm_y" "74,255,80" "green additive arm (24+50, 26+250 capped, 30+50)"
shot preview-open >/dev/null

pick_list_item 120 960 2460 2 6 # cfarbe, third of six: "Rot" 250 50 50
expect_pixel "$arm_x" "$arm_y" "255,76,80" "red additive arm"
shot preview-red >/dev/null
click_control "$PX" "$PY" 120 $((5310 + 255)) 3600 315 # the background list, then its next item
key Down Return
expect_pixel $((PX + 9)) $((PY + 45)) "186,214,240" "bright sky"
expect_pixel "$arm_x" "$arm_y" "255,255,255" "red additive arm on the sky (every channel capped)"
shot preview-sky >/dev/null
click_in_frame 120 960 $((2520 + 840)) 2880 735 255 # o9 "Nein" of "Crosshair transparent"
expect_pixel "$arm_x" "$arm_y" "250,50,50" "opaque red arm"

click_control "$PX" "$PY" 3810 7950 3600 375 # Command2 "Schließen"
wait_window_gone "$preview" || fail "\"Schließen\" did not close the preview"

# The player's own line comes after the window's "Rot" in the file: the game draws it blue.
click_in_frame 5760 2820 120 720 5295 3735 # Text2, the free text
type_text 'cl_crosshair_color "0 0 255"'
open_preview
expect_pixel "$arm_x" "$arm_y" "0,0,255" "opaque blue arm from the free text"
shot preview-blue >/dev/null
click_control "$PX" "$PY" 3810 7950 3600 375
wait_window_gone "$preview" || fail "\"Schließen\" did not close the preview"
close_program_discarding # the choices made for the preview are not saved
note "passed"
