#!/usr/bin/env bash
# Starts the real program under a virtual X server in an empty program directory, answers the
# first-run question, starts a second instance, ends the first one regularly and checks what it
# left behind. Usage: run.sh <build directory holding ruvo and imgs.pak>
set -euo pipefail

build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ] || [ -z "${RUVO_E2E_UNDER_X:-}" ]; then
    exec env RUVO_E2E_UNDER_X=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

dir=$(mktemp -d)
trap 'kill $first 2>/dev/null || true; rm -rf "$dir"' EXIT
# The data folder holds only what the program writes; imgs.pak comes from the build tree.
export RUVO_DIR=$dir LANG=C.UTF-8
before=$(ls -A "$build")

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits until a window with exactly this title exists and prints its id. The waits are generous:
# the suite runs two tests at a time on small machines.
wait_window() {
    for _ in $(seq 1 300); do
        if id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

answer() {
    local id
    id=$(wait_window "$1") || fail "no window titled '$1'"
    sleep 0.3
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key Return
}

"$build/ruvo" &
first=$!
answer "Datenbank"
wait_window "Ruvo          V0.68 Beta by zr" >/dev/null || fail "main window did not appear"
[ -s "$dir/data.zr" ] || fail "no data.zr after the first run"

# A second start in the same directory says so and ends with 0; the first one goes on.
"$build/ruvo" &
second=$!
answer "Instance Running"
wait $second || fail "second instance ended with $?"
kill -0 $first 2>/dev/null || fail "the first instance ended too"

# The regular end: preferences, notes and the recovery copy are written.
kill -TERM $first
wait $first || fail "first instance ended with $?"

[ -f "$dir/prefs.ini" ] || fail "no prefs.ini"
[ -f "$dir/notizen.zr" ] || fail "no notizen.zr"
cmp -s "$dir/data.zr" "$dir/recovery.zr" || fail "recovery.zr differs from data.zr"
head -n 1 "$dir/prefs.ini" | grep -q $'^curryear = [0-9]\\{4\\}\r$' || fail "bad first line of prefs.ini"
[ "$(grep -c $'\r$' "$dir/prefs.ini")" -eq "$(wc -l < "$dir/prefs.ini")" ] || fail "prefs.ini lines lack CR LF"
[ "$(wc -l < "$dir/prefs.ini")" -eq 87 ] || fail "prefs.ini has $(wc -l < "$dir/prefs.ini") lines"
grep -q $'^r = 0.500000\r$' "$dir/prefs.ini" || fail "float key not written with six decimals"
[ "$(sqlite3 "$dir/data.zr" 'SELECT COUNT(*) FROM feiertage')" -eq 1292 ] || fail "holidays missing"
[ ! -e "$dir/ruvo.lock" ] || fail "lock file left behind"
[ "$(ls -A "$build")" = "$before" ] || fail "the run wrote beside the executable"

# With a system tray the program starts hidden and the tray icon toggles the window.
if command -v trayer >/dev/null; then
    trayer --edge top --align left --widthtype pixel --width 40 --height 24 --SetDockType false &
    tray=$!
    sleep 1
    "$build/ruvo" &
    first=$!
    visible() { xdotool search --onlyvisible --name "^Ruvo          V0.68 Beta by zr\$" 2>/dev/null | wc -l; }
    # Waits up to fifteen seconds for the main window to be shown (1) or hidden (0).
    expect_visible() {
        for _ in $(seq 1 150); do
            [ "$(visible)" -eq "$1" ] && return 0
            sleep 0.1
        done
        return 1
    }
    double_click_tray() { xdotool mousemove 12 12 click --repeat 2 --delay 80 1; }
    click_tray() { xdotool mousemove 12 12 click 1; }
    # The icon is in the tray once the program is past its start-up.
    sleep 5
    expect_visible 0 || fail "the main window is shown at start although there is a tray"
    double_click_tray
    expect_visible 1 || fail "a double click on the tray icon did not show the window"
    double_click_tray
    expect_visible 0 || fail "a second double click did not hide the window"
    # Trays that report single clicks only: one click toggles as well.
    click_tray
    expect_visible 1 || fail "a single click on the tray icon did not show the window"
    click_tray
    expect_visible 0 || fail "a second single click did not hide the window"
    # The tray item "&Info" starts one Info program per click and does not wait for it.
    info_windows() { xdotool search --onlyvisible --name '^Info$' 2>/dev/null | wc -l; }
    for n in 1 2; do
        xdotool mousemove 12 12 click 3
        sleep 0.8
        xdotool key i
        for _ in $(seq 1 150); do
            [ "$(info_windows)" -eq $n ] && break
            sleep 0.1
        done
        [ "$(info_windows)" -eq $n ] || fail "the tray item \"&Info\" did not open Info window $n"
    done
    for id in $(xdotool search --onlyvisible --name '^Info$'); do
        kill "$(xdotool getwindowpid "$id")" 2>/dev/null || true
    done
    kill -TERM $first
    wait $first || fail "tray instance ended with $?"
    kill $tray 2>/dev/null || true
fi
echo "end-to-end: ok"
