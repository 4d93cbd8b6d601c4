#!/usr/bin/env bash
# What `setforge` does with what it is given on the command line: a FIFO is refused within a second
# (opening it must not wait for a writer) and the program goes on answering; a file that does not
# exist yet starts an empty window whose save writes exactly that file, one in a missing folder
# gets a warning; the window answers during the largest load; two files are refused.
# Usage: open_args.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup open_args "$1" "$2" 97

game="$E2E_WORK/cstrike"
mkdir -p "$game"
mkfifo "$game/pipe.cfg"

# A FIFO: a warning instead of a hang.
start_app -- "$game/pipe.cfg"
shown=$(date +%s%N)
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no warning for the FIFO"
elapsed=$((($(date +%s%N) - shown) / 1000000))
note "warning $box ${elapsed} ms after the main window"
((elapsed < 1000)) || fail "the FIFO was refused only after $elapsed ms"
shot fifo-refused >/dev/null
close_message_box "$box"
close_program

# A new file: no box, and "Config erstellen" proposes it in its folder.
start_app -- "$game/neu.cfg"
sleep 1
[ -z "$(visible_dialogs)" ] || fail "a box came for a file that does not exist yet"
dialog=$(open_save_dialog) || fail "the save dialog did not open"
shot new-file-save-dialog >/dev/null
key Return
wait_window_gone "$dialog" || fail "the save dialog stayed open"
wait_file_changed "$game/neu.cfg" none || fail "the proposed new file was not written"
printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$game/neu.cfg" "$E2E_WORK/expected.cfg"
close_program

# A new file in a folder that does not exist: a warning, and the window starts without a file.
start_app -- "$E2E_WORK/fehlt/neu.cfg"
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no warning for the missing folder"
shot missing-folder >/dev/null
close_message_box "$box"
[ "$(window_title "$MAIN_ID")" = Halvren ] || fail "a file is named after the warning: $(window_title "$MAIN_ID")"
close_program

# The largest accepted load (the most lines): the close picture, clicked as soon as the window is
# there, ends the program within a second.
for ((i = 0; i < 49980; i++)); do printf 'bind "F1" "p90"\r\n'; done >"$game/lang.cfg"
start_app -- "$game/lang.cfg"
clicked=$(date +%s%N)
close_program
elapsed=$((($(date +%s%N) - clicked) / 1000000))
note "closed ${elapsed} ms into loading 49,980 lines"
limit=1000
ldd "$E2E_BIN" 2>/dev/null | grep libasan >/dev/null && limit=3000 # the sanitizers slow every step down
((elapsed < limit)) || fail "the window answered the close picture only after $elapsed ms"

# Two files: one line on standard error and status 2, no window.
XDG_RUNTIME_DIR="$E2E_WORK/runtime" "$E2E_BIN" "$game/neu.cfg" "$game/pipe.cfg" >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt"
status=$?
[ $status -eq 2 ] || fail "two files: status $status, not 2"
[ "$(wc -l <"$E2E_WORK/err.txt")" -eq 1 ] && grep -q 'nur eine Config' "$E2E_WORK/err.txt" ||
    fail "two files: $(cat "$E2E_WORK/err.txt")"
"$E2E_BIN" --help >"$E2E_WORK/out.txt" || fail "--help ended with status $?"
grep -q '^Aufruf: setforge \[DATEI\]' "$E2E_WORK/out.txt" || fail "--help: $(cat "$E2E_WORK/out.txt")"
note "passed"
