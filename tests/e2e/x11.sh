# Sourced by the desktop tests: the tools they need, polling, a private X
# server and windows found by their titles. The sourcing script defines
# fail <message>.

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
