#!/usr/bin/env bash
# A player's own config opened with `setforge FILE`: the window shows its settings, one setting is
# changed, and "Config erstellen" writes the same file back (the overwrite question answered Yes)
# with every other line of the player kept in its order.
# Usage: edit_in_place.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup edit_in_place "$1" "$2" 93

game="$E2E_WORK/cstrike"
mkdir -p "$game"
printf '// meine Config\nbind "F5" "buy"\ngamma "2.2"\nname "Spieler"\ncl_righthand 0\necho fertig\n' >"$game/userconfig.cfg"
start_app -- "$game/userconfig.cfg"
shot loaded >/dev/null

pick_list_item 120 960 1440 2 6 # ga, third of six items: "2.4"
before=$(file_stamp "$game/userconfig.cfg")
dialog=$(open_save_dialog) || fail "the save dialog did not open"
shot save-dialog >/dev/null
key Return # the proposed name is the loaded file, in its folder
question=$(wait_message_box '^Halvren Setforge 1\.0$' "$dialog") || fail "no overwrite question for the loaded file"
key alt+j
wait_window_gone "$dialog" || fail "the save dialog stayed open"
wait_file_changed "$game/userconfig.cfg" "$before" || fail "the loaded file was not written"

printf 'name "Spieler"\r\ngamma "2.400000"\r\ncl_righthand "0"\r\n// User Angaben\r\n// meine Config\r\nbind "F5" "buy"\r\necho fertig\r\n' \
    >"$E2E_WORK/expected.cfg"
expect_bytes "$game/userconfig.cfg" "$E2E_WORK/expected.cfg"
[ "$(ls -A "$game")" = userconfig.cfg ] || fail "other files beside the config: $(ls -A "$game")"
close_program
note "passed"
