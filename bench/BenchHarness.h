#ifndef CORVID_BENCH_HARNESS_H
#define CORVID_BENCH_HARNESS_H

// A small harness for the benchmarks: wall-clock timing of a callable with a
// warm-up, best-of-N repetitions, and the project's output line format.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <time.h>

namespace corvid_bench {

using Clock = std::chrono::steady_clock;

/// Seconds taken by one call of f, best of `repeats` after one warm-up.
template <typename F>
double bestSeconds(F &&f, int repeats = 5)
{
    f();
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = Clock::now();
        f();
        const auto t1 = Clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

/// CPU seconds of this process (all its threads, in case Qt hands work to
/// a pool) taken by one call of f, best of `repeats` after one warm-up:
/// undisturbed by what else runs on the machine.
template <typename F>
double bestCpuSeconds(F &&f, int repeats = 5);

/// Prints "bench: <line>" on its own line and flushes, so scripts can read it.
inline void report(const std::string &line)
{
    std::printf("bench: %s\n", line.c_str());
    std::fflush(stdout);
}

/// Resident set size of this process in bytes, from /proc/self/statm.
inline long long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4096LL;
}

/// CPU seconds used so far by the calling thread (who = RUSAGE_THREAD) or
/// the whole process (RUSAGE_SELF), user and system time together. On a
/// machine shared with builds, wall-clock time mostly measures the others.
/// The scheduler's own clock counts nanoseconds; getrusage() may advance in
/// whole ticks on some kernels, which a 0.1 ms floor cannot survive.
inline double cpuSeconds(int who = RUSAGE_THREAD)
{
    timespec t{};
    clock_gettime(who == RUSAGE_THREAD ? CLOCK_THREAD_CPUTIME_ID : CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <typename F>
double bestCpuSeconds(F &&f, int repeats)
{
    f();
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const double t0 = cpuSeconds(RUSAGE_SELF);
        f();
        best = std::min(best, cpuSeconds(RUSAGE_SELF) - t0);
    }
    return best;
}

/// Keeps the optimiser from dropping a computed value.
template <typename T>
inline void keep(const T &value)
{
    asm volatile("" : : "g"(&value) : "memory");
}

} // namespace corvid_bench

#endif
