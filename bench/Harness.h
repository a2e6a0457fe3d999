#pragma once
// Whole-file commands timed against the machine's own limit, measured in the same runs:
// a raw sequential read() of Q7.dat for commands that read it, a raw copy of it, synced
// and not, for those that write. Each benchmark file registers itself with Q7_BENCH.
#include "store/FileSystem.h"

#include <functional>
#include <string>

namespace bench {

// RawCopy commands run twice per run: as they are, against the synced copy, and with
// every sync skipped, against the unsynced copy, so that the time of the disk's flush
// does not hide the work of the command itself. Report runs once and prints its own.
enum class Baseline { RawRead, RawCopy, None, Report };

struct Context {
    std::string dir; // a fresh folder holding the generated Q7.dat
    int records = 0;
    // Restores Q7.dat as generated (after a command rewrote it), on the disk.
    std::function<void()> resetCatalogue;
    // Puts a copy of another file in place of Q7.dat, on the disk.
    std::function<void(const std::string& from)> install;
    // The file layer the command must use: the real one, or one that skips syncs.
    q7::FileSystem* fs = nullptr;
};

struct Case {
    std::string name;
    Baseline baseline;
    // Untimed work before each run.
    std::function<void(Context&)> prepare;
    std::function<void(Context&)> run;
    double goal = 0;         // ratio to the raw read or the synced copy; 0 when none
    double unsyncedGoal = 0; // ratio of the run without syncs to the unsynced copy
    double maxSeconds = 0;   // what has no baseline: a goal in seconds; 0 when none
    // Untimed work after the last run (what `prepare` left open is closed).
    std::function<void(Context&)> finish = nullptr;
};

int add(Case c);

} // namespace bench

#define Q7_BENCH_CAT2(a, b) a##b
#define Q7_BENCH_CAT(a, b) Q7_BENCH_CAT2(a, b)
#define Q7_BENCH(...) static const int Q7_BENCH_CAT(q7bench_, __LINE__) = ::bench::add(__VA_ARGS__)
