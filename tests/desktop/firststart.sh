#!/usr/bin/env bash
# Starts the built program in a virtual X display with an empty settings folder, waits for its
# window, ends it with SIGTERM as a shutting-down system does, and checks that the settings file
# it wrote holds the first-start state. Along the way, checks that the window carries the icon.
#   firststart.sh PROGRAM
# Exits 77 (skipped) when no X server can be started here.
set -uo pipefail

program=$1
title='Tintara : Web216 Mode'

work=$(mktemp -d)
xvfb_pid=
app_pid=

cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill -KILL "$app_pid"
        wait "$app_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid"
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

skip() {
    echo "SKIPPED: $*"
    exit 77
}

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/program.log" ]; then
        echo "the program's output:" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    local i
    for ((i = 0; i < tenths; ++i)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

command -v Xvfb >/dev/null 2>&1 || skip "no X server can be started: Xvfb is not installed (Debian package xvfb)"
command -v xwininfo >/dev/null 2>&1 || skip "cannot look for the window: xwininfo is not installed (Debian package x11-utils)"

# The server picks a free display number itself and reports it on file descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
server_reported() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
wait_for 300 server_reported
if [ ! -s "$work/display" ]; then
    skip "no X server can be started: Xvfb reported no display. $(tail -n 3 "$work/xvfb.log")"
fi
export DISPLAY=":$(head -n 1 "$work/display")"
wait_for 100 xwininfo -root >/dev/null 2>&1 || skip "no X server can be started: $DISPLAY does not answer"

mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
env -u WAYLAND_DISPLAY -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb \
    XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    "$program" >"$work/program.log" 2>&1 &
app_pid=$!

window=
find_window() {
    window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" | awk '{ print $1; exit }')
    [ -n "$window" ] || ! kill -0 "$app_pid" 2>/dev/null
}
wait_for 600 find_window
kill -0 "$app_pid" 2>/dev/null || fail "the program ended before its window appeared"
[ -n "$window" ] || fail "no window titled \"$title\" appeared within 60 s"
echo "window $window \"$title\" on display $DISPLAY"

if command -v xprop >/dev/null 2>&1; then
    icons=
    has_icons() {
        icons=$(xprop -id "$window" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)')
        grep -qF 'Icon (16 x 16)' <<<"$icons" && grep -qF 'Icon (32 x 32)' <<<"$icons" &&
            grep -qF 'Icon (48 x 48)' <<<"$icons"
    }
    wait_for 100 has_icons || fail "the window lacks an icon of 16, 32 or 48 pixels: ${icons:-none}"
    echo "window icons: $(tr '\n' ' ' <<<"$icons")"
else
    echo "note: xprop is not installed (Debian package x11-utils); the window's icon is not checked"
fi

kill -TERM "$app_pid"
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_for 300 ended || fail "the program did not end within 30 s of SIGTERM"
wait "$app_pid"
status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status after SIGTERM"

file="$work/config/Tintara/Tintara.conf"
[ -f "$file" ] || fail "no settings file at \$XDG_CONFIG_HOME/Tintara/Tintara.conf"
# Every setting as one line: section/key=value.
settings=$(awk '/^\[.*\]$/ { section = substr($0, 2, length($0) - 2); next }
                /=/ { print section "/" $0 }' "$file")
show_file() {
    echo "the settings file holds:" >&2
    cat "$file" >&2
}
for expected in param/fauto=0 pass/w216=True color/fr=0 color/fg=0 color/fb=0 \
    color/br=255 color/bg=255 color/bb=255 ColorList/No.0=; do
    grep -qxF "$expected" <<<"$settings" || { show_file; fail "the settings file lacks $expected"; }
done
for key in Top Left; do
    grep -qE "^window/$key=-?[0-9]+(\.[0-9]+)?\$" <<<"$settings" ||
        { show_file; fail "the settings file has no number under window/$key"; }
done
[ "$(wc -l <<<"$settings")" -eq 11 ] || { show_file; fail "the settings file holds other keys too"; }
echo "first-start state written to $file"
