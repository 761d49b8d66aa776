# Sourced by the tests that start a program in a virtual X display. The sourcing script sets work
# to its scratch folder, where the program's log goes, and ends the X server at exit with
# stop "$xvfb_pid" TERM.

skip() {
    echo "SKIPPED: $*"
    exit 77
}

fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/program.log" ] && cat "$work/program.log" >&2
    exit 1
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1 i
    shift
    for ((i = 0; i < tenths; ++i)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# stop PID SIGNAL: sends the signal and waits up to 30 s before killing.
stop() {
    [ -n "$1" ] && kill -0 "$1" 2>/dev/null || return 0
    kill "-$2" "$1"
    wait_for 300 eval "! kill -0 $1 2>/dev/null" || kill -KILL "$1"
    wait "$1" 2>/dev/null
}

# Starts an X server of its own and points DISPLAY at it. -noreset: the server must not restart
# between one client leaving and the next arriving. It picks a free display itself and reports it
# on file descriptor 3.
xvfb_pid=
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    reported() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
    wait_for 300 reported && [ -s "$work/display" ] ||
        skip "Xvfb started no display: $(tail -n 3 "$work/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$work/display")"
    wait_for 100 xwininfo -root >/dev/null 2>&1 || skip "$DISPLAY does not answer"
}

# window_titled TITLE PID: waits up to a minute for a window titled TITLE and sets window to it;
# fails when none appears or the process PID ends first. The whole output is read before it is
# matched: with pipefail, a match ending a pipe early would fail it.
window=
window_titled() {
    local title=$1 pid=$2
    has_window() {
        window=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\":" 'index($0, t) { print $1; exit }')
        [ -n "$window" ] || ! kill -0 "$pid" 2>/dev/null
    }
    wait_for 600 has_window && [ -n "$window" ] || fail "no window titled \"$title\" appeared"
}
