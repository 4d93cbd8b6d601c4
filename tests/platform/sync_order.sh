#!/usr/bin/env bash
# Power loss right after a save must find the new config: its bytes reach the disk before the
# rename, and the folder's new entry right after it. Traces the writer's system calls with strace
# while the platform tests save new and replaced files, and checks that order for every rename.
# The leak check cannot run under a tracer; the untraced run of the same tests does it.
# Exit codes: 0 passed, 1 failed, 77 skipped (no strace outside CI, or tracing is not allowed here).
# Usage: sync_order.sh <setforge_platform_tests>
set -uo pipefail
tests=$1
source "${BASH_SOURCE[0]%/*}/../support/skip.sh" || exit 1
command -v strace >/dev/null 2>&1 || skip_missing_tool "strace is not installed"
trace=$(mktemp "${TMPDIR:-/tmp}/setforge-sync-order.XXXXXX") || exit 1
trap 'rm -f "$trace"' EXIT
if ! strace -f -y -qq -o "$trace" -e trace=fsync,fdatasync,rename,renameat,renameat2 \
    env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$tests" --gtest_filter='AtomicWrite.LeavesExactlyTheNewBytesAndNothingElse' \
    >/dev/null 2>&1; then
    grep -q 'PTRACE\|Operation not permitted' "$trace" && { echo "SKIP: tracing is not allowed here"; exit 77; }
    echo "FAIL: the traced tests failed" >&2
    exit 1
fi
# Per process: the data sync of the temporary file must come before each rename into
# userconfig.cfg, and the next sync after the rename must be of the folder the rename was in.
awk '
    function fdPath(line) {
        sub(/^[^(]*\([0-9]+</, "", line)
        sub(/>.*/, "", line)
        return line
    }
    { pid = $1 }
    /fsync\(|fdatasync\(/ {
        path = fdPath($0)
        if (pending[pid] != "") {
            if (path != pending[pid]) { print "FAIL: after the rename the sync went to " path ", not the folder " pending[pid]; bad = 1 }
            pending[pid] = ""
            folderSyncs++
        } else {
            fileSynced[pid] = path
        }
    }
    /rename(at2?)?\(.*"userconfig\.cfg".*= 0/ {
        renames++
        folder = fdPath($0)
        if (fileSynced[pid] == "" || fileSynced[pid] == folder) { print "FAIL: a rename before the new bytes were synced: " $0; bad = 1 }
        fileSynced[pid] = ""
        pending[pid] = folder
    }
    END {
        for (p in pending) if (pending[p] != "") { print "FAIL: no folder sync after the last rename in " pending[p]; bad = 1 }
        if (renames == 0) { print "FAIL: no rename into userconfig.cfg traced"; bad = 1 }
        printf "-- %d renames, %d folder syncs right after them\n", renames, folderSyncs
        exit bad
    }' "$trace" >&2
