#!/usr/bin/env bash
# Starts the built program in a virtual X display with an empty settings folder, waits for its
# window, ends it with SIGTERM as a shutting-down system does, and checks that the settings file
# it wrote holds the first-start state. Along the way, checks that the window carries the icon.
#   firststart.sh PROGRAM
# Exits 77 (skipped) when no X server can be started here.
set -uo pipefail

program=$1
title='Tintara : Web216 Mode'

source "$(dirname "$0")/x11.sh"
start_x
start_program "$program" "$work/config"

find_window "$title"
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

end_program TERM

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
