// One keystroke in a note window and the spell marks that follow it, side by
// side in every iteration: a note of 20 lines and one of 200,000 lines
// (about 8 MB) with spell checking on, and the long one with it off. Only
// the lines in view are checked, so the long note should cost about what the
// short one does.
//
//   bench_spellmarks

#include "note/noteeditorpane.h"
#include "note/spellmarks.h"
#include "note/spellservice.h"
#include "richedit/jvrichedit.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "benchmain.h"
#include "wallclock.h"

#include <memory>

namespace {

QString noteOf(int lines)
{
    QStringList text;
    for (int line = 0; line < lines; ++line)
        text.append(QStringLiteral("Line %1 of a long note with a mistakke or two in it, "
                                   "and some ordinary words besides.")
                        .arg(line));
    return text.join(QStringLiteral("\r\n"));
}

struct Typist
{
    Typist(SpellService &service, int lines)
        : pane(nullptr, nullptr, nullptr, &service)
    {
        pane.resize(600, 400);
        pane.show();
        pane.spellMarks()->setLanguage(QStringLiteral("en_US"));
        pane.edit()->setText(noteOf(lines));
        pane.edit()->moveCursor(QTextCursor::Start);
        QCoreApplication::processEvents();
    }
    // A letter typed and the marks that follow, until the event loop is idle.
    double keystroke()
    {
        return milliseconds([&] {
            QTest::keyClick(pane.edit(), Qt::Key_A);
            QCoreApplication::processEvents();
        });
    }
    NoteEditorPane pane;
};

void TypeWithSpellMarks(benchmark::State &state)
{
    QTemporaryDir folder;
    SpellService on(SpellChecker::systemDictionaryFolders(), folder.filePath("words.txt"),
                    folder.filePath("on.ini"));
    SpellService off(SpellChecker::systemDictionaryFolders(), folder.filePath("words.txt"),
                     folder.filePath("off.ini"));
    off.setEnabled(false);
    Typist shortNote(on, 20);
    Typist longNote(on, 200000);
    Typist longNoteUnchecked(off, 200000);
    double shortMs = 0;
    double longMs = 0;
    double uncheckedMs = 0;
    for (auto _ : state) {
        shortMs += shortNote.keystroke();
        longMs += longNote.keystroke();
        uncheckedMs += longNoteUnchecked.keystroke();
    }
    const double iterations = double(state.iterations());
    state.counters["short_ms"] = shortMs / iterations;
    state.counters["long_ms"] = longMs / iterations;
    state.counters["long_unchecked_ms"] = uncheckedMs / iterations;
    state.counters["long_vs_short"] = longMs / std::max(shortMs, 1e-9);
    state.counters["checked_vs_unchecked"] = longMs / std::max(uncheckedMs, 1e-9);
}
BENCHMARK(TypeWithSpellMarks)->Unit(benchmark::kMillisecond)->Iterations(100)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
