// Loading and saving a generated 10 MB note; compare.sh sets qelnote against unrtf.

#include "notegenerator.h"

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

const QByteArray &note()
{
    static const QByteArray rtf = generateNote(10 * 1024 * 1024);
    return rtf;
}

void load(QTextDocument &document)
{
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    if (RtfReader::read(note(), cursor).message.size())
        std::abort();
}

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

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
