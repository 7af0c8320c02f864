#!/usr/bin/env bash
# Runs qelnotes on its own Xvfb display under openbox, in a light or a dark
# desktop theme, and uses a note window with the keyboard alone: Shift+F10
# opens the note menu and Escape closes it with the text still taking the
# keys; F10 moves into the tool bar, the arrows reach Crypt and Enter runs it
# on the selected text; Escape leaves the tool bar for the text. Then two
# note windows above another program's window leave the band above it as
# soon as "Stay On top" is switched off in the board's menu. Screenshots of
# the board, its menu, a note with results and errors, the note menu and
# the tool bar go to the output folder.
#
# usage: keyboard.sh <qelnotes binary> <output folder> [light|dark-fusion|dark-gtk3]
# The dark themes take the desktop's GTK settings with the dark preference,
# through the gtk3 platform theme, with the fusion style or the theme's own.
set -euo pipefail

program=$1
out=$2
theme=${3:-light}
source "$(dirname "$0")/x11.sh"
need_tools Xvfb openbox xdotool xwininfo xprop xlogo import
out=$out/$theme
mkdir -p "$out"

one_desktop

case $theme in
light) ;;
dark-fusion | dark-gtk3)
    plugins=$(qtpaths6 --plugin-dir 2>/dev/null || qtpaths --plugin-dir 2>/dev/null || true)
    [[ -n $plugins && -e $plugins/platformthemes/libqgtk3.so ]] \
        || fail "the gtk3 platform theme is missing; scripts/packages brings it"
    mkdir -p "$work/config/gtk-3.0"
    printf '[Settings]\ngtk-application-prefer-dark-theme=1\n' >"$work/config/gtk-3.0/settings.ini"
    export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORMTHEME=gtk3
    [[ $theme == dark-fusion ]] && export QT_STYLE_OVERRIDE=fusion
    ;;
*) fail "unknown theme $theme" ;;
esac

mkdir "$work/app"
cp "$program" "$work/app/qelnotes"
printf 'Calculations\r\nx := 4\r\nx * 2.5 =\r\n1 / (x - 4) =\r\nsqrt(2 =\r\n' >"$work/app/QelNotes_0.txt"
printf 'Ideas for the garden\r\nroses, tulips\r\n' >"$work/app/QelNotes_1.txt"

width=1280
height=800
one_desktop_display openbox

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} "$work/app/qelnotes" >"$work/app.log" 2>&1 &
app_pid=$!

title_is() { [[ $(xdotool getwindowname "$1") == "$2" ]]; }
icon_shown() { [[ -n $(window '^NoteMain') ]]; }
board_hidden() { ! board_shown; }
# A menu of the program is shown: menus are windows of the root without a
# window manager's frame, titled with the program's name.
menu_shown() {
    local id
    for id in $(xwininfo -root -children | awk '/"QelNotes": \("qelnotes"/ {print $1}'); do
        xwininfo -id "$id" | grep -q 'Map State: IsViewable' && return 0
    done
    return 1
}
menu_hidden() { ! menu_shown; }
focused() { [[ $(xdotool getwindowfocus) == "$1" ]]; }

until_true 30 icon_shown || fail "the desktop icon did not appear"
icon=$(window '^NoteMain')
read -r ix iy _ _ <<<"$(geometry "$icon")"
board_up() {
    # Away first, until a board still up from before has gone: else the one
    # seen may be that board on its way out.
    xdotool mousemove 20 $((height - 20))
    until_true 10 board_hidden || fail "the board did not go with the pointer away"
    xdotool mousemove $((ix + 16)) $((iy + 16))
    until_true 5 board_shown || fail "the board did not come up"
}
# board_menu <keys...>: the board's menu on the icon, then the keys.
board_menu() {
    board_up
    xdotool click 3
    until_true 5 board_hidden || fail "a right press on the icon did not hide the board"
    sleep 0.3
    xdotool key "$@"
}

board_up
import -window root "$out/board.png"
board_menu Up
sleep 0.3
import -window root "$out/board-menu.png"
echo "screenshots: $out/board.png $out/board-menu.png"
xdotool key Escape
sleep 0.3

# A note with results and errors, as Calc writes them.
board_up
board=$(window '^Qel Notes')
read -r bx by _ _ <<<"$(geometry "$board")"
xdotool mousemove $((bx + 40)) $((by + 2 + 8))
xdotool click --repeat 2 --delay 80 1
until_true 5 bash -c "xdotool search --onlyvisible --name '^Calculations\.\.' >/dev/null" \
    || fail "a double click on a row did not open the note"
