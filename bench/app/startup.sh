#!/usr/bin/env bash
# The real program's start-up with no notes and with 1,000 notes of about 4 KB:
# wall time from start until the icon is up, and peak memory. The program is
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
for count in 0 1000; do
    mkdir "$work/$count"
    cp "$program" "$work/$count/qelnotes"
    for ((i = 0; i < count; ++i)); do
        cp "$work/note.rtf" "$work/$count/QelNotes_$i.rtf"
    done
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
for count in 0 1000; do
    run "$work/$count" >/dev/null # warm the caches
done
for count in 0 1000; do
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
