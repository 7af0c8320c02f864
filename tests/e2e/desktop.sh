#!/usr/bin/env bash
# Runs qelnotes on its own Xvfb display with a fresh data folder holding three
# notes, and checks with a real pointer that resting on the icon brings the
# board up beside it, that the board stays while the pointer is over it, that
# it can be resized at its corner, that it hides again once the pointer is
# away, that a double click on a row opens
# the note's window, and that the board menu's Close stores the settings and
# the text being edited and ends the program. Screenshots go to the output folder.
#
# usage: desktop.sh <qelnotes binary> <output folder>
set -euo pipefail

program=$1
out=$2
for tool in Xvfb xdotool xwininfo import; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
mkdir -p "$out"

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -f $work/app.log ]] && sed 's/^/  qelnotes: /' "$work/app.log" >&2
    exit 1
}

# until <seconds> <command...>: polls the command until it succeeds or time is up.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# The data folder is the program's folder: a copy in the work folder keeps
# the test away from any real notes.
mkdir "$work/app"
cp "$program" "$work/app/qelnotes"
printf 'Shopping list\r\nmilk, bread, apples\r\n' >"$work/app/QelNotes_0.txt"
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Call the dentist on {\\b Monday}\\par}' \
    >"$work/app/QelNotes_0.rtf"
printf 'Ideas for the garden\r\n' >"$work/app/QelNotes_1.rtf"

width=1280
height=800
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 ${width}x${height}x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
until_true 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY

# Default for the variable only; the test sets xcb anyway.
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} "$work/app/qelnotes" >"$work/app.log" 2>&1 &
app_pid=$!

window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
# geometry <window>: "x y width height"
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                             /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
icon_shown() { [[ -n $(window '^NoteMain') ]]; }
board_shown() { [[ -n $(window '^Qel Notes') ]]; }
board_hidden() { ! board_shown; }

until_true 15 icon_shown || fail "the desktop icon did not appear"
icon=$(window '^NoteMain')
read -r ix iy iw ih <<<"$(geometry "$icon")"
echo "icon at $ix,$iy size ${iw}x$ih"
[[ $iw == 32 && $ih == 32 ]] || fail "the icon is ${iw}x$ih, not 32x32"
[[ $ix == $((width * 7 / 8)) && $iy == $((height / 10)) ]] \
    || fail "a first start puts the icon at $ix,$iy, not at 7/8 and 1/10 of the screen"
board_hidden || fail "the board shows before the pointer came"

# The pointer rests on the icon: the board comes up beside it.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up on hover"
board=$(window '^Qel Notes')
read -r bx by bw bh <<<"$(geometry "$board")"
echo "board at $bx,$by size ${bw}x$bh"
if ((ix + 30 + bw > width)); then expect_x=$((ix - 3 - bw)); else expect_x=$((ix + 30)); fi
if ((iy + 30 + bh > height)); then expect_y=$((height - bh - 30)); else expect_y=$((iy + 30)); fi
[[ $bx == "$expect_x" && $by == "$expect_y" ]] \
    || fail "the board is at $bx,$by, expected beside the icon at $expect_x,$expect_y"
((bh == 100)) || fail "three notes make a board 100 pixels high (96 inside), not $bh"

# Over the board (on the second row) it stays up for several auto-hide periods.
xdotool mousemove $((bx + 40)) $((by + 2 + 16 + 8))
sleep 0.8
board_shown || fail "the board hid while the pointer was over it"
import -window root "$out/qelnotes-board.png"
echo "screenshot: $out/qelnotes-board.png"

# Dragging the bottom-right corner resizes the board.
xdotool mousemove $((bx + bw - 4)) $((by + bh - 4)) mousedown 1
xdotool mousemove $((bx + bw + 56)) $((by + bh + 36))
xdotool mouseup 1
grown() { [[ $(geometry "$board") == "$bx $by $((bw + 60)) $((bh + 40))" ]]; }
until_true 3 grown || fail "dragging the grip made the board $(geometry "$board")"

# Pointer away: the board hides within the next periods.
xdotool mousemove 20 $((height - 20))
until_true 3 board_hidden || fail "the board stayed after the pointer left"
import -window root "$out/qelnotes-hidden.png"

# A double click on the first row opens that note in a window of its own and
# hides the board; what is typed there is kept when the program closes.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up on the second hover"
xdotool mousemove $((bx + 40)) $((by + 2 + 8))
xdotool click --repeat 2 --delay 80 1
note_shown() { [[ -n $(window '^Call the denti\.\.') ]]; }
until_true 5 note_shown || fail "a double click on a row did not open the note window"
until_true 3 board_hidden || fail "opening a note did not hide the board"
until_true 5 bash -c "[[ \$(xdotool getwindowfocus) == $(window '^Call the denti\.\.') ]]" \
    || fail "the note window did not take the keyboard"
xdotool key ctrl+End Return
xdotool type --delay 20 'typed in its window'
import -window root "$out/qelnotes-note.png"

# The board's menu on the icon: Close (its last entry) ends the program.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up on the third hover"
xdotool click 3
until_true 5 board_hidden || fail "a right press on the icon did not hide the board"
xdotool key Up Return
until_true 10 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "Close did not end the program"
wait "$app_pid" || fail "the program ended with status $?"
app_pid=
grep -q '^\[NotesMain\]' "$work/app/QelNotes.ini" || fail "the icon's record was not written"
main_width=$(tr -d '\r' <"$work/app/QelNotes.ini" \
    | awk -F= '/^\[/ {main = ($0 == "[Main]")} main && $1 == "Width" {print $2}')
[[ $main_width == $((bw + 60)) ]] || fail "the board's record holds Width=$main_width"
[[ -f $work/app/QelNotes_2.rtf && ! -e $work/app/QelNotes_0.txt ]] \
    || fail "the notes were not stored as one series of rich-text files"
grep -q 'typed in its window' "$work/app/QelNotes_0.rtf" \
    || fail "the text typed in the open note window was lost at Close"
echo "PASS"
