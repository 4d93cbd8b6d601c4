#!/usr/bin/env bash
# setforge.exe under Wine, driven like the Linux program: a nickname with umlauts, fast
# switching "Ja", gamma "2.2", KEVLAR on F11 from the buy window, a look at the About window,
# then "Config erstellen" into a given folder through each platform's own save dialog. Both
# programs run the same steps on the same X server, and the two files must be byte for byte
# the same.
# Usage: wine_smoke.sh <setforge.exe> <Linux setforge> <screenshot folder>
source "$([[ $0 == */* ]] && echo "${0%/*}" || echo .)/lib.sh" || exit 1
EXE=$(realpath -e "$1" 2>/dev/null) || {
    echo "FAIL [wine_smoke]: no $1"
    exit 1
}
command -v wine >/dev/null 2>&1 || skip_missing_tool "[wine_smoke] wine is not installed (bash scripts/windows.sh installs it)"
LINUX_BIN=$(realpath -e "$2" 2>/dev/null) || {
    echo "FAIL [wine_smoke]: no $2"
    exit 1
}
e2e_setup wine_smoke "$LINUX_BIN" "$3" 91

# Wine's server and its helper processes end with the test, whatever its outcome.
wine_cleanup() {
    local status=$?
    [ -n "${WINEPREFIX:-}" ] && HOME="$E2E_WORK/home" wineserver -k >/dev/null 2>&1
    (exit $status)
    e2e_cleanup
}
trap wine_cleanup EXIT

# Wine gives the program's windows the process id of the program started here, so the shared
# helpers find them the same way under both platforms.
WINE_RUN=0
all_visible_windows() { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null; }

# Waits until a window shows more than black: Wine maps a window before it paints it.
wait_painted() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) mean
    while ((SECONDS < deadline)); do
        mean=$(import -window "$1" png:- 2>/dev/null | convert png:- -format '%[fx:mean]' info: 2>/dev/null)
        [ -n "$mean" ] && awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' && return 0
        sleep 0.1
    done
    return 1
}

# Opens a dropdown list and clicks the item with the given index (0 = first) of `count` items.
# The popup is whichever window appears after the click; its size tells where its rows are.
pick_from_list() {
    local frame_left=$1 frame_top=$2 top=$3 index=$4 count=$5
    local before popup="" id deadline
    before=$(all_visible_windows | sort)
    click_in_frame "$frame_left" "$frame_top" 2520 "$top" 2895 315
    deadline=$((SECONDS + E2E_TIMEOUT))
    while ((SECONDS < deadline)) && [ -z "$popup" ]; do
        for id in $(all_visible_windows); do
            grep -qx "$id" <<<"$before" || popup=$id
        done
        [ -z "$popup" ] && sleep 0.05
    done
    [ -n "$popup" ] || fail "the list's popup did not open"
    note "list popup $popup size $(window_size "$popup")"
    click_popup_row "$popup" "$index" "$count"
}

# Types a Windows path. The backslash is AltGr+ß on a German keyboard, and when xdotool types
# it in one go, a busy Wine can see the ß without the AltGr or the next letter with it ("wine"
# arriving as "win€"). So AltGr is pressed, ß typed and AltGr released one at a time, with a
# pause after each.
type_windows_path() {
    local rest=$1 part
    while :; do
        part=${rest%%\\*}
        [ -n "$part" ] && { xdotool type --delay 40 -- "$part" || fail "xdotool type"; }
        [ "$part" = "$rest" ] && return 0
        rest=${rest#*\\}
        sleep 0.1
        xdotool keydown ISO_Level3_Shift && sleep 0.1 && xdotool key ssharp && sleep 0.1 &&
            xdotool keyup ISO_Level3_Shift || fail "xdotool: backslash"
        sleep 0.1
    done
}

# Types a path into Windows' save dialog and presses Enter; true once the dialog has closed.
# Windows' dialog builds its folder view after it shows, and keys typed meanwhile are lost, so
# the file-name field gets the focus by a click (it spans the middle of the dialog, 40 pixels
# above its bottom edge). Should a key still arrive garbled, the dialog refuses the path with
# a message, and the path is typed again, as a person would.
wine_enter_path() {
    local dialog=$1 path=$2 attempt dx dy dw dh deadline
    read -r dx dy < <(window_origin "$dialog")
    IFS=x read -r dw dh < <(window_size "$dialog")
    sleep 1
    for attempt in 1 2 3; do
        click_at $((dx + dw / 2)) $((dy + dh - 40))
        key ctrl+a
        type_windows_path "$path"
        key Return
        deadline=$((SECONDS + 5))
        while ((SECONDS < deadline)); do
            window_visible "$dialog" || return 0
            sleep 0.1
        done
        note "the dialog refused the typed path (attempt $attempt); typing it again"
        shot "wine-path-refused-$attempt" >/dev/null
        key Return # closes the dialog's message
        sleep 0.5
    done
    return 1
}

# The steps, the same for both programs. $1 names the run in screenshots; $2 is the file path
# as the program's save dialog takes it; $3 the same file seen from here.
typical_steps() {
    local run=$1 dialog_path=$2 file=$3
    [ "$(window_size "$MAIN_ID")" = "$MAIN_SIZE" ] || fail "$run: main window is $(window_size "$MAIN_ID"), not $MAIN_SIZE"
    wait_painted "$MAIN_ID" || fail "$run: the main window stayed black"
    shot "$run-main-start" >/dev/null

    click_in_frame 120 960 2520 360 2895 285 # Text1, the nickname
    type_text "Jörg Ü"
    click_in_frame 120 960 2520 720 495 255 # o1 "Ja"
    pick_from_list 120 960 1440 3 6         # gamma, fourth of six items: "2.2"

    open_buy_menu
    [ "$(window_size "$BUY_ID")" = "$BUY_SIZE" ] || fail "$run: buy window is $(window_size "$BUY_ID"), not $BUY_SIZE"
    # c24 "KEVLAR", first row of frame "EQUIPMENT" (6360,360); its box at 120,240.
    click_at $((BUY_X + $(px $((6360 + 120))) + 6)) $((BUY_Y + $(px $((360 + 240)))+ $(px 255) / 2))
    shot "$run-buy-window" >/dev/null
    click_control "$BUY_X" "$BUY_Y" $((6360 + 480)) $((3600 + 1560)) 2175 255 # "Buy Script Erstellen"
    wait_window_gone "$BUY_ID" || fail "$run: the buy window stayed open after \"Buy Script Erstellen\""

    click_control "$MAIN_X" "$MAIN_Y" 2880 7560 2775 375 # "Informationen über Programm"
    local about ax ay
    about=$(wait_window '^Informationen' "$MAIN_ID") || fail "$run: the About window did not open"
    [ "$(window_size "$about")" = 312x205 ] || fail "$run: About window is $(window_size "$about"), not 312x205"
    read -r ax ay < <(window_origin "$about")
    shot "$run-about-window" >/dev/null
    click_control "$ax" "$ay" 2400 2640 2235 375 # OK
    wait_window_gone "$about" || fail "$run: OK did not close the About window"
    shot "$run-main-filled" >/dev/null

    local dialog
    dialog=$(open_save_dialog) || fail "$run: the save dialog did not open"
    note "$run: save dialog $dialog ($(window_size "$dialog"))"
    sleep 0.5
    shot "$run-save-dialog" >/dev/null
    if [ $WINE_RUN = 1 ]; then
        wine_enter_path "$dialog" "$dialog_path" || fail "$run: the save dialog stayed open after choosing $dialog_path"
    else
        enter_path "$dialog" "$dialog_path"
        wait_window_gone "$dialog" || fail "$run: the save dialog stayed open after choosing $dialog_path"
    fi
    if ! wait_file_changed "$file" none; then
        [ -e "$E2E_WORK/cwd/userconfig.cfg" ] && fail "$run: the dialog saved its proposed name in the" \
            "starting folder: the typed path $dialog_path did not reach the file-name field"
        fail "$run: $file was not written"
    fi
    close_program
}

# --- the Linux program -----------------------------------------------------------------------
mkdir -p "$E2E_WORK/linux" "$E2E_WORK/wine"
start_app
typical_steps linux "$E2E_WORK/linux/userconfig.cfg" "$E2E_WORK/linux/userconfig.cfg"
expected="$E2E_WORK/linux/userconfig.cfg"
# The steps must have done something, or two empty files would agree.
for line in '^name "J' '^hud_fastswitch "1"' '^gamma "2.200000"' '^bind "F11" "vest"'; do
    grep -q -a "$line" "$expected" || fail "the Linux program's file has no line $line"
done
note "Linux program: $(stat -c %s "$expected") bytes"

# --- setforge.exe under Wine -----------------------------------------------------------------
WINE_RUN=1
export WINEPREFIX="$E2E_WORK/wineprefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer prompts: this machine has no network and the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
started=$SECONDS
HOME="$E2E_WORK/home" wineboot --init >"$E2E_WORK/wineboot.log" 2>&1 || fail "wineboot: $(cat "$E2E_WORK/wineboot.log")"
HOME="$E2E_WORK/home" wine reg import "$E2E_DIR/wine_fonts.reg" >>"$E2E_WORK/wineboot.log" 2>&1 ||
    fail "importing the font substitutes: $(cat "$E2E_WORK/wineboot.log")"
HOME="$E2E_WORK/home" wineserver -w
note "Wine prefix made in $((SECONDS - started)) s"

started=$SECONDS
(
    cd "$E2E_WORK/cwd" || exit 1
    exec env HOME="$E2E_WORK/home" wine "$EXE"
) >"$E2E_WORK/app.log" 2>&1 &
APP_PID=$!
MAIN_ID=$(wait_window '^Halvren$') || fail "setforge.exe showed no main window under Wine ($(cat "$E2E_WORK/app.log"))"
read -r MAIN_X MAIN_Y < <(window_origin "$MAIN_ID")
note "setforge.exe: main window $MAIN_ID at $MAIN_X,$MAIN_Y size $(window_size "$MAIN_ID") after $((SECONDS - started)) s"

# Wine shows the whole file system as drive Z:.
typical_steps wine "Z:${E2E_WORK//\//\\}\\wine\\userconfig.cfg" "$E2E_WORK/wine/userconfig.cfg"
expect_bytes "$E2E_WORK/wine/userconfig.cfg" "$expected"
[ "$(ls -A "$E2E_WORK/wine")" = userconfig.cfg ] || fail "other files beside the config: $(ls -A "$E2E_WORK/wine")"
note "passed"
