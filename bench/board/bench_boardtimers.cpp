// Timer events per second on the board while the pointer moves over its rows
// with the previews on, for boards of 100, 1,000 and 10,000 notes: the count
// must not grow with the notes. Each run lets the event loop turn for one
// second of wall time, moving the pointer onto another row every 20 ms.
//
//   QT_QPA_PLATFORM=offscreen bench_boardtimers

#include "board/notesboard.h"
#include "rowpointer.h"
#include "commands/commandmodule.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "platform/datafolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "benchmain.h"

#include <algorithm>

namespace {

// Counts the timer events the application delivers.
class TimerEventCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Timer;
        return false;
    }
    qint64 count = 0;
};

void write(const QTemporaryDir &folder, const QString &name, const QByteArray &data)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(data);
}

void BM_HoverTimerEvents(benchmark::State &state)
{
    const int notes = int(state.range(0));
    QTemporaryDir folder;
    for (int i = 0; i < notes; ++i)
        write(folder, QStringLiteral("QelNotes_%1.rtf").arg(i),
              "{\\rtf1 note " + QByteArray::number(i) + "\\par}");
    write(folder, QStringLiteral("QelNotes.ini"), "[Main]\r\nShowHint=1\r\n");
    setDataFolderForTesting(folder.path());
    {
        TDM dm;
        TFrmNote board;
        board.show();
        // The notes are read one per tick after start; that is start-up, not hovering.
        const QList<TNoteFrame *> rows = board.NotesList();
        while (
            !std::all_of(rows.begin(), rows.end(), [](TNoteFrame *row) { return row->noteRead(); }))
            QCoreApplication::processEvents();
        moveOver(board, board.NotesList().first(), 10);
        board.ShowHints(true);
        TimerEventCounter counter;
        qApp->installEventFilter(&counter);
        for (auto _ : state) {
            counter.count = 0;
            QElapsedTimer clock;
            clock.start();
            for (int step = 0; clock.elapsed() < 1000; ++step) {
                moveOver(board, board.NotesList().at(step % std::min(notes, 40)), 10 + step % 3);
                QElapsedTimer slice;
                slice.start();
                while (slice.elapsed() < 20)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            state.counters["timer_events_per_s"] = double(counter.count) * 1000 / clock.elapsed();
        }
        qApp->removeEventFilter(&counter);
    }
    setDataFolderForTesting(QString());
}
BENCHMARK(BM_HoverTimerEvents)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
