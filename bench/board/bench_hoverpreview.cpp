// One pointer movement onto the header of a note on the board, from the
// event to the preview holding that note at its new size: a 2 KB note beside
// a 200 KB one (RTF sizes of a formatted note). Between two measured
// movements the pointer visits a one-line note, so that every measured
// movement brings a new note into the preview. The goal is one frame
// (16 ms) for the 200 KB note. BM_MoveAlongHeader: the pointer moves on over
// the header of the note already shown.
//
//   QT_QPA_PLATFORM=offscreen bench_hoverpreview

#include "../richtext/notegenerator.h"

#include "board/notesboard.h"
#include "rowpointer.h"
#include "commands/commandmodule.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "note/transparenthint.h"
#include "platform/datafolder.h"
#include "richedit/jvrichedit.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "benchmain.h"

#include <optional>

namespace {

// The board with a one-line note and a formatted one of kilobytes KB, the
// preview on.
class Board
{
public:
    explicit Board(int kilobytes)
    {
        writeNote(0, "A short note");
        writeNote(1, generateNote(kilobytes * 1024));
        writeNote(QStringLiteral("QelNotes.ini"), "[Main]\r\nShowHint=1\r\n");
        setDataFolderForTesting(m_folder.path());
        m_dm.emplace();
        m_board.emplace();
        m_board->show();
        QCoreApplication::processEvents();
    }
    ~Board()
    {
        m_board.reset();
        m_dm.reset();
        setDataFolderForTesting(QString());
    }

    TFrmNote &board() { return *m_board; }
    TNoteFrame *shortNote() { return m_board->NotesList().at(0); }
    TNoteFrame *measured() { return m_board->NotesList().at(1); }

    // After the run: what the preview shows.
    void report(benchmark::State &state)
    {
        if (m_board->HintWindow()->editor()->Text() != measured()->edit().Text())
            state.SkipWithError("the preview does not show the note");
        state.counters["preview_height"] = m_board->HintWindow()->height();
    }

private:
    void writeNote(int number, const QByteArray &data)
    {
        writeNote(QStringLiteral("QelNotes_%1.rtf").arg(number), data);
    }
    void writeNote(const QString &name, const QByteArray &data)
    {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(data);
    }

    QTemporaryDir m_folder;
    std::optional<TDM> m_dm;
    std::optional<TFrmNote> m_board;
};

void BM_MoveOntoNote(benchmark::State &state)
{
    Board board(int(state.range(0)));
    int x = 0;
    for (auto _ : state) {
        state.PauseTiming();
        moveOver(board.board(), board.shortNote(), 10 + x % 2);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        moveOver(board.board(), board.measured(), 20 + x++ % 2);
        benchmark::DoNotOptimize(board.board().HintWindow()->height());
    }
    board.report(state);
}
BENCHMARK(BM_MoveOntoNote)->Arg(2)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_MoveAlongHeader(benchmark::State &state)
{
    Board board(int(state.range(0)));
    moveOver(board.board(), board.measured(), 20);
    int x = 0;
    for (auto _ : state) {
        moveOver(board.board(), board.measured(), 21 + x++ % 2);
        benchmark::DoNotOptimize(board.board().HintWindow()->height());
    }
    board.report(state);
}
BENCHMARK(BM_MoveAlongHeader)->Arg(2)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
