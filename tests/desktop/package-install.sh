#!/usr/bin/env bash
# The Debian package as a user meets it: apt installs it with what it needs, the program is on the
# PATH, its menu entry and metainfo pass the desktop's validators, it shows its window, and apt
# removes it without leaving a file. Only as root: the package and whatever apt brought in with it
# go again, also when a check fails.
#   package-install.sh PACKAGE_DIR
# Exits 77 (skipped) when not run as root or when a tool it needs is missing.
set -uo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/xdisplay.sh"
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in apt-get dpkg-query Xvfb xwininfo desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
debs=("$(realpath "$1")"/tintara_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not one package in $1: ${debs[*]}"

apt() {
    env DEBIAN_FRONTEND=noninteractive apt-get -y -o DPkg::Lock::Timeout=300 "$@" >"$work/apt.log" 2>&1 ||
        { echo "apt-get $* failed: $(tail -n 5 "$work/apt.log")" >&2 && return 1; }
}
installed() { [ "$(dpkg-query -W -f='${db:Status-Abbrev}' tintara 2>/dev/null)" = 'ii ' ]; }
installed && fail "tintara is installed already; this test would take it away: apt remove tintara"

app_pid=
brought=
cleanup() {
    stop "$app_pid" KILL
    stop "$xvfb_pid" TERM
    installed && apt remove tintara
    [ -z "$brought" ] || apt purge $brought
    rm -rf "$work"
}
trap cleanup EXIT

apt install "${debs[0]}" || fail "apt could not install the package"
brought=$(awk '/^The following NEW packages/ { on = 1; next } on && /^  / { print; next } { on = 0 }' \
    "$work/apt.log" | tr ' ' '\n' | grep -vx -e '' -e tintara)
echo "apt installed tintara and: ${brought:-nothing else}"

[ "$(command -v tintara)" = /usr/bin/tintara ] || fail "tintara on the PATH is $(command -v tintara)"
entry=/usr/share/applications/tintara.desktop
metainfo=/usr/share/metainfo/org.example.Tintara.metainfo.xml
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

start_display
mkdir -m 700 "$work/runtime"
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    tintara >"$work/program.log" 2>&1 &
app_pid=$!
window_titled 'Tintara : Web216 Mode' "$app_pid"
stop "$app_pid" TERM
app_pid=
echo "the installed program showed its window"

files=$(dpkg-query -L tintara)
apt remove tintara || fail "apt could not remove the package"
left=$(while IFS= read -r path; do [ -d "$path" ] || [ ! -e "$path" ] || echo "$path"; done <<<"$files")
[ -z "$left" ] || fail "apt remove left files behind: $left"
echo "installed, started and removed without a trace"
