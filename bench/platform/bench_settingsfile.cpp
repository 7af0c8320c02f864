#include "platform/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// Loading the board reads the colour record of every note, each read opening
// and scanning the whole settings file: n reads of a file with n records.
static void ColourOfEveryNote(benchmark::State &state)
{
    const int notes = int(state.range(0));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("QelNotes.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the settings file");
    file.write("[Main]\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\nShowHint=0\r\nStayOnTop=1\r\n"
               "[NotesMain]\r\nLeft=5\r\nTop=6\r\n");
    for (int i = 1; i <= notes; ++i) {
        file.write("[Note_" + QByteArray::number(i)
                   + "]\r\nColor=-16777192\r\nLeft=100\r\nTop=200\r\nWidth=300\r\nHeight=400\r\n");
    }
    file.close();

    const SettingsFile settings(path);
    for (auto _ : state) {
        for (int i = 1; i <= notes; ++i) {
            benchmark::DoNotOptimize(
                settings.readInteger(QStringLiteral("Note_%1").arg(i), QStringLiteral("Color"), 0));
        }
    }
    state.SetComplexityN(notes);
}
BENCHMARK(ColourOfEveryNote)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// One write replaces the whole file atomically.
static void WriteOneKey(benchmark::State &state)
{
    QTemporaryDir folder;
    SettingsFile settings(folder.filePath(QStringLiteral("QelNotes.ini")));
    int value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), ++value));
}
BENCHMARK(WriteOneKey)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
