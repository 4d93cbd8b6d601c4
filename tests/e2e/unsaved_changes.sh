#!/usr/bin/env bash
# Nothing typed is lost without a question: typed text, then the close picture asks, and
# "Abbrechen" keeps the window and the text; typed text, then Ctrl+O asks before the open dialog;
# an opened file with one choice changed is written by Ctrl+S without a dialog, and the title names
# it without the unsaved mark; an untouched window closes at once.
# Usage: unsaved_changes.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup unsaved_changes "$1" "$2" 125

# The title as the taskbar shows it (UTF-8).
net_title() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME([A-Z0-9_]*) = "\(.*\)"$/\1/p'; }
click_free_text() { click_control "$MAIN_X" "$MAIN_Y" $((5760 + 120)) $((2820 + 720)) 5295 3735; }
click_close() { click_at $((MAIN_X + $(px 11190) + $(px 225) / 2)) $((MAIN_Y + 8)); }
# Waits for the question about unsaved changes and prints its id.
wait_question() {
    local box
    box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no question about unsaved changes ($1)"
    note "question $box ($(window_size "$box")) $1"
    echo "$box"
}

game="$E2E_WORK/cstrike"
mkdir -p "$game"

# Untouched: the close picture ends the program at once.
start_app
close_program

# Typed, then closed: the question; "Abbrechen" (the default, Enter) keeps the window and the text.
start_app
click_free_text
type_text 'bind "F10" "say wichtig"'
[[ $(net_title "$MAIN_ID") == 'Halvren*' ]] || fail "title with unsaved changes: $(net_title "$MAIN_ID")"
click_close
box=$(wait_question "on close")
shot close-question >/dev/null
key Return
wait_window_gone "$box" || fail "the question stayed open"
sleep 0.3
app_alive || fail "\"Abbrechen\" ended the program"
# The text is still there: "Config erstellen" writes it.
save_as "$game/kept.cfg"
grep -q 'say wichtig' "$game/kept.cfg" || fail "the typed line was lost: $(cat "$game/kept.cfg")"
[[ $(net_title "$MAIN_ID") == 'kept.cfg – Halvren' ]] || fail "title after saving: $(net_title "$MAIN_ID")"
shot saved-note >/dev/null

# Typed, then Ctrl+O: the question comes before the open dialog; "Verwerfen" then opens it.
click_free_text
type_text 'echo mehr'
key ctrl+o
box=$(wait_question "on Ctrl+O")
[ -z "$(app_windows '^Halvren Setforge 1\.0$')" ] || fail "the open dialog came before the question"
key shift+Tab space # from "Abbrechen" back to "Verwerfen"
wait_window_gone "$box" || fail "the question stayed open"
dialog=$(wait_window '^Halvren Setforge 1\.0$') || fail "no open dialog after \"Verwerfen\""
key Escape
wait_window_gone "$dialog" || fail "the open dialog stayed open"
grep -q 'echo mehr' "$game/kept.cfg" && fail "the discarded line reached the file"
close_program_discarding

# An opened file, one choice changed, Ctrl+S: written in place without a dialog.
printf 'gamma "2.2"\r\necho fertig\r\n' >"$game/userconfig.cfg"
start_app -- "$game/userconfig.cfg"
[[ $(net_title "$MAIN_ID") == 'userconfig.cfg – Halvren' ]] || fail "title after opening: $(net_title "$MAIN_ID")"
click_in_frame 120 960 2520 720 495 255 # o1: fast switch "Ja"
[[ $(net_title "$MAIN_ID") == 'userconfig.cfg* – Halvren' ]] || fail "title after a change: $(net_title "$MAIN_ID")"
shot changed-title-strip >/dev/null
before=$(file_stamp "$game/userconfig.cfg")
key ctrl+s
wait_file_changed "$game/userconfig.cfg" "$before" || fail "Ctrl+S did not write the opened file"
[ -z "$(visible_dialogs)" ] || fail "Ctrl+S showed a dialog"
printf 'hud_fastswitch "1"\r\ngamma "2.200000"\r\n// User Angaben\r\necho fertig\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$game/userconfig.cfg" "$E2E_WORK/expected.cfg"
[[ $(net_title "$MAIN_ID") == 'userconfig.cfg – Halvren' ]] || fail "title after Ctrl+S: $(net_title "$MAIN_ID")"
shot ctrl-s-note >/dev/null
close_program
note "passed"
