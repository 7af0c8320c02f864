#!/bin/sh
# usage: calc.sh QELNOTE WORKDIR
set -eu
qelnote=$1
work=$2/calc-cli
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

printf 'Groceries\r\nx := 3\r\nx * 4 =\r\n1 / 0 =\r\nlast 2 * 2 =\r\n' > "$work/note.rtf"
expected=$(printf 'Groceries\nx := 3\nx * 4 = 12.000000000\n1 / 0 =Divide by 0\nlast 2 * 2 = 4.000000000\n\n')

# Printing leaves the file alone.
before=$(cat "$work/note.rtf")
[ "$("$qelnote" calc "$work/note.rtf")" = "$expected" ] || fail "printed text"
[ "$(cat "$work/note.rtf")" = "$before" ] || fail "file changed without --write"

# --write stores RTF with the results; a second run clears them first: the same file.
[ "$("$qelnote" calc "$work/note.rtf" --write)" = "$expected" ] || fail "text with --write"
head -c 5 "$work/note.rtf" | grep -q '{\\rtf' || fail "not stored as RTF"
cp "$work/note.rtf" "$work/once.rtf"
"$qelnote" calc "$work/note.rtf" --write > /dev/null
cmp -s "$work/note.rtf" "$work/once.rtf" || fail "--write twice differs from once"
[ "$("$qelnote" text "$work/note.rtf")" = "$expected" ] || fail "stored text"

# Results over several lines are cleared after a store and load: the note does not grow.
printf 'A := ((1, 2), (3, 4))\r\nA * A =\r\nv := (1, 2, 3, 4, 5, 6, 7)\r\nv =\r\nend\r\n' > "$work/multi.rtf"
"$qelnote" calc "$work/multi.rtf" --write > /dev/null
cp "$work/multi.rtf" "$work/multi-once.rtf"
"$qelnote" calc "$work/multi.rtf" --write > /dev/null
"$qelnote" calc "$work/multi.rtf" --write > /dev/null
cmp -s "$work/multi.rtf" "$work/multi-once.rtf" || fail "multi-line results grow the note"

# Calculations the first runs got wrong.
printf 'x := 2\r\n3 + 4 =\r\nx =\r\n2 * -3 =\r\n10-3 =\r\n3 + 4 =' > "$work/fixed.txt"
expected=$(printf 'x := 2\n3 + 4 = 7.000000000\nx = 2.000000000\n2 * -3 = -6.000000000\n10-3 = 7.000000000\n3 + 4 = 7.000000000\n')
[ "$("$qelnote" calc "$work/fixed.txt")" = "$expected" ] || fail "definitions, signs and the last line"

# Plots are stored as PNG pictures on the line after their call; a second run replaces them.
printf 'x := 0, 0.5 .. 2\r\nplot(x)\r\nplot(x, y)\r\n2 + 3 =\r\n' > "$work/plot.rtf"
expected=$(printf 'x := 0, 0.5 .. 2\nplot(x)\n\357\277\274\nplot(x, y)\n2 + 3 = 5.000000000\n\n')
[ "$("$qelnote" calc "$work/plot.rtf" --write)" = "$expected" ] || fail "text with a plot"
[ "$(grep -c 'pngblip\\picw540\\pich240' "$work/plot.rtf")" = 1 ] || fail "plot not stored as a 540 x 240 PNG (half of 400, raised to a readable height)"
cp "$work/plot.rtf" "$work/plot-once.rtf"
"$qelnote" calc "$work/plot.rtf" --write > /dev/null
cmp -s "$work/plot.rtf" "$work/plot-once.rtf" || fail "--write twice with a plot differs from once"

# A missing file is an error, reported as such.
if "$qelnote" calc "$work/missing.rtf" > /dev/null 2>&1; then fail "missing file accepted"; fi
echo "calc_cli: all passed"
