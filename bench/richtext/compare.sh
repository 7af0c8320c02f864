#!/usr/bin/env bash
# Reads one generated 10 MB note with `qelnote text` and with Debian's
# `unrtf --text` side by side (best of three runs each, peak memory of the
# last), the same for a note whose format changes at every word, then times saving: `qelnote rtf` loads and saves, `qelnote text` only
# loads. Finally the in-process load and save benchmark, when it is built.
# Usage: bench/richtext/compare.sh [BUILD_DIR] [MEGABYTES]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/test}
megabytes=${2:-10}
command -v unrtf >/dev/null || { echo "compare.sh: unrtf is not installed (scripts/install-deps)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "compare.sh: /usr/bin/time is not installed (scripts/install-deps)" >&2; exit 1; }
[[ -f $build/build.ninja ]] || cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(qelnote rtfnotegen)
grep -q 'build bench/richtext/bench_rtf:' "$build/build.ninja" && targets+=(bench_rtf)
cmake --build "$build" --target "${targets[@]}" -j 2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
note=$work/note.rtf
"$build/bench/richtext/rtfnotegen" "$note" "$megabytes"
dense=$work/dense.rtf
"$build/bench/richtext/rtfnotegen" "$dense" "$megabytes" --dense
export QT_QPA_PLATFORM=offscreen

# measure NAME COMMAND...: sets seconds (best of three) and peak (MB).
measure() {
    local best=
    for _ in 1 2 3; do
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/out"
        read -r elapsed kilobytes <"$work/time"
        if [[ -z $best ]] || awk -v a="$elapsed" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$elapsed
        fi
    done
    seconds=$best
    peak=$((kilobytes / 1024))
}

size=$(stat -c %s "$note")
printf 'note: %s bytes of RTF\n\n' "$size"
measure "$build/src/main/qelnote" text "$note"
text_seconds=$seconds text_peak=$peak
measure unrtf --text "$note"
unrtf_seconds=$seconds unrtf_peak=$peak
measure "$build/src/main/qelnote" rtf "$note"
rtf_seconds=$seconds rtf_peak=$peak

awk -v size="$size" -v t="$text_seconds" -v u="$unrtf_seconds" -v r="$rtf_seconds" \
    -v tp="$text_peak" -v up="$unrtf_peak" -v rp="$rtf_peak" 'BEGIN {
    mb = size / 1048576
    printf "%-28s %8s %10s %10s\n", "", "seconds", "MB/s", "peak MB"
    printf "%-28s %8.2f %10.1f %10d\n", "qelnote text (load)", t, mb / t, tp
    printf "%-28s %8.2f %10.1f %10d\n", "unrtf --text", u, mb / u, up
    printf "%-28s %8.2f %10s %10d\n", "qelnote rtf (load + save)", r, "", rp
    save = r - t
    printf "\nqelnote text is %.1f times as fast as unrtf --text (target: at least 6)\n", u / t
    printf "saving takes about %.2f s against %.2f s for the whole load run (target: no slower)\n", save, t
}'

measure "$build/src/main/qelnote" text "$dense"
dense_text=$seconds
measure unrtf --text "$dense"
awk -v t="$dense_text" -v u="$seconds" 'BEGIN {
    printf "\nformat changed at every word: qelnote text %.2f s, unrtf --text %.2f s\n", t, u
    printf "qelnote text is %.1f times as fast as unrtf --text (target: at least 4)\n", u / t
}'

if [[ -x $build/bench/richtext/bench_rtf ]]; then
    echo
    "$build/bench/richtext/bench_rtf" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null \
        | grep -E '^(Benchmark|BM_)'
fi
