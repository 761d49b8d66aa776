#!/usr/bin/env bash
# Makes the Debian package from the build as scripts/package does, into a folder of its own, and
# checks it as Debian would: lintian finds no error and no warning, the control fields carry the
# computed and the declared dependencies and the configured home page, and the files a desktop
# looks for are in their places under /usr.
#   package.sh CPACK BUILD_DIR OUT_DIR VERSION HOMEPAGE
# Exits 77 (skipped) when a tool that makes or checks the package is missing.
set -euo pipefail

cpack=$1
out=$3
version=$4
homepage=$5
source "$(dirname "$0")/../../scripts/common.sh"
TINTARA_BUILD=$2

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in dpkg-deb dpkg-shlibdeps file lintian; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed" && exit 77; }
done

umask 022
keep_install_manifest
rm -rf "$out"
log=$("$cpack" --config "$TINTARA_BUILD/CPackConfig.cmake" -B "$out" 2>&1) || fail "cpack: $log"
deb="$out/tintara_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb: $log"

# Every hint but the pedantic ones is shown, for the record; errors and warnings fail.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian: errors or warnings"

# What lintian cannot know: the configured home page, and what the program loads at run time.
[ "$(dpkg-deb -f "$deb" Homepage)" = "$homepage" ] || fail "Homepage is not $homepage"
while IFS='|' read -r name pattern; do
    value=$(dpkg-deb -f "$deb" "$name")
    [[ "$value" =~ $pattern ]] || fail "$name is \"$value\", which does not match $pattern"
done <<'FIELDS'
Depends|(^|, )libqt6widgets6 \(>= 
Depends|(^|, )fonts-noto-cjk( |,|$)
Recommends|(^|, )qt6-translations-l10n(,|$)
FIELDS

# lintian has checked every file's place, owner and mode; these are the ones a desktop looks for.
listing=$(dpkg-deb -c "$deb")
for path in bin/tintara share/applications/tintara.desktop \
    share/metainfo/org.example.Tintara.metainfo.xml share/icons/hicolor/48x48/apps/tintara.png \
    share/icons/hicolor/scalable/apps/tintara.svg share/man/man1/tintara.1.gz \
    share/doc/tintara/copyright share/doc/tintara/changelog.gz; do
    grep -q " \./usr/$path\$" <<<"$listing" || fail "no /usr/$path in the package"
done
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/tintara.desktop)
grep -qx 'Exec=/usr/bin/tintara' <<<"$entry" || fail "the menu entry does not start /usr/bin/tintara"
echo "$deb: $(stat -c %s "$deb") bytes"
