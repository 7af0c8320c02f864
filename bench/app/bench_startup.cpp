// The desktop program's start-up: the command set and the icon on the screen
// (counter icon_up_ms), then the board, which loads the notes and the settings. Run
// with no notes and with a thousand notes of about 4 KB each; the ratio of
// the two is what a user with many notes pays at every start. Five thousand
// notes against a thousand, start and close, shows whether that cost grows
// faster than the notes do.
//
// startup.sh measures the real program, start to end, with its peak memory.
// Peak memory of either case here alone:
//   /usr/bin/time -v bench_startup --benchmark_filter=BM_StartUp/1000

#include "../richtext/notegenerator.h"

#include "app/iconwindow.h"
#include "board/notesboard.h"
#include "commands/commandmodule.h"
#include "platform/datafolder.h"
#include "richtext/notetitle.h"
#include "richtext/richdocument.h"

#include <chrono>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "benchmain.h"

#include <map>
#include <memory>

namespace {

// A data folder holding count notes and the settings file of a user who has
// had each of them open in its window once, made once per count.
const QTemporaryDir &dataFolder(int count)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    std::unique_ptr<QTemporaryDir> &folder = folders[count];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        QFile settings(folder->filePath(QStringLiteral("QelNotes.ini")));
        if (!settings.open(QIODevice::WriteOnly))
            std::abort();
        settings.write("[Main]\r\nLeft=100\r\nTop=100\r\nWidth=220\r\nHeight=300\r\n"
                       "ShowHint=1\r\nStayOnTop=1\r\n[NotesMain]\r\nLeft=20\r\nTop=20\r\n");
        for (int i = 0; i < count; ++i) {
            QFile file(folder->filePath(QStringLiteral("QelNotes_%1.rtf").arg(i)));
            if (!file.open(QIODevice::WriteOnly))
                std::abort();
            file.write(generateNote(3900 + i % 200));
            settings.write("[Note_" + QByteArray::number(i + 1)
                           + "]\r\nColor=" + QByteArray::number(8454143 + i % 7)
                           + "\r\nLeft=" + QByteArray::number(300 + i % 500)
                           + "\r\nTop=200\r\nWidth=400\r\nHeight=300\r\n");
        }
    }
    return *folder;
}

void BM_StartUp(benchmark::State &state)
{
    setDataFolderForTesting(dataFolder(int(state.range(0))).path());
    std::chrono::steady_clock::duration iconUp{};
    for (auto _ : state) {
        // In the program's order: the icon is up before the notes load.
        const auto start = std::chrono::steady_clock::now();
        auto dm = std::make_unique<TDM>();
        auto icon = std::make_unique<TNoteMain>();
        icon->show();
        QCoreApplication::processEvents();
        iconUp += std::chrono::steady_clock::now() - start;
        auto board = std::make_unique<TFrmNote>();
        icon->setBoard(board.get());
        board->setDesktopIcon(icon.get());
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(board->NotesList().size());

        state.PauseTiming();
        if (board->NotesList().size() != state.range(0))
            state.SkipWithError("the notes did not load");
        board.reset();
        icon.reset();
        dm.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["icon_up_ms"] = benchmark::Counter(
        std::chrono::duration<double, std::milli>(iconUp).count() / double(state.iterations()));
    setDataFolderForTesting(QString());
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The Close command on a board that is up: the store, the settings and the
// windows going away.
void BM_Close(benchmark::State &state)
{
    setDataFolderForTesting(dataFolder(int(state.range(0))).path());
    {
        // The generated files become the program's own RTF, as after any close.
        TDM dm;
        TFrmNote(nullptr).StoreNotes();
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto dm = std::make_unique<TDM>();
        auto board = std::make_unique<TFrmNote>();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        board->imCloseClick(nullptr);
        board.reset();
        dm.reset();
        QCoreApplication::processEvents();
    }
    setDataFolderForTesting(QString());
}
BENCHMARK(BM_Close)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The store of the Close command when nothing changed: every note is written
// out as RTF and compared with its file. startup.sh's times include it.
void BM_StoreUnchanged(benchmark::State &state)
{
    setDataFolderForTesting(dataFolder(int(state.range(0))).path());
    TDM dm;
    TFrmNote board;
    board.StoreNotes(); // the generated files become the program's own RTF
    for (auto _ : state)
        board.StoreNotes();
    setDataFolderForTesting(QString());
}
BENCHMARK(BM_StoreUnchanged)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

// A row's title: read from the note's first paragraphs, as when its row first shows, and
// from the whole note read into a document, as before.
void BM_TitleFromOpening(benchmark::State &state)
{
    const QByteArray note = generateNote(4000);
    for (auto _ : state)
        benchmark::DoNotOptimize(NoteTitleOfData(note));
}
BENCHMARK(BM_TitleFromOpening)->Unit(benchmark::kMicrosecond);

void BM_TitleFromWholeNote(benchmark::State &state)
{
    const QByteArray note = generateNote(4000);
    for (auto _ : state) {
        RichDocument document;
        document.setRtf(note);
        benchmark::DoNotOptimize(NoteTitle(document.Text()));
    }
}
BENCHMARK(BM_TitleFromWholeNote)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
