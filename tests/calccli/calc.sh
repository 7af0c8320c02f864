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

# Everyday notes, one case a line: name, the note and what is printed, lines split by " | ".
while IFS='	' read -r name note printed; do
    printf '%s\r\n' "$note" | sed 's/ | /\r\n/g' > "$work/case.txt"
    expected=$(printf '%s\n' "$printed" | sed 's/ | /\n/g')
    actual=$("$qelnote" calc "$work/case.txt")
    [ "$actual" = "$expected" ] || fail "$name: got [$actual]"
done <<'CASES'
word, then a sum	Groceries | 3 + 4 =	Groceries | 3 + 4 = 7.000000000
signed line after a definition	price := 100 | -20 = | price * 1 =	price := 100 | -20 = -20.000000000 | price * 1 = 100.000000000
display call with a variable	y := 5 | SCI(y, TRUE) | 2 =	y := 5 | SCI(y, TRUE) | 2 = 2.000000000
ENG rounding	ENG(1, FALSE) | 473150000000000 = | 0.00455 = | ENG(3, FALSE) | 999.9996 =	ENG(1, FALSE) | 473150000000000 = 473.2E12 | 0.00455 = 4.6E-3 | ENG(3, FALSE) | 999.9996 = 1.000E3
refused range	x := 1 .. 1000000 | y[x] := x * 2 | sum(y) =	x := 1 .. 1000000 | y[x] :=Range too large x * 2 | sum(y)Wrong Identifier =
text passed over	- buy milk | Meeting at 12:34 | 2024-05-11: paid 15 + 7 = | Rent 73,253.50 + 25 = | 128 * 25 % =	- buy milk | Meeting at 12:34 | 2024-05-11: paid 15 + 7 = 22.000000000 | Rent 73,253.50 + 25 = 73278.500000000 | 128 * 25 % = 32.000000000
word before a sum	Total 1.29 + 2.49 =	Total 1.29 + 2.49 = 3.780000000
power	2 ^ 10 = | -2 ^ 2 =	2 ^ 10 = 1024.000000000 | -2 ^ 2 = -4.000000000
complex results	1E13 + 5i = | abs(3 + 4i) = | ln(-1) = | ENG(3, FALSE) | 2 + 3i =	1E13 + 5i = 10000000000000+5i | abs(3 + 4i) = 5.000000000 | ln(-1) = 0+3.14159265358979i | ENG(3, FALSE) | 2 + 3i = 2.000+3.000i
small divisor	1 / 0.00000000001 =	1 / 0.00000000001 = 100000000000.000000000
matrix times vector	A := ((1, 2, 3), (4, 5, 6)) | u := (1, 2) | A * u =	A := ((1, 2, 3), (4, 5, 6)) | u := (1, 2) | A * u =wrong matrix dimensions
imaginary inverse	FIX(1, TRUE) | M := ((0 - 2i, 0), (0, 0 + 2i)) | inv(M) =	FIX(1, TRUE) | M := ((0 - 2i, 0), (0, 0 + 2i)) | inv(M) =  | ((0+0.5i, 0), | (0, 0-0.5i))
ragged range	x := 1 .. 12.6 | y[x] := x | len(y) =	x := 1 .. 12.6 | y[x] := x | len(y) = 12.000000000
huge angle	sin(1E20) =	sin(1E20) = -0.984807753
CASES

# A missing file is an error, reported as such.
if "$qelnote" calc "$work/missing.rtf" > /dev/null 2>&1; then fail "missing file accepted"; fi
echo "calc_cli: all passed"
