#!/usr/bin/env bash
# Runs qelnotes on its own Xvfb display with a fresh data folder holding three
# notes, and checks with a real pointer that resting on the icon brings the
# board up beside it, that the board stays while the pointer is over it, that
# it can be resized at its corner, that it hides again once the pointer is
# away, that a second start brings the pinned board up under the pointer,
# that a pinned board takes the keyboard and typing filters its rows, that
# the delete question keeps clear of the icon with the board up, that a double
# click on a row opens the note's window active (also over another program's
# window), that a new note's window lies wholly on the screen, that windows
# carry their own titles, and that the board menu's Close stores the settings
# and the text being edited and ends the program. A second start with 301
# notes and a board record far off the screen checks that the board comes
# back on the screen, that wheel and keys reach every row, that the filter
# field stays in sight when the board is dragged, that a deleted note
# comes back from the menu with its colour, and that a row dragged to
# another place keeps it after a restart. Screenshots go to the output
# folder.
#
# usage: desktop.sh <qelnotes binary> <output folder> [openbox]
# With "openbox" the desktop has that window manager; without, none.
set -euo pipefail

program=$1
out=$2
wm=${3:-}
source "$(dirname "$0")/x11.sh"
need_tools Xvfb xdotool xwininfo xprop xlogo import $wm
mkdir -p "$out"

one_desktop

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
one_desktop_display "$wm"
if [[ $wm == openbox ]]; then
    out=$out/openbox
    mkdir -p "$out"
fi

# Stand-ins for the desktop's opener and mail program write what they were
# handed into a log.
mkdir "$work/bin"
for opener in xdg-open xdg-email; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$opener" "$work/opened.log" >"$work/bin/$opener"
    chmod +x "$work/bin/$opener"
done

# Default for the variable only; the test sets xcb anyway.
PATH="$work/bin:$PATH" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} "$work/app/qelnotes" \
    >"$work/app.log" 2>&1 &
app_pid=$!

# frame <window>: "x y width height" of the window with the window manager's frame.
frame() {
    local x y w h l r t b
    read -r x y w h <<<"$(geometry "$1")"
    read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | awk -F' = ' 'NF == 2 {gsub(",", ""); print $2}')"
    echo $((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))
}
# overlap <x y w h> <x y w h>: the two rectangles share a pixel.
overlap() { (($1 < $5 + $7 && $5 < $1 + $3 && $2 < $6 + $8 && $6 < $2 + $4)); }
title_is() { [[ $(xdotool getwindowname "$1") == "$2" ]] || fail "a window is titled '$(xdotool getwindowname "$1")', not '$2'"; }
icon_shown() { [[ -n $(window '^NoteMain') ]]; }
board_hidden() { ! board_shown; }

until_true 30 icon_shown || fail "the desktop icon did not appear"
icon=$(window '^NoteMain')
read -r ix iy iw ih <<<"$(geometry "$icon")"
echo "icon at $ix,$iy size ${iw}x$ih"
[[ $iw == 32 && $ih == 32 ]] || fail "the icon is ${iw}x$ih, not 32x32"
title_is "$icon" NoteMain
[[ $ix == $((width * 7 / 8)) && $iy == $((height / 10)) ]] \
    || fail "a first start puts the icon at $ix,$iy, not at 7/8 and 1/10 of the screen"
board_hidden || fail "the board shows before the pointer came"

# The pointer rests on the icon: the board comes up beside it.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up on hover"
board=$(window '^Qel Notes')
title_is "$board" "Qel Notes — notes: 3"
read -r bx by bw bh <<<"$(geometry "$board")"
echo "board at $bx,$by size ${bw}x$bh"
if ((ix + 30 + bw > width)); then expect_x=$((ix - 3 - bw)); else expect_x=$((ix + 30)); fi
if ((iy + 30 + bh > height)); then expect_y=$((height - bh - 30)); else expect_y=$((iy + 30)); fi
[[ $bx == "$expect_x" && $by == "$expect_y" ]] \
    || fail "the board is at $bx,$by, expected beside the icon at $expect_x,$expect_y"
((bh == 100)) || fail "three notes make a board 100 pixels high (96 inside), not $bh"

