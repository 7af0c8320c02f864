// One periodic save of a 20 MB note: the time the interface thread spends on
// it when it writes the RTF and the file itself, against the time it spends
// when it only takes a snapshot and the worker does the rest; and, after one
// character typed, a snapshot taken afresh against one kept up to date. The
// cases compared run in every iteration, so that a loaded machine slows them
// alike.

#include "../richtext/notegenerator.h"

#include "board/notesavequeue.h"
#include "board/notestorage.h"
#include "richtext/documentsnapshot.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "richtext/snapshottracker.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include "benchmain.h"
#include "wallclock.h"

namespace {

constexpr qsizetype NoteSize = 20 * 1024 * 1024;

// The 20 MB note stored in a folder of its own and read into a document.
struct BigNote
{
    QTemporaryDir folder;
    NoteStorage storage{folder.path()};
    QTextDocument document;
    QTextCursor cursor{&document};

    explicit BigNote(benchmark::State &state)
    {
        const QByteArray rtf = generateNote(NoteSize);
        QFile file(folder.filePath(QStringLiteral("QelNotes_0.rtf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
            state.SkipWithError("cannot write the note");
        file.close();
        storage.load();
        document.setUndoRedoEnabled(false);
        RtfReader::read(rtf, cursor);
    }
};

void PeriodicSave(benchmark::State &state)
{
    BigNote note(state);
    NoteStorage &storage = note.storage;
    QTextDocument &document = note.document;
    QTextCursor &cursor = note.cursor;
    NoteSaveQueue queue(storage);

    double before = 0;
    double after = 0;
    double worker = 0;
    int typed = 0;
    for (auto _ : state) {
        // A keystroke between the saves, as the periodic save needs.
        cursor.insertText(QString::number(typed++));
        before += milliseconds([&] {
            if (!storage.storeNote(0, RtfWriter::write(document)))
                state.SkipWithError("cannot store the note");
        });
        cursor.insertText(QString::number(typed++));
        after += milliseconds(
            [&] { queue.save(storage.noteFileName(0), DocumentSnapshot::take(document)); });
        worker += milliseconds([&] { queue.waitForPendingSave(); });
    }
    const double iterations = double(state.iterations());
    state.counters["sync_ui_ms"] = before / iterations;
    state.counters["background_ui_ms"] = after / iterations;
    state.counters["ui_ratio"] = before / std::max(after, 1e-9);
    state.counters["worker_ms"] = worker / iterations;
}
BENCHMARK(PeriodicSave)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One character typed into the middle of the note, then a save.
void SaveAfterOneCharacter(benchmark::State &state)
{
    BigNote note(state);
    note.document.setUndoRedoEnabled(true);
    note.cursor.setPosition(note.document.characterCount() / 2);
    SnapshotTracker tracker(note.document);
    NoteSaveQueue queue(note.storage);
    const QString path = note.storage.noteFileName(0);

    double fresh = 0;
    double tracked = 0;
    double breakWhileSaving = 0;
    double breakAlone = 0;
    for (auto _ : state) {
        note.cursor.insertText(QStringLiteral("a"));
        breakAlone += milliseconds([&] { note.cursor.insertBlock(); });
        fresh += milliseconds([&] { queue.save(path, DocumentSnapshot::take(note.document)); });
        queue.waitForPendingSave();
        note.cursor.insertText(QStringLiteral("b"));
        tracked += milliseconds([&] { queue.save(path, tracker.snapshot()); });
        // A new paragraph while the worker still holds the snapshot.
        breakWhileSaving += milliseconds([&] { note.cursor.insertBlock(); });
        queue.waitForPendingSave();
    }
    const double iterations = double(state.iterations());
    state.counters["fresh_ui_ms"] = fresh / iterations;
    state.counters["tracked_ui_ms"] = tracked / iterations;
    state.counters["ui_ratio"] = fresh / std::max(tracked, 1e-9);
    state.counters["break_while_saving_ms"] = breakWhileSaving / iterations;
    state.counters["break_alone_ms"] = breakAlone / iterations;
    state.counters["paragraphs"] = note.document.blockCount();
}
BENCHMARK(SaveAfterOneCharacter)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
