#!/usr/bin/env bash
# Without a usable display the program prints one German line (the English in brackets) to
# standard error and ends with status 2: no Qt plugin text, no abort, no core dump. The offscreen
# platform still starts the program. Needs no X server.
# Usage: no_display.sh <setforge> <screenshot folder (unused)>
set -uo pipefail
bin=$(realpath -- "$1")
[ -x "$bin" ] || { echo "FAIL [no_display]: program not found: $bin" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/setforge-e2e-no_display.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
failures=0

# A display number that no server holds.
free_display=""
for n in $(seq 150 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        free_display=":$n"
        break
    fi
done

# name | environment given to the program (on top of an empty DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM)
cases=(
    "no display at all|"
    "a display no server holds|DISPLAY=$free_display"
    "x11 asked for, no display|QT_QPA_PLATFORM=xcb"
    "wayland asked for, no compositor|QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=setforge-none"
    "a wayland session without a compositor|XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=setforge-none"
)
for entry in "${cases[@]}"; do
    name=${entry%%|*}
    read -r -a extra <<<"${entry#*|}"
    (
        cd "$work" || exit 1
        # A core dump would land here; ulimit lets the kernel write one if the program aborts.
        ulimit -c unlimited 2>/dev/null
        exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 \
            "${extra[@]}" timeout 20 "$bin"
    ) >"$work/out" 2>"$work/err"
    status=$?
    lines=$(wc -l <"$work/err")
    if [ "$status" -ne 2 ] || [ "$lines" -ne 1 ] || [ -s "$work/out" ] ||
        ! grep -q '^Halvren Setforge: Keine Anzeige erreichbar (.*\[No usable display: .*\]$' "$work/err"; then
        echo "FAIL [no_display] $name: status $status, $lines line(s) on stderr:" >&2
        cat "$work/err" >&2
        failures=$((failures + 1))
    else
        echo "-- $name: status 2, $(cat "$work/err")" >&2
    fi
    rm -f "$work"/core*
done

# The offscreen platform, which the widget tests use, still starts the program: it is alive after
# two seconds and has said nothing about a display.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "$bin" \
    >"$work/out" 2>"$work/err" &
pid=$!
sleep 2
if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" 2>/dev/null
    if grep -q 'Keine Anzeige' "$work/err"; then
        echo "FAIL [no_display] offscreen: reported a missing display" >&2
        failures=$((failures + 1))
    else
        echo "-- offscreen: running after 2 s" >&2
    fi
else
    wait "$pid"
    echo "FAIL [no_display] offscreen: ended with status $? ($(cat "$work/err"))" >&2
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "-- passed" >&2
