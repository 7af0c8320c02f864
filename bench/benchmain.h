#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

// Google Benchmark's main inside the Qt application the measured code needs
// (QGuiApplication or QApplication). Benchmarks measure work, not a screen,
// so they run on the offscreen platform unless another one is asked for.
template <class Application>
int runBenchmarks(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
