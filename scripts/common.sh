# Shared by ./run and ./test: install missing Debian packages, then configure and build into build/.

TINTARA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TINTARA_BUILD="$TINTARA_ROOT/build"

# What building and running need; ./test adds what the tests need.
TINTARA_PACKAGES=(g++ make cmake qt6-base-dev qt6-translations-l10n fonts-noto-cjk)
# What scripts/package needs beyond building: the tools that compute the package's dependencies
# from the program.
TINTARA_PACKAGE_PACKAGES=(dpkg-dev file)
# The tests of the desktop side: a virtual X server, a window manager that draws frames, tools to
# find the program's window in it and type into it, the validators of the installed desktop
# entry and metainfo, what makes and checks the Debian package, for the eyedropper a root
# window colour and screens of our own (xsetroot, xrandr) and a private message bus, and a
# taskbar's way of closing a window (wmctrl).
TINTARA_TEST_PACKAGES=(xvfb openbox x11-utils xdotool xclip desktop-file-utils appstream
    "${TINTARA_PACKAGE_PACKAGES[@]}" lintian x11-xserver-utils dbus-daemon wmctrl)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "need root to run: $*" >&2
        echo "install sudo, or run this script as root" >&2
        return 1
    fi
}

install_missing() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# cache_holds NAME VALUE: whether the build's cache gives NAME exactly VALUE, whatever its type.
cache_holds() {
    local line
    while IFS= read -r line; do
        case $line in
        "$1":*=*) [ "${line#*=}" = "$2" ] && return 0 ;;
        esac
    done <"$TINTARA_BUILD/CMakeCache.txt"
    return 1
}

# configure_and_build [-DNAME[:TYPE]=VALUE ...]: configures only when there is no build yet or a
# given option differs from the cached one, so a build with nothing changed is quick. Configuring
# keeps quiet but for its warnings.
configure_and_build() {
    local configure=0
    if [ -f "$TINTARA_BUILD/CMakeCache.txt" ]; then
        local option
        for option in "$@"; do
            local name=${option#-D}
            name=${name%%=*}
            cache_holds "${name%%:*}" "${option#*=}" || configure=1
        done
    else
        configure=1
    fi
    if [ $configure -eq 1 ]; then
        cmake -S "$TINTARA_ROOT" -B "$TINTARA_BUILD" "$@" >/dev/null
    fi
    cmake --build "$TINTARA_BUILD" --parallel "$(nproc 2>/dev/null || echo 2)"
}

# cpack, as cmake --install does, rewrites install_manifest.txt in the build, by which a user
# removes an installation of their own: keep_install_manifest puts it back when the script exits.
keep_install_manifest() {
    TINTARA_MANIFEST="$TINTARA_BUILD/install_manifest.txt"
    TINTARA_KEPT_MANIFEST=$(mktemp)
    if [ -f "$TINTARA_MANIFEST" ]; then
        cp -p "$TINTARA_MANIFEST" "$TINTARA_KEPT_MANIFEST"
    else
        rm -f "$TINTARA_KEPT_MANIFEST"
    fi
    trap restore_install_manifest EXIT
}

restore_install_manifest() {
    if [ -f "$TINTARA_KEPT_MANIFEST" ]; then
        mv -f "$TINTARA_KEPT_MANIFEST" "$TINTARA_MANIFEST"
    else
        rm -f "$TINTARA_MANIFEST"
    fi
}
