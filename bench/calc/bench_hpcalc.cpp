// Baseline of the stack machine: one operation with its operands pushed, and the display of
// the top result in each mode.
#include <benchmark/benchmark.h>

#include <QRandomGenerator>

#include "calc/complexvariant.h"
#include "calc/hpcalc.h"

namespace {

TComplexMatrix matrix3()
{
    return {{MakeComplex(4), MakeComplex(7), MakeComplex(2)},
            {MakeComplex(2), MakeComplex(6), MakeComplex(1)},
            {MakeComplex(1), MakeComplex(3), MakeComplex(5)}};
}

void ExecBinary(benchmark::State &state, THPOperation op)
{
    THPCalc hp(1);
    const TCalcValue y = MakeComplex(12.5, 0);
    const TCalcValue x = MakeComplex(3.25, 0);
    for (auto _ : state) {
        hp.Push(y);
        hp.Push(x);
        benchmark::DoNotOptimize(hp.ExecOp(op));
        hp.Pop();
    }
}

void ExecUnary(benchmark::State &state, THPOperation op)
{
    THPCalc hp(1);
    const TCalcValue x = MakeComplex(0.75, 0.5);
    for (auto _ : state) {
        hp.Push(x);
        benchmark::DoNotOptimize(hp.ExecOp(op));
        hp.Pop();
    }
}

void ExecMatrix(benchmark::State &state, THPOperation op)
{
    THPCalc hp(1);
    const TComplexMatrix m = matrix3();
    for (auto _ : state) {
        hp.PushMatrix(m);
        if (op == hpMul)
            hp.PushMatrix(m);
        benchmark::DoNotOptimize(hp.ExecOp(op));
        hp.PopMatrix();
    }
}

void Display(benchmark::State &state, THPMode mode, bool killZeros, double im)
{
    THPCalc hp(1);
    hp.SetMode(mode);
    hp.SetKillZeros(killZeros);
    const TCalcValue x = MakeComplex(12345.678, im);
    for (auto _ : state) {
        hp.Push(x);
        benchmark::DoNotOptimize(hp.Display()); // takes X off again
    }
}

void DisplayMatrix(benchmark::State &state)
{
    THPCalc hp(1);
    const TComplexMatrix m = matrix3();
    for (auto _ : state)
        benchmark::DoNotOptimize(hp.DisplayMatrix(m));
}

// An n x n matrix of real numbers that is far from singular.
TComplexMatrix dense(int n)
{
    QRandomGenerator random(7);
    TComplexMatrix m = NewMatrix(n, n, MakeComplex(0));
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < n; ++k)
            m[i][k] = MakeComplex(random.generateDouble() + (i == k ? n : 0));
    }
    return m;
}

// The size-dependent operations of a note: the inverse and the product of n x n matrices, with
// their cost per n^3 reported side by side (the BigO line of each family).
void LargeInverse(benchmark::State &state)
{
    const int n = int(state.range(0));
    THPCalc hp(1);
    const TComplexMatrix m = dense(n);
    for (auto _ : state) {
        hp.PushMatrix(m);
        benchmark::DoNotOptimize(hp.ExecOp(hpInv));
        hp.PopMatrix();
    }
    state.SetComplexityN(n);
}

void LargeProduct(benchmark::State &state)
{
    const int n = int(state.range(0));
    THPCalc hp(1);
    const TComplexMatrix m = dense(n);
    for (auto _ : state) {
        hp.PushMatrix(m);
        hp.PushMatrix(m);
        benchmark::DoNotOptimize(hp.ExecOp(hpMul));
        hp.PopMatrix();
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(LargeInverse)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNCubed);
BENCHMARK(LargeProduct)
    ->Arg(100)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNCubed);

BENCHMARK_CAPTURE(ExecBinary, add, hpAdd);
BENCHMARK_CAPTURE(ExecBinary, mul, hpMul);
BENCHMARK_CAPTURE(ExecBinary, div, hpDiv);
BENCHMARK_CAPTURE(ExecBinary, pwr, hpPwr);
BENCHMARK_CAPTURE(ExecUnary, sin, hpSin);
BENCHMARK_CAPTURE(ExecUnary, sqrt, hpSqrt);
BENCHMARK_CAPTURE(ExecUnary, arctan, hpInvTan);
BENCHMARK_CAPTURE(ExecMatrix, mul3x3, hpMul);
BENCHMARK_CAPTURE(ExecMatrix, inv3x3, hpInv);
BENCHMARK_CAPTURE(Display, fix, hpFix, false, 0.0);
BENCHMARK_CAPTURE(Display, fixKillZeros, hpFix, true, 0.0);
BENCHMARK_CAPTURE(Display, fixComplex, hpFix, false, 2.5);
BENCHMARK_CAPTURE(Display, sci, hpSci, false, 0.0);
BENCHMARK_CAPTURE(Display, eng, hpEng, false, 0.0);
BENCHMARK(DisplayMatrix);

BENCHMARK_MAIN();
