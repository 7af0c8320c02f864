// One periodic save of a 20 MB note: the time the interface thread spends on
// it when it writes the RTF and the file itself, against the time it spends
// when it only takes a snapshot and the worker does the rest. Both run in
// every iteration, so that a loaded machine slows them alike.

#include "../richtext/notegenerator.h"

#include "board/notesavequeue.h"
#include "board/notestorage.h"
#include "richtext/documentsnapshot.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include "benchmain.h"

#include <chrono>

namespace {

constexpr qsizetype NoteSize = 20 * 1024 * 1024;

template <typename Work>
double milliseconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void PeriodicSave(benchmark::State &state)
{
    const QByteArray rtf = generateNote(NoteSize);
    QTemporaryDir folder;
    {
        QFile file(folder.filePath(QStringLiteral("QelNotes_0.rtf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
            state.SkipWithError("cannot write the note");
    }
    NoteStorage storage(folder.path());
    storage.load();
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    RtfReader::read(rtf, cursor);
    NoteSaveQueue queue;

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

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
