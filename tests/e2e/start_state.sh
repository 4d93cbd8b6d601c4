#!/usr/bin/env bash
# The start state saved through the real dialog, saved again over the same file (the overwrite
# question answered Yes), and saved over a longer foreign file: each time exactly the start bytes.
# Usage: start_state.sh <setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
e2e_setup start_state "$1" "$2" 73
start_app

# The icon follows the first picture; the taskbar must still get all three sizes.
for _ in $(seq 50); do
    icons=$(xprop -id "$MAIN_ID" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
    [ -n "$icons" ] && break
    sleep 0.1
done
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) " ] || fail "the window's icon has the sizes '$icons'"

out="$E2E_WORK/out"
mkdir -p "$out"
printf '// User Angaben\r\n\r\n' >"$E2E_WORK/expected.cfg"

save_as "$out/userconfig.cfg"
expect_bytes "$out/userconfig.cfg" "$E2E_WORK/expected.cfg"
cp "$out/userconfig.cfg" "$E2E_WORK/first.cfg"

stamp=$(file_stamp "$out/userconfig.cfg")
save_as "$out/userconfig.cfg" yes
[ "$(file_stamp "$out/userconfig.cfg")" != "$stamp" ] || fail "the second save did not write the file"
cmp "$E2E_WORK/first.cfg" "$out/userconfig.cfg" || fail "the second save gave other bytes than the first"
note "second save over the same file: identical bytes"

# A longer file of other content is replaced whole; nothing of it remains.
head -c 3000 /dev/zero | tr '\0' 'x' >"$out/old.cfg"
save_as "$out/old.cfg" yes
expect_bytes "$out/old.cfg" "$E2E_WORK/expected.cfg"

[ "$(ls -A "$out" | tr '\n' ' ')" = "old.cfg userconfig.cfg " ] || fail "unexpected files: $(ls -A "$out")"
close_program
note "passed"
