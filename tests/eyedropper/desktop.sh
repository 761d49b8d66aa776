#!/usr/bin/env bash
# The eyedropper's test program in a virtual X server with two screens side by side, 640x480
# and 800x600 (below the left one there is no screen), over a root window of #123456: all of it
# at device pixel ratio 1, then the screen grab at QT_SCALE_FACTOR=2 and under a window manager
# (openbox), which must not keep the keyboard from it.
#   desktop.sh TEST_PROGRAM
# Exits 77 (skipped) when a tool it needs is missing; ./test installs them all.
set -uo pipefail
program=$1
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$work"' EXIT
for tool in Xvfb openbox xdotool xrandr xsetroot xprop dbus-daemon; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
# Up to ten seconds for the command to succeed.
wait_for() {
    for ((i = 0; i < 100; ++i)); do "$@" && return 0; sleep 0.1; done
    return 1
}

# -noreset: the root window keeps its colour between one client and the next.
Xvfb -displayfd 3 -screen 0 1440x600x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for test -s "$work/display" || { cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir -m 700 "$work/runtime"
xrandr --setmonitor LEFT 640/169x480/127+0+0 screen >/dev/null &&
    xrandr --setmonitor RIGHT 800/211x600/159+640+0 none >/dev/null &&
    xsetroot -solid '#123456' || exit 1

status=0
QT_SCALE_FACTOR=1 "$program" || status=1
QT_SCALE_FACTOR=2 "$program" screenGrabTakesThePixelUnderThePointer || status=1
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_running() { [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *'window id'* ]]; }
wait_for wm_running || { cat "$work/openbox.log"; exit 1; }
QT_SCALE_FACTOR=1 "$program" screenGrabTakesThePixelUnderThePointer || status=1
exit $status
