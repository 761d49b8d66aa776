#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop needs from it: the program,
# the desktop entry, the icon in every size and the AppStream metainfo, the last two checked by
# the desktop's own validators.
#   install.sh CMAKE BUILD_DIR
# Exits 77 (skipped) when desktop-file-validate or appstreamcli is missing, after the checks
# that need neither.
set -euo pipefail

cmake=$1
build=$2
app_id=org.example.Tintara

work=$(mktemp -d)
# The build's install manifest is how a user removes a real installation: it must outlive this one.
manifest="$build/install_manifest.txt"
if [ -f "$manifest" ]; then
    cp -p "$manifest" "$work/manifest"
fi
restore() {
    if [ -f "$work/manifest" ]; then
        cp -p "$work/manifest" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$work"
}
trap restore EXIT
# A blank in the prefix makes the desktop entry quote the program's path.
prefix="$work/user home/.local"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    fail "cmake --install did not succeed"
fi

[ -x "$prefix/bin/tintara" ] || fail "no program at bin/tintara"

entry="$prefix/share/applications/tintara.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -f "$entry" ] || fail "no desktop entry at share/applications/tintara.desktop"
[ -f "$metainfo" ] || fail "no metainfo at share/metainfo/$app_id.metainfo.xml"

# The width and height in a PNG's header, as "W H".
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}
for size in 16 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tintara.png"
    [ -f "$icon" ] || fail "no icon at share/icons/hicolor/${size}x${size}/apps/tintara.png"
    [ "$(png_size "$icon")" = "$size $size" ] || fail "the ${size}x${size} icon is $(png_size "$icon")"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/tintara.svg" ||
    fail "no SVG icon at share/icons/hicolor/scalable/apps/tintara.svg"

grep -qxF "Exec=\"$prefix/bin/tintara\"" "$entry" ||
    fail "Exec does not start the installed program: $(grep '^Exec=' "$entry")"
grep -qx 'Icon=tintara' "$entry" || fail "the entry does not name the icon tintara"
for key in 'Name' 'Comment' 'Comment\[ja\]' 'GenericName\[ja\]'; do
    grep -q "^$key=." "$entry" || fail "the entry has no $key"
done
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo does not carry the id $app_id"
grep -q '<launchable type="desktop-id">tintara.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch tintara.desktop"

missing=()
command -v desktop-file-validate >/dev/null 2>&1 || missing+=("desktop-file-validate (desktop-file-utils)")
command -v appstreamcli >/dev/null 2>&1 || missing+=("appstreamcli (appstream)")
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIPPED: the installed files are in place, but they cannot be validated without: ${missing[*]}"
    exit 77
fi

desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
# The tree as a software centre reads it: the metainfo with its desktop entry and icon.
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli rejects the installed tree"
echo "installed and valid: $prefix"
