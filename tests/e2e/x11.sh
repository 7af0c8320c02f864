# Sourced by the desktop tests: the tools they need, polling, a private X
# server, a window manager and windows found by their titles. A test of one
# desktop calls one_desktop for its work folder, clean-up and fail; the
# others define fail <message> themselves.

# need_tools <tool...>: the test fails without any of them (scripts/packages
# brings them all, so a missing one is a broken install, not a reason to skip).
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing; scripts/packages brings it" >&2; exit 1; }
    done
}

# until_true <seconds> <command...>: polls the command until it succeeds or time is up.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# stays_true <seconds> <command...>: the command holds at every look over the
# whole time, not only at its end.
stays_true() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS < deadline)); do
        "$@" || return 1
        sleep 0.1
    done
}

# start_xvfb <work file prefix> <width>x<height>: starts an X server of its
# own; xvfb_started_pid and xvfb_started_display tell which.
start_xvfb() {
    exec 3>"$1.display"
    Xvfb -displayfd 3 -screen 0 "$2x24" -nolisten tcp >"$1.xvfb.log" 2>&1 &
    xvfb_started_pid=$!
    exec 3>&-
    until_true 10 test -s "$1.display" || { kill "$xvfb_started_pid"; fail "Xvfb did not start"; }
    xvfb_started_display=":$(head -n1 "$1.display")"
    unset WAYLAND_DISPLAY
}

window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
# geometry <window>: "x y width height"
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                             /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
board_shown() { [[ -n $(window '^Qel Notes') ]]; }
# titled <window> <pattern>: the window's title matches the shell pattern.
# The board's title, its name for screen readers too, tells how many notes
# its rows show ("Qel Notes — notes shown: 1 of 3" while a filter narrows them).
titled() { [[ $(xdotool getwindowname "$1" 2>/dev/null) == $2 ]]; }

# one_desktop: a work folder, removed at the end with the program (given
# time to store its notes on TERM), the other processes of other_pids and
# the X server of xvfb_pid; fail <message> shows what went wrong, with a
# screenshot into out and the program's output from work/app.log.
one_desktop() {
    work=$(mktemp -d)
    xvfb_pid=
    app_pid=
    other_pids=()
    trap one_desktop_cleanup EXIT
}
one_desktop_cleanup() {
    if [[ -n $app_pid ]]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    for pid in "${other_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
fail() {
    echo "FAIL: $*" >&2
    [[ -n ${DISPLAY:-} ]] && import -window root "$out/failure.png" 2>/dev/null && echo "screenshot: $out/failure.png" >&2
    [[ -f $work/app.log ]] && sed 's/^/  qelnotes: /' "$work/app.log" >&2
    exit 1
}

# one_desktop_display [openbox]: one_desktop's X server of width x height as
# DISPLAY, with the window manager when asked for.
one_desktop_display() {
    start_xvfb "$work/x" "${width}x$height"
    xvfb_pid=$xvfb_started_pid
    export DISPLAY=$xvfb_started_display
    [[ ${1:-} != openbox ]] || start_openbox
}

# start_openbox: a window manager on DISPLAY, up before it returns.
start_openbox() {
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    other_pids+=($!)
    until_true 30 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
        || { cat "$work/wm.log" >&2; fail "openbox did not start"; }
}
