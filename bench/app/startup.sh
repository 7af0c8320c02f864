#!/usr/bin/env bash
# The real program's start-up with no notes, with 1,000 and with 10,000 notes of
# about 4 KB, each with its window record in QelNotes.ini: wall time from start
# until the icon is up and then of the Close command, and peak memory. The program is
# sent SIGTERM as soon as it holds its data folder's lock; the signal waits in
# its queue until the event loop runs, which is right after the icon is shown,
# and then the Close command ends it (its store finds every file unchanged).
#
# usage: startup.sh <qelnotes binary> <rtfnotegen binary> [runs]
set -euo pipefail

program=$1
notegen=$2
runs=${3:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$notegen" "$work/note.rtf" 0.0039
counts=(0 1000 10000)
for count in "${counts[@]}"; do
    mkdir "$work/$count"
    cp "$program" "$work/$count/qelnotes"
    printf '[Main]\r\nLeft=100\r\nTop=100\r\n[NotesMain]\r\nLeft=20\r\nTop=20\r\n' \
        >"$work/$count/QelNotes.ini"
    for ((i = 0; i < count; ++i)); do
        cp "$work/note.rtf" "$work/$count/QelNotes_$i.rtf"
        printf '[Note_%d]\r\nColor=8454143\r\nLeft=%d\r\nTop=200\r\nWidth=400\r\nHeight=300\r\n' \
            $((i + 1)) $((300 + i % 500))
    done >>"$work/$count/QelNotes.ini"
done

# run <folder>: prints "<milliseconds> <peak KB>" for one start.
run() {
    local folder=$1 start end
    start=$(date +%s%N)
    QT_QPA_PLATFORM=offscreen /usr/bin/time -f '%M' -o "$work/rss" "$folder/qelnotes" \
        2>/dev/null &
    local pid=$!
    until [[ -e $folder/QelNotes.lock ]]; do sleep 0.001; done
    pkill -TERM -P "$pid" qelnotes
    wait "$pid"
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $(cat "$work/rss")"
}

declare -A median rss
for count in "${counts[@]}"; do
    run "$work/$count" >/dev/null # warm the caches
done
for count in "${counts[@]}"; do
    times=()
    for ((r = 0; r < runs; ++r)); do
        read -r ms kb < <(run "$work/$count")
        times+=("$ms")
        rss[$count]=$kb
    done
    median[$count]=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p")
    echo "notes=$count median=${median[$count]} ms peak=${rss[$count]} KB (runs: ${times[*]})"
done
echo "ratio 1000/0: $(echo "scale=2; ${median[1000]} / ${median[0]}" | bc)"
echo "ratio 10000/1000: $(echo "scale=2; ${median[10000]} / ${median[1000]}" | bc)"
