#!/usr/bin/env bash
# Saving keeps everything about the player's files. A FIFO is refused with a warning box, also at
# the end of a 4,094-byte path, where the box must still fit the screen; nothing is touched. A
# 250-byte file name is saved; a file with a second hard link keeps it; a file of another user
# (when run as root) keeps its owner, group and mode; a leftover temporary file of an earlier
# killed save goes, another file stays.
# Usage: fault_keeps_file.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup fault_keeps_file "$1" "$2" 91

# The program starts in a folder so deep that "pipe.cfg" in it makes a path of 4,094 bytes, the
# longest the system takes; the save dialog starts there, so the name alone is typed.
deep="$E2E_WORK/deep"
while ((${#deep} + 1 + 200 + 9 < 4094)); do deep+="/$(printf 'd%.0s' {1..200})"; done
deep+="/$(printf 'e%.0s' $(seq $((4094 - ${#deep} - 1 - 9))))"
mkdir -p "$deep" || fail "mkdir of the deep folder"
rmdir "$E2E_WORK/cwd" && ln -s "$deep" "$E2E_WORK/cwd" || fail "cannot start in the deep folder"
mkfifo "$deep/pipe.cfg"
[ ${#deep} -eq $((4094 - 9)) ] || fail "the deep folder is ${#deep} bytes long"
start_app

out="$E2E_WORK/out"
mkdir -p "$out"
printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"
printf 'echo alt\r\n' >"$out/userconfig.cfg"

# The box stays within 60 % of the 1024-pixel screen's width, and on the screen.
expect_box_on_screen() {
    local box=$1 x y w h
    read -r x y < <(window_origin "$box")
    IFS=x read -r w h < <(window_size "$box")
    note "box at $x,$y size ${w}x$h"
    ((w <= 1024 * 6 / 10)) || fail "the box is $w px wide, more than 60 % of the screen"
    ((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 768)) || fail "the box at $x,$y (${w}x$h) leaves the screen"
}

# A FIFO chosen as the file: before, the save replaced it with a regular file and said nothing.
mkfifo "$out/pipe.cfg"
box=$(expect_failed_save "$out/pipe.cfg" yes "$out") || exit 1
[ -p "$out/pipe.cfg" ] || fail "the FIFO was replaced"
expect_box_on_screen "$box"
shot warning-fifo >/dev/null
close_message_box "$box"

# The FIFO at the end of the 4,094-byte path: the box wraps the path and stays on screen.
before=$(tree_signature "$E2E_WORK/deep")
dialog=$(open_save_dialog) || fail "the save dialog did not open"
enter_path "$dialog" "pipe.cfg" yes
wait_window_gone "$dialog" || fail "the save dialog stayed open after choosing pipe.cfg in the deep folder"
box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no message box for the deep FIFO"
[ "$(tree_signature "$E2E_WORK/deep")" = "$before" ] && [ -p "$deep/pipe.cfg" ] || fail "the deep folder changed"
expect_box_on_screen "$box"
shot warning-long-path >/dev/null
close_message_box "$box"

# A 250-byte file name: before, the temporary name beside it was too long and the save failed.
long_name=$(printf 'n%.0s' {1..246}).cfg
save_as "$out/$long_name"
expect_bytes "$out/$long_name" "$E2E_WORK/expected.cfg"
rm "$out/$long_name"

# A second hard link: both names show the new config, and they stay one file.
ln "$out/userconfig.cfg" "$out/linked.cfg"
save_as "$out/userconfig.cfg" yes
expect_bytes "$out/userconfig.cfg" "$E2E_WORK/expected.cfg"
expect_bytes "$out/linked.cfg" "$E2E_WORK/expected.cfg"
[ "$(stat -c %i "$out/userconfig.cfg")" = "$(stat -c %i "$out/linked.cfg")" ] || fail "the hard link was broken"

# A leftover of a killed save (its process has ended) and a file that only looks like one.
sh -c 'exit 0' &
dead=$!
wait "$dead"
printf 'halb\r\n' >"$out/.setforge-$dead-aB3xY9.tmp"
printf 'fremd\r\n' >"$out/userconfig.cfg.aB3xY9"
if [ "$(id -u)" -eq 0 ]; then
    # The player's own file, saved by root: owner, group and mode stay the player's.
    printf 'echo alt\r\n' >"$out/player.cfg"
    chown 65534:65534 "$out/player.cfg"
    chmod 640 "$out/player.cfg"
    save_as "$out/player.cfg" yes
    expect_bytes "$out/player.cfg" "$E2E_WORK/expected.cfg"
    [ "$(stat -c '%u:%g %a' "$out/player.cfg")" = "65534:65534 640" ] ||
        fail "player.cfg is now $(stat -c '%u:%g %a' "$out/player.cfg"), not 65534:65534 640"
else
    note "not root: the owner case is left to the unit tests"
    save_as "$out/player.cfg"
fi
[ ! -e "$out/.setforge-$dead-aB3xY9.tmp" ] || fail "the leftover of the killed save is still there"
[ -e "$out/userconfig.cfg.aB3xY9" ] || fail "a file that is not a leftover was removed"
[ "$(ls -A "$out" | tr '\n' ' ')" = "linked.cfg pipe.cfg player.cfg userconfig.cfg userconfig.cfg.aB3xY9 " ] ||
    fail "unexpected files: $(ls -A "$out")"
close_program
note "passed"