# Over the board (on the second row) it stays up for several auto-hide periods.
xdotool mousemove $((bx + 40)) $((by + 2 + 16 + 8))
stays_true 2 board_shown || fail "the board hid while the pointer was over it"
import -window root "$out/qelnotes-board.png"
echo "screenshot: $out/qelnotes-board.png"

# Dragging the bottom-right corner resizes the board, drag after drag, and
# leaves it where it is.
grown() { [[ $(geometry "$board") == "$bx $by $1 $2" ]]; }
for step in 1 2 3; do
    read -r _ _ cw ch <<<"$(geometry "$board")"
    xdotool mousemove $((bx + cw - 4)) $((by + ch - 4)) mousedown 1
    for part in 1 2 3 4; do
        xdotool mousemove $((bx + cw - 4 + 5 * part)) $((by + ch - 4 + part * step))
        sleep 0.05
    done
    xdotool mouseup 1
    until_true 3 grown $((cw + 20)) $((ch + 4 * step)) \
        || fail "drag $step on the grip made the board $(geometry "$board"), not $bx $by $((cw + 20)) $((ch + 4 * step))"
done
bw=$((bw + 60))
bh=$((bh + 24))

# Pointer away: the board hides within the next periods.
xdotool mousemove 20 $((height - 20))
until_true 3 board_hidden || fail "the board stayed after the pointer left"
import -window root "$out/qelnotes-hidden.png"

# The close picture sits at the right end of a row, left of the New bar.
close_x=$((bw - 4 - 30 - 8))

# A second start hands over to the running copy, whose board comes up pinned
# under the pointer.
xdotool mousemove 300 500
"$work/app/qelnotes" >"$work/second.log" 2>&1 || fail "the second start ended with status $?"
until_true 5 board_shown || fail "a second start did not bring up the board"
read -r sx sy sw sh <<<"$(geometry "$board")"
((sx <= 300 && 300 < sx + sw && sy <= 500 && 500 < sy + sh)) \
    || fail "after a second start the board is at $sx $sy $sw $sh, not under the pointer"
stays_true 2 board_shown || fail "the board the second start brought up did not stay"
import -window root "$out/qelnotes-second-start.png"
# A click on the icon lets go of it.
xdotool mousemove $((ix + 16)) $((iy + 16)) click 1
until_true 3 board_hidden || fail "a click on the icon did not hide the pinned board"
xdotool mousemove 20 $((height - 20))
sleep 0.5

# A click on the icon pins the board, which takes the keyboard: what is typed
# narrows its rows to the notes holding it. The board's title tells how many
# rows are left.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up to be pinned"
[[ $(xdotool getwindowfocus) != "$board" ]] || fail "the board took the keyboard on hover"
xdotool click 1
until_true 5 bash -c "[[ \$(xdotool getwindowfocus) == $board ]]" \
    || fail "the pinned board did not take the keyboard"
xdotool type --delay 30 garden
until_true 5 titled "$board" "Qel Notes — notes shown: 1 of 3" \
    || fail "typing on the pinned board did not narrow its rows to the one note with the word"
import -window root "$out/qelnotes-filtered.png"
echo "screenshot: $out/qelnotes-filtered.png"
xdotool key Escape
until_true 5 titled "$board" "Qel Notes — notes: 3" \
    || fail "Esc on the pinned board did not show every row again"
xdotool click 1
until_true 3 board_hidden || fail "a click on the icon did not let go of the board"
xdotool mousemove 20 $((height - 20))
sleep 0.5

# The delete question keeps clear of the icon, and the board stays while it
# is open; No keeps the note.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up for the delete question"
read -r bx by bw bh <<<"$(geometry "$board")"
xdotool mousemove $((bx + 2 + close_x)) $((by + 2 + 16 + 8)) click 1
question_shown() { [[ -n $(window '^QelNotes$') ]]; }
until_true 5 question_shown || fail "the close picture asked no question"
question=$(window '^QelNotes$')
read -r qx qy qw qh <<<"$(frame "$question")"
echo "question at $qx,$qy size ${qw}x$qh"
! overlap $qx $qy $qw $qh $ix $iy $iw $ih || fail "the icon covers the delete question"
overlap $qx $qy $qw $qh $bx $by $bw $bh || fail "the delete question at $qx $qy is away from the board"
xdotool mousemove $((qx + qw / 2)) $((qy + qh / 2))
stays_true 2 board_shown || fail "the board hid behind the delete question"
import -window root "$out/qelnotes-question.png"
xdotool windowfocus --sync "$question" key Escape
until_true 5 bash -c "! xdotool search --onlyvisible --name '^QelNotes\$' >/dev/null" \
    || fail "No did not close the question"
