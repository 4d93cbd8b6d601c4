#!/usr/bin/env bash
# Start-up and buy-window timing of setforge against a bare Qt window, under one Xvfb.
#
#   bash bench/startup.sh [build folder] [runs]
#
# The build folder (default build/release) must hold setforge, setforge_bare_window and
# setforge_startup_probe (cmake --build <folder> --target setforge setforge_bare_window
# setforge_startup_probe). Each program is started `runs` times (default 9), the two taking
# turns; the probe stamps the moment the X server maps the window (MapNotify), so the figures
# have no polling step. Peak memory is VmHWM after the window has been up and idle 300 ms.
# The buy window is timed from the release of the click on "Buy-Script erstellen" to its map.
# Prints medians and ratios; exits non-zero only when a measurement fails, never on a ratio.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" 2>/dev/null && pwd) || { echo "startup.sh: no build folder ${1:-$root/build/release}" >&2; exit 1; }
runs=${2:-9}
setforge=$build/src/windows/setforge
bare=$build/bench/setforge_bare_window
probe=$build/bench/setforge_startup_probe
readonly settle_ms=300

die() {
    echo "startup.sh: $*" >&2
    exit 1
}
for f in "$setforge" "$bare" "$probe"; do
    [ -x "$f" ] || die "missing $f (build the targets setforge setforge_bare_window setforge_startup_probe)"
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || die "$tool is not installed (bash scripts/deps.sh)"
done
grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" 2>/dev/null ||
    echo "note: $build is not a Release build; its figures are not the ones to quote" >&2

# The real-window tests' helpers start the X server; this script only borrows them.
source "$root/tests/e2e/lib.sh" || die "cannot read tests/e2e/lib.sh"
E2E_NAME=startup
work=$(mktemp -d "${TMPDIR:-/tmp}/setforge-startup.XXXXXX") || die "mktemp"
E2E_WORK=$work
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null && wait "$E2E_XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 70 2>/dev/null

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
cd "$work" || die "cd $work"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { sed -n "s/.*$1=\([0-9]*\).*/\1/p"; }

start_once() {
    local line
    line=$("$probe" exec "${MAIN_SIZE%x*}" "${MAIN_SIZE#*x}" "$settle_ms" "$@") || die "measuring $1 failed"
    if [ -z "$(echo "$line" | field map_us)" ] || [ -z "$(echo "$line" | field vmhwm_kb)" ]; then
        die "unreadable probe output: $line"
    fi
    echo "$line"
}

echo "display $DISPLAY, $runs runs each, $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
# One unmeasured start of each warms the file cache for both alike.
start_once "$setforge" >/dev/null
start_once "$bare" >/dev/null

: >"$work/setforge.txt"
: >"$work/bare.txt"
for ((i = 1; i <= runs; i++)); do
    # The two take turns, first one then the other, so drifts in load hit both.
    if ((i % 2)); then order=(setforge bare); else order=(bare setforge); fi
    for which in "${order[@]}"; do
        if [ "$which" = setforge ]; then bin=$setforge; else bin=$bare; fi
        start_once "$bin" >>"$work/$which.txt"
    done
done

printf '\n%-22s %10s %10s %10s %12s\n' "exec to mapped (ms)" median min max "" 
for which in setforge bare; do
    ms=$(field map_us <"$work/$which.txt" | awk '{ printf "%.2f\n", $1 / 1000 }')
    printf '%-22s %10s %10s %10s   %s\n' "$which" "$(echo "$ms" | median)" "$(echo "$ms" | sort -n | head -1)" \
        "$(echo "$ms" | sort -n | tail -1)" "all: $(echo "$ms" | tr '\n' ' ')"
done
printf '\n%-22s %10s %10s %10s\n' "peak memory (VmHWM kB)" median min max
for which in setforge bare; do
    kb=$(field vmhwm_kb <"$work/$which.txt")
    printf '%-22s %10s %10s %10s\n' "$which" "$(echo "$kb" | median)" "$(echo "$kb" | sort -n | head -1)" \
        "$(echo "$kb" | sort -n | tail -1)"
done
time_ratio=$(awk -v a="$(field map_us <"$work/setforge.txt" | median)" \
    -v b="$(field map_us <"$work/bare.txt" | median)" 'BEGIN { printf "%.2f", a / b }')
