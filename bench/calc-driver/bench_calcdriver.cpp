// Calc on generated notes of growing length: the time must grow linearly with the note.
// Run: bench_calcdriver (QT_QPA_PLATFORM=offscreen is set by main).

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "calc/driver/calcdriver.h"
#include "richtext/richdocument.h"

namespace {

// lines lines of prose, definitions and requests; every second line asks for a result.
QString generatedNote(int lines)
{
    QString text;
    for (int i = 0; i < lines; ++i) {
        if (i % 2 == 0)
            text += QStringLiteral("a%1 := %2 * 1.5\r\n").arg(i % 100).arg(i);
        else
            text += QStringLiteral("note line a%1 / 3 + %2 =\r\n").arg((i - 1) % 100).arg(i);
    }
    return text;
}

void calcOnNote(benchmark::State &state)
{
    const QString text = generatedNote(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        RichDocument document;
        document.setText(text);
        TCalcDriver driver(&document);
        state.ResumeTiming();
        driver.Parse();
        benchmark::DoNotOptimize(document.SelStart());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(calcOnNote)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void clearResultsOnNote(benchmark::State &state)
{
    const QString text = generatedNote(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        RichDocument document;
        document.setText(text);
        TCalcDriver driver(&document);
        driver.Parse();
        state.ResumeTiming();
        driver.ClearResults();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(clearResultsOnNote)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
