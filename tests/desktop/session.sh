#!/usr/bin/env bash
# The built program as a user meets it, in a virtual X display under a window manager that draws
# frames (openbox). A first start ended by SIGTERM, as a shutting-down system ends it, writes the
# first-start settings, and the window carries the icon. Closed and started again, the window
# comes back exactly where it was closed, frame and client area, to the pixel; so it does without
# a window manager. A colour set added by the keyboard is kept when the program is then killed.
# Closed during the eyedropper, it ends the pick as Esc does and ends. A picture named on the
# command line is the background; with no display, the command line alone is answered.
#   session.sh PROGRAM VERSION
# Exits 77 (skipped) when a tool it needs is missing; ./test installs them all.
set -uo pipefail

program=$1
version=$2
title='Tintara : Web216 Mode'
work=$(mktemp -d)
config="$work/config"
wm_pid=
app_pid=

source "$(dirname "$0")/xdisplay.sh"

cleanup() {
    stop "$app_pid" KILL
    stop "$wm_pid" TERM
    stop "$xvfb_pid" TERM
    rm -rf "$work"
}
trap cleanup EXIT

# STATUS|the output and the error output, joined by "#"|ARGUMENTS, of which Qt's are left to Qt
while IFS='|' read -r status pattern arguments; do
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" $arguments 2>"$work/err")
    [[ $? -eq $status && "$said#$(<"$work/err")" == $pattern ]] || fail "$arguments: $said#$(<"$work/err")"
done <<CASES
0|tintara $version#|--version
0|Usage: tintara [[]OPTION[]]... [[]PICTURE[]]*--help*--version*-platform*#|--help
0|tintara $version#|-platform xcb --style=Fusion -display :9 -reverse --version
2|#tintara: unknown option '--bogus'*'tintara --help'*|--bogus
2|#tintara: option '-platform' needs a value*|-platform
2|#tintara: extra argument 'b.png'*|a.png -- b.png
CASES
echo "with no display, the command line is answered"

for tool in Xvfb openbox xdotool xwininfo xprop wmctrl; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done

start_display

start_program() {
    mkdir -p "$work/runtime"
    chmod 700 "$work/runtime"
    env -u WAYLAND_DISPLAY -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$config" \
        XDG_RUNTIME_DIR="$work/runtime" "$program" "$@" >>"$work/program.log" 2>&1 &
    app_pid=$!
    window_titled "$title" "$app_pid"
}

# end_program SIGNAL|close [TENTHS]: sends the signal, or the window manager's close request as a
# taskbar does; the program must end within TENTHS tenths of a second (default 300), with status
# 0 unless killed.
end_program() {
    if [ "$1" = close ]; then wmctrl -i -c "$window"; else kill "-$1" "$app_pid"; fi
    # The shell's own note of a killed job goes to the error output hidden here.
    { wait_for "${2:-300}" eval "! kill -0 $app_pid"; } 2>/dev/null || fail "the program did not end after $1"
    wait "$app_pid" 2>/dev/null
    local status=$?
    app_pid=
    [ "$1" = KILL ] || [ "$status" -eq 0 ] || fail "the program ended with status $status after $1"
}

# The client area's and the frame's top-left: "client X Y, frame X Y", read until two readings a
# fifth of a second apart agree. Under openbox the window must have been framed first.
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
read_settled_place() {
    local before= i
    for ((i = 0; i < 50; ++i)); do
        read_place && [ "$place" = "$before" ] && return 0
        before=$place
        sleep 0.2
    done
    fail "the window did not come to rest: ${place:-not framed}"
}

# starts LABEL TIMES: starts and closes the program over the same settings, in the same place.
starts() {
    local first= i
    for ((i = 1; i <= $2; ++i)); do
        start_program
        read_settled_place
        echo "$1, start $i: $place"
        end_program TERM
        [ -n "$first" ] || first=$place
        [ "$place" = "$first" ] || fail "$1: start $i put the window at $place, not at $first"
    done
}

openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_running() { [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *'window id'* ]]; }
wait_for 300 wm_running || fail "openbox did not start: $(tail -n 3 "$work/openbox.log")"