memory_ratio=$(awk -v a="$(field vmhwm_kb <"$work/setforge.txt" | median)" \
    -v b="$(field vmhwm_kb <"$work/bare.txt" | median)" 'BEGIN { printf "%.2f", a / b }')
# Each setforge start-up against the bare one next to it in time: steadier where the machine's
# speed drifts during the run.
paired_ratio=$(paste <(field map_us <"$work/setforge.txt") <(field map_us <"$work/bare.txt") |
    awk '{ printf "%.4f\n", $1 / $2 }' | median | awk '{ printf "%.2f", $1 }')
echo
echo "ratio setforge/bare: start-up ${time_ratio}x, peak memory ${memory_ratio}x (goals: start-up <= 1.15x, memory <= 1.05x)"
echo "start-up ratio of neighbouring runs, median: ${paired_ratio}x"

# Start-up with a config on the command line: a typical player's file of 40 binds and settings.
{
    printf 'name "Spieler"\r\ngamma "2.2"\r\nhud_fastswitch "1"\r\n'
    for ((k = 1; k <= 40; k++)); do printf 'bind "F%d" "say %d;vest"\r\n' $((k % 12 + 1)) "$k"; done
} >"$work/userconfig.cfg"
: >"$work/with-file.txt"
: >"$work/without-file.txt"
for ((i = 1; i <= runs; i++)); do
    start_once "$setforge" "$work/userconfig.cfg" >>"$work/with-file.txt"
    start_once "$setforge" >>"$work/without-file.txt"
done
with_ms=$(field map_us <"$work/with-file.txt" | median | awk '{ printf "%.2f", $1 / 1000 }')
without_ms=$(field map_us <"$work/without-file.txt" | median | awk '{ printf "%.2f", $1 / 1000 }')
echo "with a config on the command line (ms): median $with_ms, without: $without_ms;" \
    "difference $(awk -v a="$with_ms" -v b="$without_ms" 'BEGIN { printf "%.2f", a - b }') (goal within 10 ms)"

# The buy window: setforge stays up; each run clicks "Buy-Script erstellen" and closes the
# window again with "Abbruch", so every opening builds the window anew.
"$setforge" >"$work/app.log" 2>&1 &
app_pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Halvren$' | head -1)
[ -n "$main" ] || die "setforge's main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$main")" # X, Y
button_x=$((X + $(px 5775) + $(px 2760) / 2))
button_y=$((Y + $(px 7560) + $(px 375) / 2))
sleep 0.3 # let the fresh window settle before the first click

: >"$work/buy.txt"
for ((i = 1; i <= runs; i++)); do
    line=$("$probe" click "$button_x" "$button_y" "${BUY_SIZE%x*}" "${BUY_SIZE#*x}") || die "timing the buy window failed (run $i)"
    echo "$line" | field map_us >>"$work/buy.txt"
    buy=$(timeout 10 xdotool search --sync --onlyvisible --name '^Buy-Script erstellen$' | head -1)
    [ -n "$buy" ] || die "the buy window is not on screen after run $i"
    eval "$(xdotool getwindowgeometry --shell "$buy")"
    # "Abbruch": frame "Erstellen" at 6360,3600, button at 480,2040 (2175 x 255).
    xdotool mousemove $((X + $(px $((6360 + 480))) + $(px 2175) / 2)) \
        $((Y + $(px $((3600 + 2040))) + $(px 255) / 2)) click 1
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name '^Buy-Script erstellen$' >/dev/null 2>&1 || break
        sleep 0.05
    done
    xdotool search --onlyvisible --name '^Buy-Script erstellen$' >/dev/null 2>&1 &&
        die "the buy window did not close (run $i)"
    sleep 0.2
done
buy_ms=$(awk '{ printf "%.2f\n", $1 / 1000 }' "$work/buy.txt")
buy_median=$(echo "$buy_ms" | median)
echo
echo "buy window, click to mapped (ms): median $buy_median, min $(echo "$buy_ms" | sort -n | head -1)," \
    "max $(echo "$buy_ms" | sort -n | tail -1); all: $(echo "$buy_ms" | tr '\n' ' ')"
echo "goal < 30 ms: $(awk -v m="$buy_median" 'BEGIN { print (m < 30) ? "met" : "missed" }')"
