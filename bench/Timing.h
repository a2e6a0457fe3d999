#pragma once
// What both benchmark programs share: repeated timings, their median and spread, and
// one line per figure with the house goal beside it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Times of one command over the runs, in seconds.
class Samples {
public:
    void add(double seconds) { values_.push_back(seconds); }
    double median() const;
    double min() const;
    double max() const;
    bool empty() const { return values_.empty(); }

private:
    std::vector<double> values_;
};

double seconds(const std::function<void()>& f);
// Runs per figure: at least 7; `--runs N` on the command line asks for more.
int runsFromArguments(int argc, char** argv, int fallback);
// The machine's load averages, as uptime shows them.
std::string loadAverage();

// The share of the processors' time that the host of a virtual machine took from it
// (steal) since this was made, in percent; 0 where the system does not say. A busy host
// slows a command on two threads more than a one-thread raw read.
class HostShare {
public:
    HostShare();
    double percent() const;

private:
    std::uint64_t steal_ = 0, total_ = 0;
};

// A goal is met only when the median meets it.
enum class Verdict { None, Met, Missed };

// "name   median ms [min - max]".
void printTimes(const std::string& name, const Samples& times);
// Below a figure: its ratio to a reference measured in the same run, and the goal.
Verdict printRatio(const std::string& reference, double ratio, double referenceMs, double goal);
// Below a figure: its difference from a reference measured in the same run, and the goal.
Verdict printExcess(const std::string& reference, double excessMs, double referenceMs,
                    double goalMs);

} // namespace bench
