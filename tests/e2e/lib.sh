# Shared steps of the real-window tests: sourced by each test script, never run on its own.
#
# A test script calls
#     e2e_setup <test name> <path of setforge> <screenshot folder> <first display number>
# and then drives the program with the helpers below. Each test runs its own Xvfb and its
# own copy of the program in a fresh HOME, so tests can run side by side (ctest -j).
# Exit codes: 0 passed, 1 failed, 77 skipped (a tool is missing, outside CI).

set -uo pipefail

readonly E2E_SKIP=77
E2E_DIR=$(cd "${BASH_SOURCE[0]%/*}" && pwd)
readonly E2E_DIR
source "$E2E_DIR/../support/skip.sh" || exit 1
readonly E2E_TIMEOUT=${E2E_TIMEOUT:-15} # seconds to wait for any window or file
# The windows' sizes in pixels, for the tests and the start-up bench alike.
readonly MAIN_SIZE=762x537
readonly BUY_SIZE=633x460

E2E_NAME=""
E2E_BIN=""
E2E_SHOTS=""
E2E_WORK=""
E2E_XVFB_PID=""
APP_PID=""
MAIN_ID=""
MAIN_X=0
MAIN_Y=0

note() { echo "-- $*" >&2; }

fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    [ -n "${DISPLAY:-}" ] && shot "at-failure" >/dev/null 2>&1
    exit 1
}

# Twips to pixels, rounded to the nearest pixel like the program's own conversion.
px() { echo $((($1 * 2 + 15) / 30)); }

e2e_setup() {
    E2E_NAME=$1
    E2E_BIN=$2
    E2E_SHOTS=$3
    local first_display=$4

    local tool
    for tool in Xvfb setxkbmap xdotool import xwininfo xprop cmp; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            skip_missing_tool "[$E2E_NAME] '$tool' is not installed (packages xvfb, xdotool, x11-utils," \
                "imagemagick; bash scripts/deps.sh installs them)"
        fi
    done
    [ -x "$E2E_BIN" ] || fail "program not found: $E2E_BIN"

    mkdir -p "$E2E_SHOTS" || fail "cannot create $E2E_SHOTS"
    rm -f "$E2E_SHOTS/$E2E_NAME"-*.png
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/setforge-e2e-$E2E_NAME.XXXXXX") || fail "mktemp"
    mkdir -p "$E2E_WORK/home" "$E2E_WORK/cwd" "$E2E_WORK/runtime"
    chmod 700 "$E2E_WORK/runtime"
    trap e2e_cleanup EXIT
    start_xvfb "$first_display"
}

e2e_cleanup() {
    local status=$?
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
        kill "$APP_PID" 2>/dev/null
        wait "$APP_PID" 2>/dev/null
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    if [ "$status" -eq 0 ] || [ -z "${E2E_KEEP:-}" ]; then
        rm -rf "$E2E_WORK"
    else
        echo "work folder kept: $E2E_WORK" >&2
    fi
    exit "$status"
}

# Starts Xvfb on the first free display from `first` on; a display another test holds is skipped.
start_xvfb() {
    local first=$1 n
    for ((n = first; n < first + 20; n++)); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$E2E_WORK/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        local deadline=$((SECONDS + 10))
        while kill -0 "$E2E_XVFB_PID" 2>/dev/null && ((SECONDS < deadline)); do
            # The lock file names the server that owns the display: ours, not a neighbour's.
            if [ "$({ tr -d ' \n' <"/tmp/.X$n-lock"; } 2>/dev/null)" = "$E2E_XVFB_PID" ] &&
                DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$n"
                # A German keyboard, as the program's users have: umlauts are typed as real keys.
                setxkbmap -layout de || fail "setxkbmap -layout de failed"
                note "Xvfb on $DISPLAY"
                return 0
            fi
            sleep 0.05
        done
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=""
    done
    fail "no X display could be started from :$first on ($(cat "$E2E_WORK/xvfb.log" 2>/dev/null))"
}

