#!/usr/bin/env bash
# A folder typed as the file name. The file dialog does not return a folder: Enter opens it, the
# dialog stays, nothing is written and no box comes. A plain name typed next is saved inside
# that folder, and the folder's other content stays as it was.
# Usage: fault_folder.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup fault_folder "$1" "$2" 77
start_app

out="$E2E_WORK/out"
mkdir -p "$out/chosen.cfg"
printf 'bleibt\r\n' >"$out/chosen.cfg/keep.txt"
before=$(tree_signature "$out")

dialog=$(open_save_dialog) || fail "the save dialog did not open"
enter_path "$dialog" "$out/chosen.cfg"
# Enter on a folder opens it; the next name typed is taken inside it. Had the folder been
# accepted as the file, the dialog would be gone and a message box would hold the keys.
key ctrl+a
type_text "userconfig.cfg"
shot dialog-in-folder >/dev/null
window_visible "$dialog" || fail "the dialog closed on a folder name"
[ "$(tree_signature "$out")" = "$before" ] || fail "choosing a folder changed $out"
[ -z "$(visible_dialogs | grep -v "^$dialog\$")" ] || fail "a box appeared on choosing a folder"
key Return
wait_window_gone "$dialog" || fail "the dialog did not take the name inside the folder"
wait_file_changed "$out/chosen.cfg/userconfig.cfg" none || fail "nothing was saved inside the folder"

printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$out/chosen.cfg/userconfig.cfg" "$E2E_WORK/expected.cfg"
printf 'bleibt\r\n' | cmp - "$out/chosen.cfg/keep.txt" || fail "the folder's other file changed"
[ "$(ls -A "$out/chosen.cfg" | tr '\n' ' ')" = "keep.txt userconfig.cfg " ] ||
    fail "unexpected files in the folder: $(ls -A "$out/chosen.cfg")"
[ -z "$(visible_dialogs)" ] || fail "a box is open after the save"
close_program
note "passed"