calc=$(window '^Calculations\.\.')
until_true 5 focused "$calc" || fail "the note window did not take the keyboard"
xdotool windowmove "$calc" 80 80
xdotool key ctrl+q
sleep 0.5
import -window root "$out/note-results.png"
echo "screenshot: $out/note-results.png"

# A new note, written and encrypted with the keyboard alone.
board_menu Down Return
until_true 5 bash -c "xdotool search --onlyvisible --name '^\.\.\$' >/dev/null" || fail "New opened no note window"
note=$(window '^\.\.$')
until_true 5 focused "$note" || fail "the new note's window did not take the keyboard"
xdotool windowmove "$note" 420 320
xdotool type --delay 20 'secret words'
until_true 3 title_is "$note" 'secret words..' || fail "typing did not reach the new note"

menu_hidden || fail "a menu is open before Shift+F10"
xdotool key shift+F10
until_true 3 menu_shown || fail "Shift+F10 opened no menu"
sleep 0.3
import -window root "$out/note-menu.png"
echo "screenshot: $out/note-menu.png"
xdotool key Escape
until_true 3 menu_hidden || fail "Escape did not close the note menu"
xdotool type --delay 20 ' kept'
until_true 3 title_is "$note" 'secret words k..' || fail "after the menu the text did not take the keys"

# F10, then Escape: back in the text.
xdotool key F10
sleep 0.3
import -window "$note" "$out/toolbar-focus.png"
echo "screenshot: $out/toolbar-focus.png"
xdotool key Escape
xdotool key ctrl+Home
xdotool type --delay 20 'A'
until_true 3 title_is "$note" 'Asecret words ..' || fail "Escape on the tool bar did not go back to the text"

# Select all, F10, down to the second row (Center is below Open), four to
# the right is Crypt; Enter asks for the master password and encrypts.
xdotool key ctrl+a F10 Down Right Right Right Right Return
until_true 5 bash -c "xdotool search --onlyvisible --name '^Master Password\$' >/dev/null" \
    || fail "Enter on the tool bar's Crypt did not ask for the master password"
prompt=$(window '^Master Password$')
xdotool windowfocus --sync "$prompt"
xdotool type --delay 20 'pass phrase'
xdotool key Return
until_true 5 bash -c "xdotool getwindowname $note | grep -q '^QelCrypt:'" \
    || fail "Crypt from the tool bar did not encrypt the text: the title is '$(xdotool getwindowname "$note")'"
until_true 5 focused "$note" || fail "the note window did not get the keyboard back after the prompt"
xdotool key ctrl+Home
xdotool type --delay 20 'Z'
until_true 3 bash -c "xdotool getwindowname $note | grep -q '^ZQelCrypt:'" \
    || fail "after Crypt the text did not take the keys"
import -window root "$out/crypted.png"
echo "screenshot: $out/crypted.png"

# Stay On top: both note windows lie above another program's window while
# the option is on, and below it once the option is off.
xlogo -geometry 1000x500+40+40 >/dev/null 2>&1 &
other_pids+=($!)
until_true 5 bash -c "xdotool search --onlyvisible --class xlogo >/dev/null" || fail "xlogo did not start"
logo=$(xdotool search --onlyvisible --class xlogo | head -n1)
above() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
# stacked_below <window> <other>: window lies below other.
stacked_below() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g')
    local low high
    low=$(grep -n -i "^0x0*$(printf '%x' "$1")\$" <<<"$order" | cut -d: -f1)
    high=$(grep -n -i "^0x0*$(printf '%x' "$2")\$" <<<"$order" | cut -d: -f1)
    [[ -n $low && -n $high ]] && ((low < high))
}
xdotool windowactivate --sync "$logo"
sleep 0.5
for window in "$calc" "$note"; do
    above "$window" || fail "with Stay On top on, note window $window is not above others"
    stacked_below "$logo" "$window" || fail "with Stay On top on, note window $window lies below xlogo"
done
# From the bottom: Close, About, Global Keys, Tray Icon, Show Hint, Stay On Top.
board_menu Up Up Up Up Up Up Return
sleep 0.5
for window in "$calc" "$note"; do
    until_true 3 bash -c "! xprop -id $window _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" \
        || fail "Stay On top off left note window $window above others"
done
xdotool windowactivate --sync "$logo"
sleep 0.5
for window in "$calc" "$note"; do
    stacked_below "$window" "$logo" || fail "with Stay On top off, note window $window stays above xlogo"
done
import -window root "$out/stay-on-top-off.png"
echo "screenshot: $out/stay-on-top-off.png"
echo "PASS"
