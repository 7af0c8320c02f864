#!/bin/sh
# Times `qelnote search` over a data folder of 1,000 notes of about 4 KB (RTF with a format
# change every few words) for each qelnote given, side by side: best of three runs each.
# usage: search.sh QELNOTE [QELNOTE...]
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v dir="$work" 'BEGIN {
    split("alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima", words, " ")
    for (n = 0; n < 1000; n++) {
        file = sprintf("%s/QelNotes_%d.rtf", dir, n)
        printf "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Note %d\\par ", n > file
        for (size = 0; size < 4096; size += 8) {
            printf "%s%s ", (size % 40 == 0 ? "\\b " : (size % 40 == 16 ? "\\b0 " : "")), words[(size * 7 + n) % 12 + 1] > file
            if (size % 96 == 88) printf "\\par\r\n" > file
        }
        if (n % 10 == 0) printf "rare word\\par " > file
        printf "}" > file
        close(file)
    }
}'
export QT_QPA_PLATFORM=offscreen
now() { date +%s.%N; }
for qelnote in "$@"; do
    best=
    for run in 1 2 3; do
        start=$(now)
        "$qelnote" search "$work" note rare > "$work/out" || true
        took=$(echo "$(now) - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$took < $best" | bc -l)" -eq 1 ]; then best=$took; fi
    done
    printf '%s: %.3f s, %d notes found\n' "$qelnote" "$best" "$(wc -l < "$work/out")"
done
