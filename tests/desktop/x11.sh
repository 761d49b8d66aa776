# Shared by the tests that start the real program in a virtual X display: sourced, not run.
# Gives a work folder removed at exit, skip/fail/wait_for, start_x, start_program and
# find_window. A test exits 77 (skipped) when no X server can be started here.

work=$(mktemp -d)
xvfb_pid=
app_pid=
wm_pid=

cleanup() {
    local pid
    for pid in "$app_pid" "$wm_pid" "$xvfb_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            # The X server is asked first, so that it takes its socket and lock file away.
            kill -TERM "$pid"
            wait_for 50 eval "! kill -0 $pid 2>/dev/null" || kill -KILL "$pid"
            wait "$pid" 2>/dev/null
        fi
    done
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

# Starts Xvfb on a display it picks itself and exports DISPLAY.
start_x() {
    command -v Xvfb >/dev/null 2>&1 || skip "no X server can be started: Xvfb is not installed (Debian package xvfb)"
    command -v xwininfo >/dev/null 2>&1 || skip "cannot look for the window: xwininfo is not installed (Debian package x11-utils)"
    # -noreset: the server must not restart between one client leaving and the next arriving.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    server_reported() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
    wait_for 300 server_reported
    if [ ! -s "$work/display" ]; then
        skip "no X server can be started: Xvfb reported no display. $(tail -n 3 "$work/xvfb.log")"
    fi
    export DISPLAY=":$(head -n 1 "$work/display")"
    wait_for 100 xwininfo -root >/dev/null 2>&1 || skip "no X server can be started: $DISPLAY does not answer"
}

# start_program PROGRAM CONFIG_DIR: starts it with that settings folder; its pid is app_pid.
start_program() {
    mkdir -p "$2" "$work/runtime"
    chmod 700 "$work/runtime"
    env -u WAYLAND_DISPLAY -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb \
        XDG_CONFIG_HOME="$2" XDG_RUNTIME_DIR="$work/runtime" \
        "$1" >>"$work/program.log" 2>&1 &
    app_pid=$!
}

# find_window TITLE: waits up to 60 s for the program's window of that title; its id is window.
window=
find_window() {
    local title=$1
    window=
    has_window() {
        window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" | awk '{ print $1; exit }')
        [ -n "$window" ] || ! kill -0 "$app_pid" 2>/dev/null
    }
    wait_for 600 has_window
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended before its window appeared"
    [ -n "$window" ] || fail "no window titled \"$title\" appeared within 60 s"
}

# end_program SIGNAL: sends it and waits up to 30 s for the program to end with status 0.
end_program() {
    kill "-$1" "$app_pid"
    ended() { ! kill -0 "$app_pid" 2>/dev/null; }
    wait_for 300 ended || fail "the program did not end within 30 s of SIG$1"
    # The shell's own note of a killed job is left out.
    wait "$app_pid" 2>/dev/null
    local status=$?
    app_pid=
    [ "$1" = KILL ] || [ "$status" -eq 0 ] || fail "the program ended with status $status after SIG$1"
}
