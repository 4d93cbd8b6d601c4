#!/usr/bin/env bash
# The save dialog starts in the game's folder: a Steam install under HOME lists two libraries,
# the game is installed in the second, and Return in the save dialog writes userconfig.cfg there.
# Usage: steam_folders.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup steam_folders "$1" "$2" 95

steam="$E2E_WORK/home/.local/share/Steam"
second="$E2E_WORK/Zweite Bibliothek"
mkdir -p "$steam/steamapps/common" "$second/steamapps/common/Half-Life/cstrike"
cat >"$steam/steamapps/libraryfolders.vdf" <<VDF
"libraryfolders"
{
	"0"
	{
		"path"		"$steam"
		"label"		""
	}
	"1"
	{
		"path"		"$second"
		"label"		""
		"apps"
		{
			"70"		"1234"
		}
	}
}
VDF
start_app

target="$second/steamapps/common/Half-Life/cstrike/userconfig.cfg"
dialog=$(open_save_dialog) || fail "the save dialog did not open"
shot save-dialog-in-game-folder >/dev/null
key Return
wait_window_gone "$dialog" || fail "the save dialog stayed open"
wait_file_changed "$target" none || fail "no userconfig.cfg in the second library's cstrike folder"
printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
expect_bytes "$target" "$E2E_WORK/expected.cfg"
[ -z "$(ls -A "$E2E_WORK/cwd")" ] || fail "something was written to the working folder: $(ls -A "$E2E_WORK/cwd")"
# Qt keeps the dialog's side bar ("shortcuts") in its settings file: the game folders are found
# afresh each time, so they must not stay there.
settings=$(find "$E2E_WORK/home/.config" -name 'QtProject.conf' 2>/dev/null)
[ -n "$settings" ] || fail "Qt's settings file was not written; nothing to check"
! grep "^shortcuts=" "$settings" | grep cstrike >/dev/null || fail "a game folder was stored in $settings: $(grep "^shortcuts=" "$settings")"
close_program
note "passed"
