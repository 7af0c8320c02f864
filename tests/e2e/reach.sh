#!/usr/bin/env bash
# Runs qelnotes on its own Xvfb display and private session bus, with a
# stand-in tray host (traywatcher), and checks the ways in from anywhere on
# the desktop: the tray icon registers with the host, exports the board's
# menu and pins the board under the pointer with the keyboard in its filter
# when clicked (the host's Activate call); Ctrl+Alt+N brings up the pinned
# board and Ctrl+Alt+M opens a new note's window, also with Num Lock on;
# "qelnotes --show-board" and "--new-note" reach the running copy, and start
# the program when none runs; a key another program holds (holdkey) is
# reported once, naming it, while the other key works on; without the host the
# icon docks into an X11 system tray (trayer) and the board comes up below
# it. Screenshots go to the output folder.
#
# usage: reach.sh <qelnotes> <traywatcher> <holdkey> <output folder> [openbox]
# With "openbox" the desktop has that window manager; without, none.
set -euo pipefail

program=$1
watcher=$2
holdkey=$3
out=$4
wm=${5:-}
source "$(dirname "$0")/x11.sh"
need_tools Xvfb xdotool xwininfo xprop import dbus-run-session dbus-send trayer $wm
# A bus of its own: the test's tray host is the only one, and nothing of the
# caller's session sees the program.
if [[ -z ${QEL_REACH_BUS:-} ]]; then
    QEL_REACH_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
mkdir -p "$out"

one_desktop

mkdir "$work/app"
cp "$program" "$work/app/qelnotes"
printf 'Ideas for the garden\r\n' >"$work/app/QelNotes_0.rtf"
printf 'Shopping list\r\n' >"$work/app/QelNotes_1.rtf"
# The tray icon is off by default on X11: the stored switch turns it on.
printf '[Main]\r\nTrayIcon=1\r\n' >"$work/app/QelNotes.ini"

width=1280
height=800
one_desktop_display "$wm"
if [[ $wm == openbox ]]; then
    out=$out/openbox
    mkdir -p "$out"
fi

"$watcher" >"$work/watcher.log" 2>&1 &
watcher_pid=$!
other_pids+=($!)
until_true 10 grep -q '^ready' "$work/watcher.log" || fail "the tray host did not start: $(cat "$work/watcher.log")"

start() {
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} "$work/app/qelnotes" "$@" >>"$work/app.log" 2>&1 &
    app_pid=$!
    until_true 30 icon_shown || fail "the desktop icon did not appear"
}
stop() {
    kill "$app_pid"
    until_true 10 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end on TERM"
    wait "$app_pid" || true
    app_pid=
}
icon_shown() { [[ -n $(window '^NoteMain') ]]; }
board_hidden() { ! board_shown; }
focused() { [[ $(xdotool getwindowfocus) == "$1" ]]; }
# told <pattern>: how many lines of the program's output match the pattern.
told() { grep -c "$1" "$work/app.log" || true; }
notes_open() { { xdotool search --onlyvisible --name '^\.\.$' 2>/dev/null || true; } | wc -l; }
# pinned_with_keyboard <what brought it up>: the board is up, has the
# keyboard, and what is typed filters it.
pinned_with_keyboard() {
    until_true 5 board_shown || fail "$1 did not bring up the board"
    board=$(window '^Qel Notes')
    until_true 5 focused "$board" || fail "the board $1 brought up did not take the keyboard"
    # The board's title tells what its rows show; the count of notes grows
    # with the new notes the test opens.
    local all='Qel Notes — notes: [0-9]*' garden='Qel Notes — notes shown: 1 of [0-9]*'
    titled "$board" "$all" || fail "the board $1 brought up is titled '$(xdotool getwindowname "$board")', not as showing every note"
    xdotool type --delay 30 garden
    until_true 5 titled "$board" "$garden" || fail "typing on the board $1 brought up did not filter it"
    xdotool key Escape
    until_true 5 titled "$board" "$all" || fail "Esc did not empty the filter"
}
# new_note_opened <what opened it> <count before>
new_note_opened() {
    until_true 5 bash -c "(( \$(xdotool search --onlyvisible --name '^\.\.\$' 2>/dev/null | wc -l) > $2 ))" \
        || fail "$1 opened no new note's window"
    until_true 5 bash -c "[[ \$(xdotool getwindowfocus) == \$(xdotool search --onlyvisible --name '^\.\.\$' | tail -n1) ]]" \
        || fail "the note's window $1 opened did not take the keyboard"
}

# --- The tray icon -------------------------------------------------------------
start
until_true 10 grep -q '^item ' "$work/watcher.log" || fail "the tray icon did not register with the tray host"
item=$(awk '/^item / {print $2; exit}' "$work/watcher.log")
echo "tray icon registered as $item"
menu=$(dbus-send --session --print-reply --dest="$item" /StatusNotifierItem \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:Menu \
    | awk '/object path/ {gsub("\"", "", $NF); print $NF}')
labels=$(dbus-send --session --print-reply --dest="$item" "$menu" com.canonical.dbusmenu.GetLayout \
    int32:0 int32:-1 array:string:label)
for label in New "Stay On top" "Tray Icon" "Global Keys" Close; do
    grep -q "string \"$label\"" <<<"$labels" || fail "the tray icon's menu has no \"$label\": the board's menu is not its menu"
done
board_hidden || fail "the board shows before anything asked for it"

