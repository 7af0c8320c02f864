#!/usr/bin/env bash
# Installs the build into an empty prefix and checks the installed files: the
# two programs, the desktop entry, the icon, the metainfo and the man page,
# nothing else; the entry and the metainfo pass their validators and name the
# installed program and icon; the manual page names every qelnote command; the
# installed qelnote works, and the installed qelnotes keeps its settings in the
# user's data folder, not beside itself.
#
# usage: install.sh <cmake> <build folder> <output folder>
set -euo pipefail
cmake=$1
build=$2
out=$3
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing; scripts/packages brings it" >&2; exit 1; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$out/prefix
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

expected="bin/qelnote
bin/qelnotes
share/applications/org.example.qelnotes.desktop
share/icons/hicolor/scalable/apps/qelnotes.svg
share/man/man1/qelnote.1
share/metainfo/org.example.qelnotes.metainfo.xml"
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
[[ $installed == "$expected" ]] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$installed"))"
[[ -x $prefix/bin/qelnotes && -x $prefix/bin/qelnote ]] || fail "the programs are not executable"

entry=$prefix/share/applications/org.example.qelnotes.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/org.example.qelnotes.metainfo.xml" \
    || fail "appstreamcli refused the metainfo"
# The launcher starts what was installed and shows the icon that was installed.
grep -qx 'Exec=qelnotes' "$entry" || fail "the entry does not start qelnotes"
grep -qx 'Icon=qelnotes' "$entry" || fail "the entry does not name the qelnotes icon"
grep -q '<launchable type="desktop-id">org.example.qelnotes.desktop</launchable>' \
    "$prefix/share/metainfo/org.example.qelnotes.metainfo.xml" \
    || fail "the metainfo does not launch the installed entry"

printf 'x := 3\r\nx * 4 =\r\n' >"$out/note.rtf"
[[ $("$prefix/bin/qelnote" calc "$out/note.rtf") == $'x := 3\nx * 4 = 12.000000000' ]] \
    || fail "the installed qelnote does not calculate"

# The manual page has a synopsis line for every command the usage lists.
commands=$({ "$prefix/bin/qelnote" 2>&1 || true; } | awk '/^commands:/ {listed = 1; next} listed {print $1}')
[[ -n $commands ]] || fail "qelnote printed no commands"
for command in $commands; do
    grep -qx "\.B qelnote $command" "$prefix/share/man/man1/qelnote.1" \
        || fail "the manual page misses qelnote $command"
done

# Started and told to end, the program stores its settings: in the user's data
# folder, although it could write beside itself (as the superuser can in /usr/bin).
data=$out/data
rm -rf "$data" "$out/home"
mkdir -p "$out/home"
HOME=$out/home XDG_DATA_HOME=$data "$prefix/bin/qelnotes" >"$out/qelnotes.log" 2>&1 &
pid=$!
deadline=$((SECONDS + 30))
until [[ -n $(ls -A "$data/QelNotes" 2>/dev/null) ]]; do
    kill -0 "$pid" 2>/dev/null || fail "the installed qelnotes ended early: $(cat "$out/qelnotes.log")"
    ((SECONDS < deadline)) || { kill "$pid"; fail "the installed qelnotes made no data folder"; }
    sleep 0.1
done
kill -TERM "$pid"
wait "$pid" || fail "the installed qelnotes ended with status $?"
[[ -f $data/QelNotes/QelNotes.ini ]] || fail "no QelNotes.ini in the user's data folder"
[[ $(ls -A "$prefix/bin") == $'qelnote\nqelnotes' ]] \
    || fail "the installed qelnotes wrote beside itself: $(ls -A "$prefix/bin")"
echo "PASS"