xdotool mousemove 20 $((height - 20))
until_true 3 board_hidden || fail "the board stayed after the question"

# A double click on the first row opens that note in a window of its own and
# hides the board; what is typed there is kept when the program closes. The
# second click lands on the board, not on another program's window below it.
xlogo -geometry ${bw}x$bh+$bx+$by >/dev/null 2>&1 &
other_pids+=($!)
until_true 5 bash -c "xdotool search --onlyvisible --class xlogo >/dev/null" \
    || fail "xlogo did not start"
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up on the second hover"
xdotool mousemove $((bx + 40)) $((by + 2 + 8))
xdotool click --repeat 2 --delay 80 1
note_shown() { [[ -n $(window '^Call the denti\.\.') ]]; }
until_true 5 note_shown || fail "a double click on a row did not open the note window"
until_true 3 board_hidden || fail "opening a note did not hide the board"
note=$(window '^Call the denti\.\.')
title_is "$note" "Call the denti.."
until_true 5 bash -c "[[ \$(xdotool getwindowfocus) == $note ]]" \
    || fail "the note window did not take the keyboard"
stays_true 1 bash -c "[[ \$(xdotool getwindowfocus) == $note ]]" \
    || fail "the note window lost the keyboard after opening"
xdotool key ctrl+End Return
xdotool type --delay 20 'typed in its window'
# Moved away from where a window without a record opens (0,0): the record
# keeps the place, and opening the note again after a new start brings the
# window back there.
xdotool windowmove "$note" 300 250
sleep 0.5
read -r shown_x shown_y _ _ <<<"$(frame "$note")"
echo "the note's window is at $shown_x,$shown_y"
import -window root "$out/qelnotes-note.png"

# New in the board's menu: the new note's window, frame and title bar
# included, lies on the screen.
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up for New"
xdotool click 3
until_true 5 board_hidden || fail "a right press on the icon did not hide the board"
xdotool key Down Return
new_shown() { [[ -n $(window '^\.\.$') ]]; }
until_true 5 new_shown || fail "New opened no note window"
new=$(window '^\.\.$')
sleep 0.5
read -r nx ny nw nh <<<"$(frame "$new")"
echo "new note's window at $nx,$ny size ${nw}x$nh"
((nx >= 0 && ny >= 0 && nx + nw <= width && ny + nh <= height)) \
    || fail "the new note's window at $nx $ny $nw $nh is not wholly on the screen"
import -window root "$out/qelnotes-new.png"

# --- The note window as a user meets it -------------------------------------

# new_note: New from the board's menu on the icon; prints the new window's id.
new_note() {
    local before id
    before=$(xdotool search --onlyvisible --name '^\.\.$' 2>/dev/null | sort)
    xdotool mousemove $((ix + 16)) $((iy + 16))
    until_true 5 board_shown || fail "the board did not come up for New"
    xdotool click 3
    until_true 5 board_hidden || fail "a right press on the icon did not hide the board"
    xdotool key Down Return
    another() {
        id=$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --name '^\.\.$' 2>/dev/null | sort) | head -n1)
        [[ -n $id ]]
    }
    until_true 5 another || fail "New opened no note window"
    until_true 5 bash -c "[[ \$(xdotool getwindowfocus) == $id ]]" \
        || fail "the new note's window did not take the keyboard"
    echo "$id"
}

# Typing grows the window, and its title follows the first line.
note_window=$(new_note)
[[ -n $note_window ]] || exit 1
read -r _ _ _ opened_h <<<"$(geometry "$note_window")"
xdotool type --delay 20 'Groceries'
xdotool key Return
for line in milk bread apples pears plums cheese eggs rice tea coffee; do
    xdotool type --delay 10 "$line"
    xdotool key Return
done
sleep 0.3
title_is "$note_window" "Groceries.."
read -r _ _ _ grown_h <<<"$(geometry "$note_window")"
echo "a new note's window grew from $opened_h to $grown_h pixels while typing"
((grown_h > opened_h + 60)) || fail "typing eleven lines grew the window from $opened_h only to $grown_h"
import -window root "$out/qelnotes-grown.png"

