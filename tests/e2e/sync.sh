#!/usr/bin/env bash
# Two copies of qelnotes, each on its own X server with its own data folder,
# the two folders kept in step by unison in batch mode while both run, as a
# user with two machines and a sync tool has it. Both sides edit note 0, A
# edits note 1 and deletes note 3, B edits note 2 and adds a note; the folders
# are synced while the windows are open, then both copies close, sync, start
# again and close. At the end each folder holds the same five notes, each
# text either side typed in exactly one of them (the other side's text of
# note 0 as a note of its own), the deleted note kept for restoring on both
# sides, and the side whose text of note 0 the sync tool kept as a copy was
# told of it. Screenshots go to the output folder.
#
# usage: sync.sh <qelnotes binary> <output folder>
set -euo pipefail

program=$1
out=$2
source "$(dirname "$0")/x11.sh"
need_tools Xvfb xdotool xwininfo import unison
mkdir -p "$out"

work=$(mktemp -d)
declare -A xvfb_pid app_pid display
cleanup() {
    for side in A B; do
        [[ -n ${app_pid[$side]:-} ]] && kill "${app_pid[$side]}" 2>/dev/null || true
        [[ -n ${xvfb_pid[$side]:-} ]] && kill "${xvfb_pid[$side]}" 2>/dev/null || true
    done
    [[ -n ${KEEP_WORK:-} ]] && echo "work folder: $work" || rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for side in A B; do
        [[ -n ${display[$side]:-} ]] && DISPLAY=${display[$side]} import -window root "$out/failure-$side.png" 2>/dev/null || true
        [[ -f $work/$side.log ]] && sed "s/^/  qelnotes $side: /" "$work/$side.log" >&2
        ls -l "$work/$side" | sed "s/^/  folder $side: /" >&2 || true
    done
    [[ -f $work/unison.log ]] && sed 's/^/  unison: /' "$work/unison.log" >&2
    exit 1
}

# The data folder is the program's folder: a copy per side.
for side in A B; do mkdir "$work/$side"; cp "$program" "$work/$side/qelnotes"; done
number=0
for word in zero one two three; do
    printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 %s\\par}' "$word" >"$work/A/QelNotes_$number.rtf"
    number=$((number + 1))
done

export UNISON=$work/unison-archives
# Newer wins a conflict, and the other side's file is kept as a copy.
sync_folders() {
    local status=0
    unison "$work/A" "$work/B" -batch -auto -times -prefer newer -copyonconflict \
        -ignore 'Name qelnotes' -ignore 'Name QelNotes.lock' -ignore 'Name *.pending' \
        -ignore 'Name QelNotes_store.journal' >>"$work/unison.log" 2>&1 || status=$?
    ((status <= 1)) || fail "unison ended with status $status"
}
sync_folders

for side in A B; do
    start_xvfb "$work/x-$side" 1024x768
    xvfb_pid[$side]=$xvfb_started_pid
    display[$side]=$xvfb_started_display
done

# on <side>: the commands that follow act on that side's desktop.
on() { side=$1; export DISPLAY=${display[$1]}; }
box_shown() { [[ -n $(window '^QelNotes$') ]]; }