# Saves the whole screen under the build folder and prints the file's path.
shot() {
    # Numbered by the files already there: shots are also taken inside $(...) subshells.
    local -a taken=("$E2E_SHOTS/$E2E_NAME"-*.png)
    [ -e "${taken[0]}" ] || taken=()
    local file
    file=$(printf '%s/%s-%02d-%s.png' "$E2E_SHOTS" "$E2E_NAME" $((${#taken[@]} + 1)) "$1")
    import -window root "$file" 2>/dev/null || echo "warning: screenshot $file failed" >&2
    echo "$file"
}

# Starts the program in the test's own HOME and working folder. Options:
#   --fsize BYTES   a file-size limit with SIGXFSZ ignored, so a write beyond it fails the way
#                   a full disk does;
#   --unprivileged  run as user "nobody" when the test runs as root, whom folder permissions
#                   do not stop;
#   -- ARGS         the program's own arguments.
start_app() {
    local -a prefix=() args=()
    while [ $# -gt 0 ]; do
        case $1 in
        --)
            shift
            args=("$@")
            break
            ;;
        --fsize)
            command -v prlimit >/dev/null 2>&1 || fail "prlimit (util-linux) is needed for the file-size limit"
            prefix+=(bash -c 'trap "" XFSZ; exec prlimit --fsize="$0":"$0" -- "$@"' "$2")
            shift 2
            ;;
        --unprivileged)
            if [ "$(id -u)" -eq 0 ]; then
                command -v setpriv >/dev/null 2>&1 ||
                    skip_missing_tool "[$E2E_NAME] running as root without setpriv to drop to an unprivileged user"
                setpriv --reuid=65534 --regid=65534 --clear-groups -- test -x "$E2E_BIN" || {
                    echo "SKIP [$E2E_NAME]: user nobody (65534) cannot run $E2E_BIN"
                    exit $E2E_SKIP
                }
                chmod 755 "$E2E_WORK"
                chown -R 65534:65534 "$E2E_WORK/home" "$E2E_WORK/cwd" "$E2E_WORK/runtime"
                prefix+=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
            fi
            shift
            ;;
        *) fail "start_app: unknown option $1" ;;
        esac
    done
    (
        cd "$E2E_WORK/cwd" || exit 1
        exec env HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/home/.config" \
            XDG_CACHE_HOME="$E2E_WORK/home/.cache" XDG_RUNTIME_DIR="$E2E_WORK/runtime" \
            QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8 \
            LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$E2E_DIR/lsan.supp" \
            "${prefix[@]}" "$E2E_BIN" "${args[@]}"
    ) >"$E2E_WORK/app.log" 2>&1 &
    APP_PID=$!
    MAIN_ID=$(wait_window '(^| )Halvren\*?$') || fail "the main window did not appear ($(cat "$E2E_WORK/app.log"))"
    read -r MAIN_X MAIN_Y < <(window_origin "$MAIN_ID")
    note "main window $MAIN_ID at $MAIN_X,$MAIN_Y size $(window_size "$MAIN_ID")"
}

app_alive() { kill -0 "$APP_PID" 2>/dev/null; }

# Visible windows of the program whose title (WM_NAME) matches the regular expression.
app_windows() {
    xdotool search --all --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null
}

# Waits for a visible window of the program with a matching title that is not one of the
# ids given after the pattern, and prints its id. WAIT_DIALOG_ONLY=1 takes message boxes only.
wait_window() {
    local pattern=$1
    shift
    local deadline=$((SECONDS + E2E_TIMEOUT)) id k known
    while ((SECONDS < deadline)); do
        app_alive || return 1
        for id in $(app_windows "$pattern"); do
            known=0
            for k in "$@"; do [ "$id" = "$k" ] && known=1; done
            [ $known -eq 0 ] || continue
            if [ "${WAIT_DIALOG_ONLY:-0}" = 1 ] && ! window_type "$id" | grep _NET_WM_WINDOW_TYPE_DIALOG >/dev/null; then
                continue
            fi
            echo "$id"
            return 0
        done
        sleep 0.05
    done
    return 1
}

window_visible() { xwininfo -id "$1" 2>/dev/null | grep 'Map State: IsViewable' >/dev/null; }

# Waits until the window is unmapped or destroyed.
wait_window_gone() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while ((SECONDS < deadline)); do
        window_visible "$1" || return 0
        sleep 0.05
    done
    return 1
}

window_origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

window_size() {
    xwininfo -id "$1" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h}'
}

window_type() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null; }