# Ctrl+click opens a web address; a mail address that begins a sentence
# mails the address alone. The lines lie below the others; the pointer looks
# for them row by row at the lines' start.
xdotool type --delay 10 'https://example.com/page is the page'
xdotool key Return
xdotool type --delay 10 'bob@example.com is who to write to'
sleep 3 # the links are marked once the line is done; nothing to wait for else
read -r wx wy ww wh <<<"$(geometry "$note_window")"
: >"$work/opened.log"
# Neighbouring clicks stand apart, so that no two make a double click.
for ((y = wy + wh - 10, x = 12; y > wy + 40; y -= 3, x = 52 - x)); do
    xdotool mousemove $((wx + x)) $y keydown ctrl click 1 keyup ctrl
    grep -q mailto "$work/opened.log" 2>/dev/null && grep -q https "$work/opened.log" && break
done
sleep 0.5
echo "opened: $(tr '\n' ' ' <"$work/opened.log")"
grep -qx 'xdg-open https://example.com/page' "$work/opened.log" \
    || fail "Ctrl+click on the web address opened $(cat "$work/opened.log")"
grep -q '^xdg-email mailto:bob@example.com?' "$work/opened.log" \
    || fail "Ctrl+click on the mail address mailed $(cat "$work/opened.log")"
import -window root "$out/qelnotes-links.png"

# A plot in a window of the default size is readable: the window grows to
# show it.
plot_window=$(new_note)
[[ -n $plot_window ]] || exit 1
xdotool type --delay 10 'x := 0, 0.5 .. 2'
xdotool key Return
xdotool type --delay 10 'plot(x)'
xdotool key Return ctrl+q
sleep 1
read -r px py pw ph <<<"$(geometry "$plot_window")"
echo "a plot's window is ${pw}x$ph"
((pw >= 360 && ph >= 240 + 60)) || fail "the window of a plot is ${pw}x$ph, too small for a readable chart"
import -window "$plot_window" "$out/qelnotes-plot.png"
echo "screenshot: $out/qelnotes-plot.png"

# The tool bar shows the format under the caret: B pressed in bold text,
# not in plain.
xdotool key ctrl+End
xdotool type --delay 10 'plain '
xdotool key ctrl+b
xdotool type --delay 10 'bold'
sleep 0.3
import -window "$plot_window" "$out/qelnotes-toolbar-bold.png"
xdotool key Home
sleep 0.3
import -window "$plot_window" "$out/qelnotes-toolbar-plain.png"
echo "screenshots: $out/qelnotes-toolbar-bold.png $out/qelnotes-toolbar-plain.png"

# The window's place, moved by the user, is where it is: the record written
# at Close holds it.
xdotool windowmove "$plot_window" 200 150
sleep 0.5
read -r placed_x placed_y _ _ <<<"$(frame "$plot_window")"
echo "the plot's window is at $placed_x,$placed_y"

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
main_key() {
    tr -d '\r' <"$work/app/QelNotes.ini" \
        | awk -F= -v key="$1" '/^\[/ {main = ($0 == "[Main]")} main && $1 == key {print $2}'
}
[[ $main_width == "$bw" ]] || fail "the board's record holds Width=$main_width, not $bw"
[[ "$(main_key Left) $(main_key Top)" == "$bx $by" ]] \
    || fail "the board's record holds Left=$(main_key Left) Top=$(main_key Top), not where it was ($bx $by)"
[[ -f $work/app/QelNotes_2.rtf && ! -e $work/app/QelNotes_0.txt ]] \
    || fail "the notes were not stored as one series of rich-text files"
grep -q 'typed in its window' "$work/app/QelNotes_0.rtf" \
    || fail "the text typed in the open note window was lost at Close"
note_places=$(tr -d '\r' <"$work/app/QelNotes.ini" \
    | awk -F= '/^\[/ {note = ($0 ~ /^\[Note_/)} note && $1 == "Left" {l = $2} note && $1 == "Top" {print l, $2}')
grep -qx "$shown_x $shown_y" <<<"$note_places" \
    || fail "no note window record holds the place $shown_x $shown_y the window was moved to: $(tr '\n' ';' <<<"$note_places")"
