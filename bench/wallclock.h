#pragma once

#include <chrono>

// Wall-clock milliseconds that work takes, for benchmarks that time one part
// of an iteration themselves (manual time or counters).
template <typename Work>
double milliseconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}