start() {
    QT_QPA_PLATFORM=xcb "$work/$side/qelnotes" >>"$work/$side.log" 2>&1 &
    app_pid[$side]=$!
    until_true 30 bash -c '[[ -n $(xdotool search --onlyvisible --name "^NoteMain" 2>/dev/null) ]]' \
        || fail "$side: the desktop icon did not appear"
    read_boxes start
    read -r ix iy _ _ <<<"$(geometry "$(window '^NoteMain')")"
}
# read_boxes <when>: what the program tells in a box is read (a screenshot)
# and the box closed. A change of the folder is looked at once it has been
# quiet for half a second, so the boxes have a moment to come.
read_boxes() {
    sleep 1.5
    local count=0
    while box_shown; do
        count=$((count + 1))
        import -window root "$out/$1-$side-$count.png"
        xdotool windowfocus --sync "$(window '^QelNotes$')" key Return
        sleep 0.5
    done
}
show_board() {
    xdotool mousemove 5 5
    sleep 0.3
    xdotool mousemove $((ix + 16)) $((iy + 16))
    until_true 5 board_shown || fail "$side: the board did not come up"
    read -r bx by bw _ <<<"$(geometry "$(window '^Qel Notes')")"
}
# edit <row> <title> <text>: opens the note of that row and types text at its end.
edit() {
    show_board
    xdotool mousemove $((bx + 40)) $((by + 2 + 16 * $1 + 8))
    xdotool click --repeat 2 --delay 80 1
    until_true 5 bash -c "[[ -n \$(xdotool search --onlyvisible --name '^$2' 2>/dev/null) ]]" \
        || fail "$side: the note '$2' did not open"
    sleep 0.5
    xdotool key ctrl+End Return
    xdotool type --delay 20 "$3"
}
delete_row() {
    show_board
    xdotool mousemove $((bx + 2 + bw - 4 - 30 - 8)) $((by + 2 + 16 * $1 + 8)) click 1
    until_true 5 box_shown || fail "$side: the close picture asked no question"
    xdotool windowfocus --sync "$(window '^QelNotes$')" key alt+y
    until_true 5 bash -c '! xdotool search --onlyvisible --name "^QelNotes\$" >/dev/null' \
        || fail "$side: the delete question stayed"
}
new_note() {
    show_board
    xdotool click 3
    sleep 0.3
    xdotool key Down Return
    until_true 5 bash -c '[[ -n $(xdotool search --onlyvisible --name "^\.\.\$" 2>/dev/null) ]]' \
        || fail "$side: New opened no note window"
    sleep 0.5
    xdotool type --delay 20 "$1"
}
# Close from the board's menu; a box the store shows on the way is read and closed.
close_program() {
    show_board
    xdotool click 3
    sleep 0.3
    xdotool key Up Return
    local deadline=$((SECONDS + 20))
    while kill -0 "${app_pid[$side]}" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "$side: Close did not end the program"
        if box_shown; then
            import -window root "$out/close-$side.png"
            xdotool windowfocus --sync "$(window '^QelNotes$')" key Return
        fi
        sleep 0.2
    done
    wait "${app_pid[$side]}" || fail "$side: the program ended with status $?"
    app_pid[$side]=
}
holds() { grep -qs -- "$2" "$work/$1"/QelNotes_[0-9]*.rtf; }
# holding <side> <text>: how many note files of that side hold the text.
holding() { grep -ls -- "$2" "$work/$1"/QelNotes_[0-9]*.rtf | wc -l; }

on A; start
on B; start
on A; edit 0 zero 'zero typed on A'
on B; edit 0 zero 'zero typed on B'
on A; edit 1 one 'one typed on A'
on B; edit 2 two 'two typed on B'
on A; delete_row 3
on B; new_note 'added on B'
# The periodic save writes what the open windows hold within seconds.
until_true 15 holds A 'zero typed on A' || fail "A's periodic save did not write note 0"
until_true 15 holds B 'added on B' || fail "B's store did not write the new note"
until_true 15 holds B 'two typed on B' || fail "B's periodic save did not write note 2"
on A; import -window root "$out/sync-A.png"
on B; import -window root "$out/sync-B.png"

# The sync tool runs while both copies are open: what it brings shows on
# the boards. Then both close.
sync_folders
on A; read_boxes synced
on B; read_boxes synced
on A; close_program
on B; close_program
sync_folders
on A; start; close_program
on B; start; close_program
sync_folders

for side in A B; do
    for text in 'zero typed on A' 'zero typed on B' 'one typed on A' 'two typed on B' 'added on B'; do
        count=$(holding "$side" "$text")
        ((count == 1)) || fail "folder $side holds '$text' in $count notes, not in one"
    done
    notes=$(find "$work/$side" -maxdepth 1 -regex '.*/QelNotes_[0-9]+\.rtf' | wc -l)
    ((notes == 5)) || fail "folder $side holds $notes notes, not 5"
    grep -qs three "$work/$side"/QelNotes_deleted_*.rtf || fail "folder $side cannot restore 'three'"
done
# The sync tool kept the older text of note 0 as a copy on that side only.
grep -q 'Told: .*conflict' "$work/A.log" "$work/B.log" || fail "no side was told of the conflict copy"
grep -h 'Told:' "$work/A.log" "$work/B.log" | sed 's/^/  told: /'
echo "PASS"