start_program
icons=
has_icons() {
    icons=$(xprop -id "$window" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)')
    [[ "$icons" == *'Icon (16 x 16)'* && "$icons" == *'Icon (32 x 32)'* && "$icons" == *'Icon (48 x 48)'* ]]
}
wait_for 100 has_icons || fail "the window lacks an icon of 16, 32 or 48 pixels: ${icons:-none}"
end_program TERM
file="$config/Tintara/Tintara.conf"
# Every setting as one line, section/key=value, in the file's order.
settings=$(awk '/^\[.*\]$/ { section = substr($0, 2, length($0) - 2); next }
                /=/ { print section "/" $0 }' "$file" 2>/dev/null)
first_start='^ColorList/No\.0=
color/bb=255
color/bg=255
color/br=255
color/fb=0
color/fg=0
color/fr=0
param/fauto=0
pass/w216=True
window/Left=[0-9]+
window/Top=[0-9]+$'
[[ "$settings" =~ $first_start ]] || fail "the first start wrote not its state but: $settings"
echo "first start: icons and settings as they should be"

starts "under openbox" 4

# Ten times Tab from the red slider reaches the text colour's code box, which must leave Ctrl+K to
# the window: it copies the contrast verdict.
start_program
xdotool windowactivate --sync "$window" || fail "cannot activate the window"
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab ctrl+k
copied() { [[ "$(xclip -o -selection clipboard 2>/dev/null)" == 文字色:* ]]; }
wait_for 50 copied || fail "Ctrl+K in a code box did not copy the verdict"
end_program TERM
echo "Ctrl+K in a code box copies the verdict"

# A picture named on the command line is the background, which the verdict names.
printf 'P3 1 1 255 0 0 0\n' >"$work/tile.ppm"
start_program "$work/tile.ppm"
xdotool windowactivate --sync "$window" && xdotool key ctrl+k && wait_for 50 copied &&
    [[ "$(xclip -o -selection clipboard)" == *'背景画像: tile.ppm'* ]] ||
    fail "the picture named on the command line is not in the verdict"
end_program TERM
echo "a picture named on the command line is the background"

# From the red slider, which has the focus, Shift+Tab twice reaches ADD; the dialog takes the
# name once it has the keyboard, and Return saves it. The program is then killed.
start_program
xdotool windowactivate --sync "$window" || fail "cannot activate the window"
xdotool key --delay 100 shift+Tab shift+Tab space
dialog=
dialog_open() {
    dialog=$(xwininfo -root -tree 2>/dev/null | awk '/"色の保存":/ { print $1; exit }')
    [ -n "$dialog" ]
}
wait_for 100 dialog_open || fail "the save dialog did not open"
xdotool windowactivate --sync "$dialog" || fail "cannot activate the save dialog"
xdotool type --delay 50 'Killed set'
xdotool key Return
wait_for 100 eval '! dialog_open' || fail "the save dialog did not close"
end_program KILL
[[ "$(cat "$file")" == *'No.0="Killed set,#000000,#FFFFFF"'* ]] ||
    fail "the set added before the program was killed is not kept: $(cat "$file")"
echo "a set added before a kill is kept"

# A damaged settings file is said to have been kept aside, over the window, once the window
# manager has placed it.
head -c 4096 /dev/urandom >"$file"
start_program
notice=
notice_open() {
    notice=$(xwininfo -root -tree 2>/dev/null | awk '/"Tintara": \(/ { print $1; exit }')
    [ -n "$notice" ]
}
wait_for 100 notice_open || fail "no notice of the damaged settings file"
read_settled_place
centre() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width/ { w = $2 } /Height/ { h = $2 } END { print x + w / 2, y + h / 2, x, y, x + w, y + h }'; }
read -r cx cy _ _ _ _ <<<"$(centre "$notice")"
read -r _ _ left top right bottom <<<"$(centre "$window")"
((cx > left && cx < right && cy > top && cy < bottom)) ||
    fail "the notice of the damaged file is at $cx,$cy, away from the window ($left,$top to $right,$bottom)"
end_program TERM
echo "a damaged settings file is said over the window"

# Started with its settings file, which is no picture and is left aside, the program takes the red
# slider, which has the focus, to 255 by End, and freezes the screen for the eyedropper.
frozen() { [[ "$(xwininfo -root -tree 2>/dev/null)" == *'"tintara": ("tintara" "tintara")  1280x1024+0+0'* ]]; }
for how in close TERM; do
    start_program "$file"
    xdotool windowactivate --sync "$window" && xdotool key --delay 100 End ctrl+shift+b
    wait_for 50 frozen || fail "the eyedropper did not freeze the screen"
    end_program "$how" 50
    [[ "$(<"$file")" == *$'[color]\nbb=255\nbg=255\nbr=255\nfb=0\nfg=0\nfr=255\n'* ]] ||
        fail "closed by $how during the eyedropper, the colours shown were not kept: $(<"$file")"
done
echo "closed during the eyedropper, the program keeps the colours shown and ends"

stop "$wm_pid" TERM
wm_pid=
starts "without a window manager" 4
