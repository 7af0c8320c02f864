// Loading and saving a generated 10 MB note; compare.sh sets qelnote against unrtf. Saving a
// 1 MB and a 10 MB note in turn shows whether the writer stays linear in the note's size.

#include "notegenerator.h"

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include "benchmain.h"

#include <chrono>
#include <limits>

namespace {

constexpr qsizetype Megabyte = 1024 * 1024;

const QByteArray &note()
{
    static const QByteArray rtf = generateNote(10 * Megabyte);
    return rtf;
}

void load(QTextDocument &document, const QByteArray &rtf = note(), int paragraphLimit = 0)
{
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    if (RtfReader::read(rtf, cursor, paragraphLimit).message.size())
        std::abort();
}

// The note is parsed on a second thread while the document is built.
void BM_LoadNote(benchmark::State &state)
{
    for (auto _ : state) {
        QTextDocument document;
        load(document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * note().size());
}
BENCHMARK(BM_LoadNote)->Unit(benchmark::kMillisecond);

// The same on the calling thread alone, as a paragraph limit keeps it: what the second thread
// saves.
void BM_LoadNoteOneThread(benchmark::State &state)
{
    for (auto _ : state) {
        QTextDocument document;
        load(document, note(), std::numeric_limits<int>::max());
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * note().size());
}
BENCHMARK(BM_LoadNoteOneThread)->Unit(benchmark::kMillisecond);

void BM_SaveNote(benchmark::State &state)
{
    QTextDocument document;
    load(document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray rtf = RtfWriter::write(document);
        written = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(state.iterations() * written);
    state.counters["rtf_bytes"] = double(written);
}
BENCHMARK(BM_SaveNote)->Unit(benchmark::kMillisecond);

// Each iteration saves the 1 MB note and then the 10 MB one, so that a loaded machine slows both
// alike; tenfold is linear.
void BM_SaveGrowth(benchmark::State &state)
{
    QTextDocument small;
    load(small, generateNote(Megabyte));
    QTextDocument large;
    load(large);
    const auto seconds = [](const QTextDocument &document) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(RtfWriter::write(document).data());
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double smallSeconds = 0;
    double largeSeconds = 0;
    for (auto _ : state) {
        smallSeconds += seconds(small);
        largeSeconds += seconds(large);
    }
    state.counters["1MB_ms"] = smallSeconds * 1000 / double(state.iterations());
    state.counters["10MB_ms"] = largeSeconds * 1000 / double(state.iterations());
    state.counters["ratio"] = largeSeconds / smallSeconds;
}
BENCHMARK(BM_SaveGrowth)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