grep -qx "$placed_x $placed_y" <<<"$note_places" \
    || fail "no note window record holds the plot window's place $placed_x $placed_y: $(tr '\n' ';' <<<"$note_places")"
# Opened again after a new start, the note's window comes back at its place.
PATH="$work/bin:$PATH" "$work/app/qelnotes" >>"$work/app.log" 2>&1 &
app_pid=$!
until_true 30 icon_shown || fail "the desktop icon did not appear at the second start"
icon=$(window '^NoteMain')
read -r ix iy _ _ <<<"$(geometry "$icon")"
# The pointer comes to the icon from elsewhere, as a hand moves it.
xdotool mousemove 20 $((height - 20))
sleep 0.5
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up after the new start"
board=$(window '^Qel Notes')
read -r bx by _ _ <<<"$(geometry "$board")"
xdotool mousemove $((bx + 40)) $((by + 2 + 8))
xdotool click --repeat 2 --delay 80 1
# Its first line is whole now: the title is that line.
reopened_shown() { [[ -n $(window '^Call the dentist on Monday\.\.$') ]]; }
until_true 5 reopened_shown || fail "a double click on the first row did not open the note again"
note=$(window '^Call the dentist on Monday\.\.$')
sleep 1
read -r again_x again_y _ _ <<<"$(frame "$note")"
[[ "$again_x $again_y" == "$shown_x $shown_y" ]] \
    || fail "the note's window came back at $again_x,$again_y, not at $shown_x,$shown_y"
import -window root "$out/qelnotes-reopened.png"
# The second start ends as a session's end would end it: its notes are stored.
kill "$app_pid"
until_true 10 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the second start did not end on TERM"
wait "$app_pid" || true
app_pid=

# A folder of 301 notes, more than the screen holds, with the record of a
# board once taller than the screen and far above it: the board comes back
# wholly on the screen, and its rows scroll.
rm -f "$work/app"/QelNotes_*.rtf
for ((i = 0; i < 301; ++i)); do printf 'note %d\r\n' $i >"$work/app/QelNotes_$i.rtf"; done
printf '[NotesMain]\r\nLeft=%d\r\nTop=%d\r\n[Main]\r\nLeft=%d\r\nTop=-3850\r\nWidth=187\r\nHeight=4820\r\n[Note_3]\r\nColor=8454016\r\n' \
    "$ix" "$iy" "$bx" >"$work/app/QelNotes.ini"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} "$work/app/qelnotes" >"$work/app.log" 2>&1 &
app_pid=$!
until_true 30 icon_shown || fail "the desktop icon did not appear with 301 notes"
xdotool mousemove 20 $((height - 20))
sleep 0.3
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board of 301 notes did not come up on hover"
board=$(window '^Qel Notes')
read -r bx by bw bh <<<"$(geometry "$board")"
echo "board of 301 notes at $bx,$by size ${bw}x$bh"
((bx >= 0 && by >= 0 && bx + bw <= width && by + bh <= height && bh > height / 2)) \
    || fail "the board of 301 notes at $bx $by $bw $bh is not on the screen, as high as it allows"
import -window root "$out/qelnotes-301.png"

# The wheel reaches the last row: a double click there opens the last note.
xdotool mousemove $((bx + 40)) $((by + bh / 2))
xdotool click --repeat 120 --delay 5 5
sleep 0.3
import -window root "$out/qelnotes-301-scrolled.png"
xdotool mousemove $((bx + 40)) $((by + bh - 2 - 8))
xdotool click --repeat 2 --delay 80 1
until_true 5 bash -c "xdotool search --onlyvisible --name '^note 300\.\.\$' >/dev/null" \
    || fail "scrolling down with the wheel did not reach the last row"
xdotool mousemove 20 $((height - 20))
sleep 0.5

# On the pinned board the keys walk the rows: Enter opens the highlighted one.
pin() {
    xdotool mousemove 20 $((height - 20))
    sleep 0.5
    xdotool mousemove $((ix + 16)) $((iy + 16))
    until_true 5 board_shown || fail "the board did not come up to be pinned"
    xdotool click 1
    until_true 5 bash -c "[[ \$(xdotool getwindowfocus) == $board ]]" \
        || fail "the pinned board did not take the keyboard"
}
pin
xdotool key End Up Return
until_true 5 bash -c "xdotool search --onlyvisible --name '^note 299\.\.\$' >/dev/null" \
    || fail "End, Up and Enter on the pinned board did not open the last but one note"