# Dialog windows of the program (message boxes, file dialog) that are on screen.
visible_dialogs() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        window_type "$id" | grep _NET_WM_WINDOW_TYPE_DIALOG >/dev/null && echo "$id"
    done
}

window_title() { xprop -id "$1" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([A-Z_]*) = "\(.*\)"$/\1/p'; }

click_at() {
    # No --sync: it waits many seconds when the pointer is already there. The server keeps
    # the move and the click in order anyway.
    xdotool mousemove "$1" "$2" click 1 || fail "xdotool click at $1,$2"
}

# Clicks the centre of a control given in twips (its container's offset plus its own
# left, top, width and height) on the window whose origin is x0,y0.
click_control() {
    local x0=$1 y0=$2 left=$3 top=$4 width=$5 height=$6
    click_at $((x0 + $(px "$left") + $(px "$width") / 2)) $((y0 + $(px "$top") + $(px "$height") / 2))
}

type_text() { xdotool type --delay 8 -- "$1" || fail "xdotool type"; }
key() { xdotool key --delay 30 "$@" || fail "xdotool key $*"; }

# A main-window control inside a frame: frame left/top plus the control's place, in twips.
click_in_frame() {
    click_control "$MAIN_X" "$MAIN_Y" $(($1 + $3)) $(($2 + $4)) "$5" "$6"
}

# Opens a dropdown list on the main window and picks the item with the given index
# (0 = first) of `count` items. The popup's own size tells where its rows are.
pick_list_item() {
    local frame_left=$1 frame_top=$2 top=$3 index=$4 count=$5
    click_in_frame "$frame_left" "$frame_top" 2520 "$top" 2895 315
    local deadline=$((SECONDS + E2E_TIMEOUT)) popup=""
    while ((SECONDS < deadline)) && [ -z "$popup" ]; do
        for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
            [ "$id" = "$MAIN_ID" ] && continue
            xwininfo -id "$id" 2>/dev/null | grep 'Override Redirect State: yes' >/dev/null && popup=$id
        done
        [ -z "$popup" ] && sleep 0.05
    done
    [ -n "$popup" ] || fail "the list's popup did not open"
    click_popup_row "$popup" "$index" "$count"
}

# Clicks row `index` (0 = first) of `count` in an open list popup, whose own size tells where its
# rows are, and waits for the popup to close.
click_popup_row() {
    local popup=$1 index=$2 count=$3 x y w h
    read -r x y < <(window_origin "$popup")
    IFS=x read -r w h < <(window_size "$popup")
    click_at $((x + w / 2)) $((y + h * (2 * index + 1) / (2 * count)))
    wait_window_gone "$popup" || fail "the list's popup did not close"
}

# Identity of a file's current version: a rename or rewrite changes it.
file_stamp() { stat -c '%i %z %s' "$1" 2>/dev/null || echo "none"; }

# Presses "Config erstellen" and waits for the save dialog; prints its id.
open_save_dialog() {
    click_control "$MAIN_X" "$MAIN_Y" 8580 7560 2715 375
    wait_window '^Halvren Setforge 1\.0$' || fail "the save dialog did not open"
}

# Types a path into the open save dialog's file-name field (which holds the focus) and
# presses Enter. With "yes", the overwrite question must come and is answered Yes.
enter_path() {
    local dialog=$1 path=$2 overwrite=${3:-}
    key ctrl+a
    type_text "$path"
    key Return
    if [ "$overwrite" = yes ]; then
        local question
        question=$(wait_message_box '^Halvren Setforge 1\.0$' "$dialog") || fail "no overwrite question for $path"
        note "overwrite question $question ($(window_size "$question")); answering Yes"
        shot "overwrite-question" >/dev/null
        key alt+j # "Ja"
    fi
}

# The whole save step through the real dialog; waits until the file has been written.
save_as() {
    local path=$1 overwrite=${2:-}
    local before dialog
    before=$(file_stamp "$path")
    dialog=$(open_save_dialog) || fail "the save dialog did not open"
    enter_path "$dialog" "$path" "$overwrite"
    wait_window_gone "$dialog" || fail "the save dialog stayed open after choosing $path"
    wait_file_changed "$path" "$before" || fail "$path was not written"
}

wait_file_changed() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while ((SECONDS < deadline)); do
        [ "$(file_stamp "$1")" != "$2" ] && return 0
        sleep 0.05
    done
    return 1
}

