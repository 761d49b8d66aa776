#!/usr/bin/env bash
# Closes and starts the built program again and again in a virtual X display, first under a
# window manager that draws frames (openbox), then without one, and checks that the window comes
# back exactly where it was closed: its frame and its client area, to the pixel. Under openbox it
# also adds a colour set by the keyboard, kills the program, and checks that the set was kept.
#   restarts.sh PROGRAM
# Exits 77 (skipped) when no X server, openbox or xdotool is here.
set -uo pipefail

program=$1
title='Tintara : Web216 Mode'

source "$(dirname "$0")/x11.sh"
command -v openbox >/dev/null 2>&1 || skip "no window manager: openbox is not installed (Debian package openbox)"
command -v xprop >/dev/null 2>&1 || skip "cannot read the frame: xprop is not installed (Debian package x11-utils)"
command -v xdotool >/dev/null 2>&1 || skip "cannot type into the window: xdotool is not installed (Debian package xdotool)"
start_x
config="$work/config"

# The client area's and the frame's top-left on the screen: "client X Y, frame X Y". Fails while
# the window manager has not yet framed the window.
place=
read_place() {
    local info x y extents left=0 top=0
    info=$(xwininfo -id "$window" 2>/dev/null) || return 1
    x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
    if [ -n "$wm_pid" ]; then
        extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | grep -oE '[0-9]+, [0-9]+, [0-9]+, [0-9]+')
        [ -n "$extents" ] || return 1
        IFS=', ' read -r left _ top _ <<<"$extents"
    fi
    place="client $x $y, frame $((x - left)) $((y - top))"
}

# Reads the place until two readings a fifth of a second apart agree.
read_settled_place() {
    local before= i
    for ((i = 0; i < 50; ++i)); do
        if read_place && [ "$place" = "$before" ]; then
            return 0
        fi
        before=$place
        sleep 0.2
    done
    fail "the window did not come to rest: ${place:-not framed}"
}

# starts LABEL TIMES: starts and closes the program TIMES times over the same settings.
starts() {
    local label=$1 times=$2 first= i
    for ((i = 1; i <= times; ++i)); do
        start_program "$program" "$config"
        find_window "$title"
        read_settled_place
        echo "$label, start $i: $place"
        end_program TERM
        [ -n "$first" ] || first=$place
        [ "$place" = "$first" ] || fail "$label: start $i put the window at $place, not at $first where it was closed"
    done
}

openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_running() { [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *'window id'* ]]; }
wait_for 300 wm_running || fail "openbox did not start within 30 s: $(tail -n 3 "$work/openbox.log")"
starts "under openbox" 4

# From the red slider, which has the focus, Shift+Tab twice reaches ADD; the dialog takes the
# name and Return saves it. The program is then killed, with no chance to write anything.
start_program "$program" "$config"
find_window "$title"
xdotool windowactivate --sync "$window" || fail "cannot activate the window"
xdotool key --delay 100 shift+Tab shift+Tab space
dialog=
dialog_open() {
    dialog=$(xwininfo -root -tree | awk '/"色の保存":/ { print $1; exit }')
    [ -n "$dialog" ]
}
wait_for 100 dialog_open || fail "the save dialog did not open"
# Typing starts once the dialog has the keyboard, or the first letters go elsewhere.
xdotool windowactivate --sync "$dialog" || fail "cannot activate the save dialog"
xdotool type --delay 50 'Killed set'
xdotool key Return
dialog_closed() { ! dialog_open; }
wait_for 100 dialog_closed || fail "the save dialog did not close"
end_program KILL
grep -qF 'No.0="Killed set,#000000,#FFFFFF"' "$config/Tintara/Tintara.conf" ||
    fail "the set added before the program was killed is not in the settings file: $(cat "$config/Tintara/Tintara.conf")"
echo "a set added before a kill is in the settings file"

kill "$wm_pid"
wait "$wm_pid" 2>/dev/null
wm_pid=
starts "without a window manager" 4