# The board opening a note hid stays pinned: a click on the icon lets go of it.
xdotool click 1
sleep 0.5

# A filter typed on the pinned board keeps its field in sight when the board
# is dragged by its New bar.
pin
xdotool key Home
xdotool type --delay 30 17
until_true 5 titled "$board" "Qel Notes — notes shown: 13 of 301" \
    || fail "typing 17 on the board of 301 notes did not narrow it to 13 rows"
xdotool mousemove $((bx + bw - 12)) $((by + bh - 40)) mousedown 1
for part in 1 2 3 4; do
    xdotool mousemove $((bx + bw - 12 - 40 * part)) $((by + bh - 40 - 10 * part))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
import -window root "$out/qelnotes-301-filter-dragged.png"
echo "screenshot: $out/qelnotes-301-filter-dragged.png"
xdotool key Escape
read -r bx by bw bh <<<"$(geometry "$board")"

# Deleting the third note with the keys and restoring it from the menu brings
# it back at the end, with its colour. Enter on the question would keep it:
# Yes is chosen.
((by >= 0)) || fail "the dragged board went off the top of the screen to $by"
xdotool key Home Down Down Delete
until_true 5 question_shown || fail "Delete on the board of 301 notes asked no question"
xdotool windowfocus --sync "$(window '^QelNotes$')" key alt+y
until_true 5 bash -c "ls '$work/app' | grep -q '^QelNotes_deleted_'" \
    || fail "the deleted note's file was not kept"
xdotool mousemove $((ix + 16)) $((iy + 16)) click 1
until_true 3 board_hidden || fail "a click on the icon did not let go of the board"
xdotool mousemove 20 $((height - 20))
sleep 0.5
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up for the restore menu"
xdotool click 3
until_true 5 board_hidden || fail "a right press on the icon did not hide the board"
xdotool key Down Down Down Right Return

# The first row pulled down onto the third takes its place.
xdotool mousemove 20 $((height - 20))
sleep 0.5
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up for a drag"
read -r bx by bw bh <<<"$(geometry "$board")"
xdotool mousemove $((bx + 40)) $((by + 2 + 8)) mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove $((bx + 40)) $((by + 2 + 8 + 8 * step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
import -window root "$out/qelnotes-301-dragged.png"
echo "screenshot: $out/qelnotes-301-dragged.png"
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not stay up for Close"
xdotool click 3
until_true 5 board_hidden || fail "a right press on the icon did not hide the board"
xdotool key Up Return
until_true 10 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "Close did not end the program"
wait "$app_pid" || fail "the program ended with status $?"
app_pid=
grep -q 'note 2' "$work/app/QelNotes_300.rtf" || fail "the restored note is not the last one"
has_note() { grep -Eq "note $2[^0-9]" "$work/app/QelNotes_$1.rtf"; }
has_note 0 1 && has_note 1 3 && has_note 2 0 \
    || fail "the deleted note still holds its place, or the dragged row did not move"
tr -d '\r' <"$work/app/QelNotes.ini" | grep -A3 '^\[Note_301\]' | grep -q '^Color=8454016' \
    || fail "the restored note lost its colour"
! ls "$work/app" | grep -q '^QelNotes_deleted_' || fail "the restored note's kept copy stayed"

# After a restart the dragged order holds: the first row opens "note 1".
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} "$work/app/qelnotes" >"$work/app.log" 2>&1 &
app_pid=$!
until_true 30 icon_shown || fail "the desktop icon did not appear after the drag"
xdotool mousemove 20 $((height - 20))
sleep 0.5
xdotool mousemove $((ix + 16)) $((iy + 16))
until_true 5 board_shown || fail "the board did not come up after the drag and a restart"
read -r bx by _ _ <<<"$(geometry "$(window '^Qel Notes')")"
xdotool mousemove $((bx + 40)) $((by + 2 + 8))
xdotool click --repeat 2 --delay 80 1
until_true 5 bash -c "xdotool search --onlyvisible --name '^note 1\.\.\$' >/dev/null" \
    || fail "after a restart the first row is not the note that was second before the drag"
kill "$app_pid"
until_true 10 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the last start did not end on TERM"
wait "$app_pid" || true
app_pid=
echo "PASS"