# Compares a file's bytes with the expected bytes; prints both as hex on a difference.
expect_bytes() {
    local file=$1 expected=$2
    if ! cmp -s "$expected" "$file"; then
        echo "expected:" >&2
        od -An -c "$expected" >&2
        echo "got:" >&2
        od -An -c "$file" >&2 2>/dev/null || echo "(no file)" >&2
        fail "bytes of $file differ from the expected ones"
    fi
    note "bytes of $(basename "$file") as expected ($(stat -c %s "$file") bytes)"
}

# Clicks the main window's close picture and waits for the program to end.
close_program() {
    # The banner covers the close picture below 17 pixels; click its visible top part.
    click_at $((MAIN_X + $(px 11190) + $(px 225) / 2)) $((MAIN_Y + 8))
    expect_program_end "its close picture was clicked"
}

# Waits up to 5 s for the program to end with status 0; `after` says what should have ended it.
expect_program_end() {
    local after=$1
    local deadline=$((SECONDS + 5))
    while app_alive && ((SECONDS < deadline)); do sleep 0.05; done
    app_alive && fail "the program still runs 5 s after $after"
    wait "$APP_PID"
    local status=$?
    APP_PID=""
    [ $status -eq 0 ] || fail "the program ended with status $status"
}

# For a window with unsaved changes: the close picture asks first, and "Verwerfen" (one back from
# the default "Abbrechen") ends the program without saving.
close_program_discarding() {
    click_at $((MAIN_X + $(px 11190) + $(px 225) / 2)) $((MAIN_Y + 8))
    local box
    box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID") || fail "no question about unsaved changes on close"
    key shift+Tab space
    wait_window_gone "$box" || fail "the question stayed open"
    expect_program_end '"Verwerfen"'
}

# The buy window's id and origin, set by open_buy_menu.
BUY_ID=""
BUY_X=0
BUY_Y=0
open_buy_menu() {
    click_control "$MAIN_X" "$MAIN_Y" 5775 7560 2760 375
    BUY_ID=$(wait_window '^Buy-Script erstellen$') || fail "the buy window did not open"
    read -r BUY_X BUY_Y < <(window_origin "$BUY_ID")
    note "buy window $BUY_ID at $BUY_X,$BUY_Y size $(window_size "$BUY_ID")"
}

# Waits for a dialog window (message box) of the program with a matching title that is not
# one of the ids given after the pattern; prints its id.
wait_message_box() { WAIT_DIALOG_ONLY=1 wait_window "$@"; }

# Every file and folder below a folder, with each file's checksum: equal before and after
# a failed save means nothing was changed, added or left behind.
tree_signature() {
    (
        cd "$1" || exit 1
        find . -type d -printf 'dir %p\n'
        find . -type f -exec md5sum {} +
    ) | sort
}

# A save that must fail: the dialog closes, a warning box comes, and the folder is as before.
# Prints the box's id.
expect_failed_save() {
    local path=$1 overwrite=$2 folder=$3
    local before dialog box
    before=$(tree_signature "$folder")
    dialog=$(open_save_dialog) || fail "the save dialog did not open"
    enter_path "$dialog" "$path" "$overwrite"
    wait_window_gone "$dialog" || fail "the save dialog stayed open after choosing $path"
    box=$(wait_message_box '^Halvren Setforge$' "$MAIN_ID")
    local after
    after=$(tree_signature "$folder")
    if [ "$after" != "$before" ]; then
        diff <(echo "$before") <(echo "$after") >&2
        ls -l "$folder" >&2
        [ -n "$box" ] || fail "the failed save to $path changed $folder and showed no message box"
        fail "the failed save to $path changed $folder"
    fi
    [ -n "$box" ] || fail "no message box after the failed save to $path"
    xprop -id "$box" _NET_WM_STATE | grep _NET_WM_STATE_MODAL >/dev/null || fail "the message box is not modal"
    note "message box $box ($(window_size "$box")) after saving to $path"
    echo "$box"
}

# Closes a message box with Enter (its OK button holds the focus) and checks the program lives on.
close_message_box() {
    key Return
    wait_window_gone "$1" || fail "the message box did not close"
    app_alive || fail "the program ended"
}
