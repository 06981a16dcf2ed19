#pragma once
// Wall-clock timing shared by the benchmarks: seconds now, and the best of several rounds.
#include <algorithm>
#include <chrono>

namespace benchtiming {

inline double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

template <class F>
double best(int rounds, F f)
{
    double b = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const double t0 = now();
        f();
        b = std::min(b, now() - t0);
    }
    return b;
}

}  // namespace benchtiming
