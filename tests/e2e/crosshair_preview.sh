#!/usr/bin/env bash
# The crosshair preview: opened by "Vorschau…" beside the crosshair rows, it shows the game's
# default crosshair (green, additive) on the dark background at the monitor's size (Xvfb:
# 1024x768); choosing "Rot" in the main window turns its arms red at once, "Nein" for
# transparent makes them opaque. It opens from the keyboard too; Escape closes it.
# Usage: crosshair_preview.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup crosshair_preview "$1" "$2" 97
start_app

# The colour of one screen pixel as "R,G,B".
pixel_at() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | tail -1
}

click_in_frame 120 960 4200 2850 1215 300 # Command5 "Vorschau…" beside "Crosshair transparent"
preview=$(wait_window '^Crosshair-Vorschau$' "$MAIN_ID") || fail "the preview did not open"
[ "$(window_size "$preview")" = 640x316 ] || fail "preview is $(window_size "$preview"), not 640x316"
# Out of the way of the main window's crosshair rows, which stay reachable.
xdotool windowmove "$preview" 380 450 || fail "xdotool windowmove"
sleep 0.3
read -r PX PY < <(window_origin "$preview")
shot preview-open >/dev/null

# The 1:1 picture's pixels start at 9,45 and show the screen's middle 160 pixels. At 1024 wide
# "auto" is the large size: the right arm starts 6 pixels right of the centre (6.4 truncated).
arm_x=$((PX + 9 + 80 + 6))
arm_y=$((PY + 45 + 80))
dark="24,26,30"
[ "$(pixel_at $((PX + 9)) $((PY + 45)))" = "$dark" ] || fail "background is $(pixel_at $((PX + 9)) $((PY + 45))), not $dark"
[ "$(pixel_at "$arm_x" "$arm_y")" = "74,255,80" ] ||
    fail "green additive arm is $(pixel_at "$arm_x" "$arm_y"), not 24+50,26+250,30+50 capped"
[ "$(pixel_at $((arm_x - 1)) "$arm_y")" = "$dark" ] || fail "the gap starts too late"

pick_list_item 120 960 2460 2 6 # cfarbe, third of six: "Rot" 250 50 50
deadline=$((SECONDS + E2E_TIMEOUT))
while [ "$(pixel_at "$arm_x" "$arm_y")" != "255,76,80" ] && ((SECONDS < deadline)); do sleep 0.1; done
[ "$(pixel_at "$arm_x" "$arm_y")" = "255,76,80" ] || fail "after \"Rot\" the arm is $(pixel_at "$arm_x" "$arm_y")"
shot preview-red >/dev/null

# On the bright sky the additive red arm turns white: 186+250, 214+50 and 240+50 all cap at 255.
click_control "$PX" "$PY" 6660 $((1560 + 255)) 2820 315 # the background list
popup=""
deadline=$((SECONDS + E2E_TIMEOUT))
while [ -z "$popup" ] && ((SECONDS < deadline)); do
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && popup=$id
    done
    sleep 0.05
done
[ -n "$popup" ] || fail "the background list did not open"
click_popup_row "$popup" 1 3 # "Heller Himmel"
sky="186,214,240"
[ "$(pixel_at $((PX + 9)) $((PY + 45)))" = "$sky" ] || fail "sky is $(pixel_at $((PX + 9)) $((PY + 45)))"
[ "$(pixel_at "$arm_x" "$arm_y")" = "255,255,255" ] || fail "red arm on the sky is $(pixel_at "$arm_x" "$arm_y")"
shot preview-sky >/dev/null

click_in_frame 120 960 $((2520 + 840)) 2880 735 255 # o9 "Nein" of "Crosshair transparent"
deadline=$((SECONDS + E2E_TIMEOUT))
while [ "$(pixel_at "$arm_x" "$arm_y")" != "250,50,50" ] && ((SECONDS < deadline)); do sleep 0.1; done
[ "$(pixel_at "$arm_x" "$arm_y")" = "250,50,50" ] || fail "opaque red arm is $(pixel_at "$arm_x" "$arm_y")"

click_control "$PX" "$PY" 6660 4080 2820 375 # Command2 "Schließen"
wait_window_gone "$preview" || fail "\"Schließen\" did not close the preview"

# From the keyboard: TAB from "Nein" of "Crosshair transparent" reaches "Vorschau…".
click_in_frame 120 960 $((2520 + 840)) 2880 735 255
key Tab space
preview=$(wait_window '^Crosshair-Vorschau$' "$MAIN_ID") || fail "the preview did not open from the keyboard"
key Escape
wait_window_gone "$preview" || fail "Escape did not close the preview"
close_program
note "passed"