# The host tells no place of the icon: the board comes under the pointer.
xdotool mousemove 400 300
activate() {
    dbus-send --session --type=method_call --dest="$item" /StatusNotifierItem \
        org.kde.StatusNotifierItem.Activate int32:400 int32:300
}
activate
pinned_with_keyboard "a click on the tray icon"
read -r bx by bw bh <<<"$(geometry "$board")"
((bx <= 400 && 400 < bx + bw && by <= 300 && 300 < by + bh)) \
    || fail "the tray icon's board is at $bx $by $bw $bh, not under the pointer"
sleep 1.5
board_shown || fail "the board the tray icon pinned did not stay"
import -window root "$out/reach-tray.png"
echo "screenshot: $out/reach-tray.png"
activate
until_true 5 board_hidden || fail "a second click on the tray icon did not let go of the board"

# --- Global keys -------------------------------------------------------------
xdotool mousemove 20 $((height - 20))
xdotool key ctrl+alt+n
pinned_with_keyboard "Ctrl+Alt+N"
import -window root "$out/reach-key-board.png"
activate
until_true 5 board_hidden || fail "the tray icon did not let go of the board Ctrl+Alt+N brought up"

before=$(notes_open)
xdotool key Num_Lock
xdotool key ctrl+alt+m
new_note_opened "Ctrl+Alt+M with Num Lock on" "$before"
xdotool key Num_Lock
xdotool type --delay 20 'typed after a key'
import -window root "$out/reach-key-note.png"

# --- Switches of a second start -------------------------------------------------
before=$(notes_open)
"$work/app/qelnotes" --new-note >"$work/second.log" 2>&1 || fail "qelnotes --new-note ended with status $?"
new_note_opened "qelnotes --new-note" "$before"
xdotool type --delay 20 'typed after a switch'
"$work/app/qelnotes" --show-board >>"$work/second.log" 2>&1 || fail "qelnotes --show-board ended with status $?"
pinned_with_keyboard "qelnotes --show-board"
stop
grep -rq 'typed after a key' "$work/app"/QelNotes_*.rtf || fail "the note Ctrl+Alt+M opened was not stored"
grep -rq 'typed after a switch' "$work/app"/QelNotes_*.rtf || fail "the note --new-note opened was not stored"
tr -d '\r' <"$work/app/QelNotes.ini" | grep -qx 'TrayIcon=1' || fail "the tray icon's switch was not kept"

# --- A key another program holds -----------------------------------------------
: >"$work/app.log"
"$holdkey" 0x6e >"$work/holdkey.log" 2>&1 &
holdkey_pid=$!
other_pids+=($!)
until_true 5 grep -q '^held' "$work/holdkey.log" || fail "holdkey did not take Ctrl+Alt+N: $(cat "$work/holdkey.log")"
# No copy runs: the switch starts the program, which does what it asks.
start --new-note
until_true 10 bash -c "xdotool search --onlyvisible --name '^\.\.\$' >/dev/null" \
    || fail "qelnotes --new-note without a running copy opened no note"
notice_shown() { [[ -n $(window '^QelNotes$') ]]; }
until_true 5 notice_shown || fail "the key another program holds was not reported"
times=$(told 'Told: The key Ctrl+Alt+N for "Show Board" is held by another program')
((times == 1)) || fail "the held key was told $times times, not once: $(grep Told "$work/app.log")"
import -window root "$out/reach-key-taken.png"
echo "screenshot: $out/reach-key-taken.png"
xdotool windowactivate --sync "$(window '^QelNotes$')" key Return 2>/dev/null \
    || xdotool windowfocus --sync "$(window '^QelNotes$')" key Return
until_true 5 bash -c "! xdotool search --onlyvisible --name '^QelNotes\$' >/dev/null" \
    || fail "the report of the held key did not close"
xdotool key ctrl+alt+n
sleep 1
board_hidden || fail "Ctrl+Alt+N, held by another program, brought up the board"
before=$(notes_open)
xdotool key ctrl+alt+m
new_note_opened "Ctrl+Alt+M beside a key held elsewhere" "$before"
(($(told 'Told: ') == 1)) || fail "something more was told: $(grep Told "$work/app.log")"
stop

# --- The older X11 tray -----------------------------------------------------------
# Without a status notifier host the icon goes into an X11 system tray, a
# panel along the top edge here, and the board comes up right below it.
kill "$watcher_pid" "$holdkey_pid"
wait "$watcher_pid" "$holdkey_pid" 2>/dev/null || true
trayer --edge top --align right --widthtype request --height 24 --transparent false \
    >"$work/trayer.log" 2>&1 &
other_pids+=($!)
until_true 10 bash -c "xdotool search --onlyvisible --class trayer >/dev/null" || fail "trayer did not start"
start
# The icon's window, docked into the tray: "QelNotes" of class qelnotes, 22 pixels.
tray_icon() { xwininfo -root -tree | awk '/"QelNotes": \("qelnotes"/ && / 22x22\+/ {print $1; exit}'; }
tray_docked() { [[ -n $(tray_icon) ]]; }
until_true 10 tray_docked || fail "the tray icon did not dock into the X11 tray"
read -r tx ty tw th <<<"$(geometry "$(tray_icon)")"
echo "tray icon at $tx,$ty size ${tw}x$th"
sleep 0.5 # the tray shows the docked icon a moment later
xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
pinned_with_keyboard "a click on the icon in the X11 tray"
read -r bx by bw bh <<<"$(geometry "$board")"
((by == ty + th && bx <= tx && tx + tw <= bx + bw)) \
    || fail "the board is at $bx $by $bw $bh, not right below the tray icon at $tx $ty $tw $th"
import -window root "$out/reach-x11-tray.png"
echo "screenshot: $out/reach-x11-tray.png"
xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
until_true 5 board_hidden || fail "a second click on the X11 tray icon did not let go of the board"
stop
echo "PASS"
