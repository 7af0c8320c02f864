// Opening the window of a 20 MB note. Side by side in every iteration: the
// note copied into a shown editor through RTF, as the window once took it,
// against the direct copy it takes now; and the whole opening from the
// board, from the double click to the window shown.
//
//   bench_opennote

#include "../richtext/notegenerator.h"

#include "board/notesboard.h"
#include "commands/commandmodule.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "platform/datafolder.h"
#include "richedit/jvrichedit.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "benchmain.h"
#include "wallclock.h"

#include <memory>
#include <optional>

namespace {

constexpr qsizetype NoteSize = 20 * 1024 * 1024;

// An editor as a note window shows it, filled by fill, with what it does at
// once when shown.
template <typename Fill>
double shownEditor(Fill fill)
{
    auto editor = std::make_unique<TJvRichEdit>();
    editor->resize(RichDocument::DefaultEditorSize);
    editor->show();
    QCoreApplication::processEvents();
    return milliseconds([&] {
        fill(*editor);
        QCoreApplication::processEvents();
    });
}

void OpenNoteWindow(benchmark::State &state)
{
    QTemporaryDir folder;
    {
        QFile file(folder.filePath(QStringLiteral("QelNotes_0.rtf")));
        const QByteArray rtf = generateNote(NoteSize);
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
            state.SkipWithError("cannot write the note");
    }
    setDataFolderForTesting(folder.path());
    std::optional<TDM> dm;
    dm.emplace();
    std::optional<TFrmNote> board;
    board.emplace();
    TNoteFrame *frame = board->NotesList().at(0);
    const RichDocument &note = frame->edit();

    double throughRtf = 0;
    double direct = 0;
    double window = 0;
    for (auto _ : state) {
        throughRtf += shownEditor([&](TJvRichEdit &editor) {
            editor.setStreamMode(TStreamMode::smSelection | TStreamMode::smPlainRtf
                                 | TStreamMode::smUnicode);
            QByteArray rtf = note.toRtf();
            QBuffer stream(&rtf);
            stream.open(QIODevice::ReadOnly);
            editor.Lines().LoadFromStream(stream);
            editor.document()->clearUndoRedoStacks();
        });
        direct += shownEditor([&](TJvRichEdit &editor) { editor.setContent(note); });
        window += milliseconds([&] {
            frame->Panel1DblClick();
            QCoreApplication::processEvents();
        });
        if (!frame->Frm() || frame->Frm()->editor()->Text().size() != note.Text().size())
            state.SkipWithError("the window does not hold the note");
        frame->closeNoteWindow();
        QCoreApplication::processEvents();
    }
    const double iterations = double(state.iterations());
    state.counters["through_rtf_ms"] = throughRtf / iterations;
    state.counters["direct_ms"] = direct / iterations;
    state.counters["ratio"] = throughRtf / std::max(direct, 1e-9);
    state.counters["window_open_ms"] = window / iterations;
    board.reset();
    dm.reset();
    setDataFolderForTesting(QString());
}
BENCHMARK(OpenNoteWindow)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
