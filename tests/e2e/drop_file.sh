#!/usr/bin/env bash
# A config file dropped on the free-text box from another program (a small XDND drag source) is
# opened, not inserted as its address; "Config erstellen" then writes it back unchanged. A dropped
# file that cannot be opened is refused as a drop and named in a warning.
# Usage: drop_file.sh <setforge> <screenshot folder> <xdnd_drop>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup drop_file "$1" "$2" 99
dropper=$3

game="$E2E_WORK/cstrike"
mkdir -p "$game"
printf 'hud_fastswitch "0"\r\n// User Angaben\r\nbind "F5" "vest"\r\n' >"$game/userconfig.cfg"
cp "$game/userconfig.cfg" "$E2E_WORK/expected.cfg"
start_app

# The middle of the free-text box (Text2 in its frame), in screen coordinates.
box_x=$((MAIN_X + $(px $((5760 + 120 + 5295 / 2)))))
box_y=$((MAIN_Y + $(px $((2820 + 720 + 3735 / 2)))))
"$dropper" "$MAIN_ID" "$box_x" "$box_y" "$game/userconfig.cfg" || fail "the drop was not accepted (status $?)"
shot dropped-on-free-text >/dev/null

before=$(file_stamp "$game/userconfig.cfg")
dialog=$(open_save_dialog) || fail "the save dialog did not open"
key Return # the proposed name is the dropped file, in its folder
question=$(wait_message_box '^Halvren Setforge 1\.0$' "$dialog") || fail "the save does not propose the dropped file"
key alt+j
wait_window_gone "$dialog" || fail "the save dialog stayed open"
wait_file_changed "$game/userconfig.cfg" "$before" || fail "the dropped file was not written"
expect_bytes "$game/userconfig.cfg" "$E2E_WORK/expected.cfg"

# The warning comes while the drop is being handled; the drag source hears of the refusal once the
# box is closed.
"$dropper" "$MAIN_ID" "$box_x" "$box_y" "$game/fehlt.cfg" &
dropping=$!
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no warning for the missing file"
shot missing-file-dropped >/dev/null
close_message_box "$box"
wait $dropping
status=$?
[ $status -eq 1 ] || fail "a file that cannot be opened was not refused as a drop (status $status)"
close_program
note "passed"
