// One pointer movement onto the header of a note on the board, from the
// event to the preview holding that note at its new size: a 2 KB note beside
// a 200 KB one (RTF sizes of a formatted note). Between two measured
// movements the pointer visits a one-line note, so that every measured
// movement brings a new note into the preview. The goal is one frame
// (16 ms) for the 200 KB note.
//
//   QT_QPA_PLATFORM=offscreen bench_hoverpreview

#include "../richtext/notegenerator.h"

#include "board/notesboard.h"
#include "commands/commandmodule.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "note/transparenthint.h"
#include "platform/datafolder.h"
#include "richedit/jvrichedit.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void writeNote(const QTemporaryDir &folder, int number, const QByteArray &data)
{
    QFile file(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(number)));
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(data);
}

void moveOver(TNoteFrame *note, int x)
{
    QWidget *header = note->Panel1();
    const QPointF position(x, 5);
    QMouseEvent event(QEvent::MouseMove, position, header->mapToGlobal(position), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(header, &event);
}

void BM_MoveOntoNote(benchmark::State &state)
{
    QTemporaryDir folder;
    writeNote(folder, 0, "A short note");
    writeNote(folder, 1, generateNote(state.range(0) * 1024));
    QFile ini(folder.filePath(QStringLiteral("QelNotes.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        std::abort();
    ini.write("[Main]\r\nShowHint=1\r\n");
    ini.close();
    setDataFolderForTesting(folder.path());
    {
        TDM dm;
        TFrmNote board;
        board.show();
        QCoreApplication::processEvents();
        TNoteFrame *shortNote = board.NotesList().at(0);
        TNoteFrame *measured = board.NotesList().at(1);
        int x = 0;
        for (auto _ : state) {
            state.PauseTiming();
            moveOver(shortNote, 10 + x % 2);
            QCoreApplication::processEvents();
            state.ResumeTiming();
            moveOver(measured, 20 + x++ % 2);
            benchmark::DoNotOptimize(board.HintWindow()->height());
        }
        if (board.HintWindow()->editor()->Text() != measured->edit().Text())
            state.SkipWithError("the preview does not show the note");
        state.counters["preview_height"] = board.HintWindow()->height();
    }
    setDataFolderForTesting(QString());
}
BENCHMARK(BM_MoveOntoNote)->Arg(2)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
