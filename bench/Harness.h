#pragma once
// Whole-file commands timed against the machine's own limit in the same run: a raw
// sequential read() of Q7.dat for commands that read it, a raw synced copy for those
// that rewrite it. Each benchmark file registers itself with Q7_BENCH.
#include <functional>
#include <string>
#include <vector>

namespace bench {

enum class Baseline { RawRead, RawCopy, None };

struct Context {
    std::string dir; // a fresh folder holding the generated Q7.dat
    int records = 0;
    // Restores Q7.dat as generated (after a command rewrote it).
    std::function<void()> resetCatalogue;
};

struct Case {
    std::string name;
    Baseline baseline;
    // Runs once per repetition; `setup` work before the timed part goes in `prepare`.
    std::function<void(Context&)> prepare;
    std::function<void(Context&)> run;
    double goal = 0;       // ratio goal, 0 when none
    double maxSeconds = 0; // goal in seconds for what has no baseline, 0 when none
};

int add(Case c);

// The generated catalogue: varied titles, authors, notes; record i has reference i+1.
void generateCatalogue(const std::string& path, int records);

} // namespace bench

#define Q7_BENCH_CAT2(a, b) a##b
#define Q7_BENCH_CAT(a, b) Q7_BENCH_CAT2(a, b)
#define Q7_BENCH(...) static const int Q7_BENCH_CAT(q7bench_, __LINE__) = ::bench::add(__VA_ARGS__)
