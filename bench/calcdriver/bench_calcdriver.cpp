// Calc on generated notes of growing length: the time must grow linearly with the note.
// Run: bench_calcdriver (QT_QPA_PLATFORM=offscreen is set by main).

#include "benchmain.h"

#include <optional>

#include <QGuiApplication>

#include "calcdriver/calcdriver.h"
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

// A new document holding text, with a new driver on it; made outside the measured time.
struct NoteUnderTest
{
    std::optional<RichDocument> document;
    std::optional<TCalcDriver> driver;

    void renew(const QString &text)
    {
        driver.reset();
        document.reset();
        document.emplace();
        document->setText(text);
        driver.emplace(&*document);
    }
};

void calcOnNote(benchmark::State &state)
{
    const QString text = generatedNote(int(state.range(0)));
    NoteUnderTest note;
    for (auto _ : state) {
        state.PauseTiming();
        note.renew(text);
        state.ResumeTiming();
        note.driver->Parse();
        benchmark::DoNotOptimize(note.document->SelStart());
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
    NoteUnderTest note;
    for (auto _ : state) {
        state.PauseTiming();
        note.renew(text);
        note.driver->Parse();
        state.ResumeTiming();
        note.driver->ClearResults();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(clearResultsOnNote)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// The evaluator alone, without a document: the 100,000 expressions calc_vs_bc.sh gives bc.
void evaluateExpressions(benchmark::State &state)
{
    QString text;
    for (int i = 1; i <= state.range(0); ++i) {
        text += QStringLiteral("(%1 + %2) * %3 / %4 - %5.25 =\r\n")
                    .arg(i)
                    .arg(i % 97)
                    .arg(i % 13 + 1)
                    .arg(i % 7 + 1)
                    .arg(i % 5);
    }
    TStrParser parser;
    int results = 0;
    parser.OnDisplayResult = [&results](TStrParser &, int, int, const QString &) { ++results; };
    for (auto _ : state)
        parser.Run(text);
    benchmark::DoNotOptimize(results);
}
BENCHMARK(evaluateExpressions)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
