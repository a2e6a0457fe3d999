#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <tuple>
#include <utility>

namespace bench {

double Samples::median() const {
    std::vector<double> v = values_;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Samples::min() const {
    return *std::min_element(values_.begin(), values_.end());
}

double Samples::max() const {
    return *std::max_element(values_.begin(), values_.end());
}

double seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int runsFromArguments(int argc, char** argv, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0) return std::max(7, std::atoi(argv[i + 1]));
    return fallback;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + ", " + five + ", " + fifteen;
}

namespace {
// The "cpu" line of /proc/stat: steal is its eighth figure.
std::pair<std::uint64_t, std::uint64_t> stealAndTotal() {
    std::ifstream in("/proc/stat");
    std::string cpu;
    in >> cpu;
    std::uint64_t value = 0, total = 0, steal = 0;
    for (int i = 0; i < 8 && in >> value; ++i) {
        total += value;
        if (i == 7) steal = value;
    }
    return {steal, total};
}
} // namespace

HostShare::HostShare() {
    std::tie(steal_, total_) = stealAndTotal();
}

double HostShare::percent() const {
    const auto [steal, total] = stealAndTotal();
    return total > total_ ? 100.0 * double(steal - steal_) / double(total - total_) : 0;
}

void printTimes(const std::string& name, const Samples& times) {
    std::printf("%-46s %9.1f ms  [%.1f - %.1f]\n", name.c_str(), times.median() * 1e3,
                times.min() * 1e3, times.max() * 1e3);
}

namespace {
Verdict verdict(bool met, double goal) {
    if (goal <= 0) return Verdict::None;
    return met ? Verdict::Met : Verdict::Missed;
}
const char* word(Verdict v) {
    return v == Verdict::Met ? "met" : v == Verdict::Missed ? "MISSED" : "";
}
} // namespace

Verdict printRatio(const std::string& reference, double ratio, double referenceMs, double goal) {
    const Verdict v = verdict(ratio <= goal, goal);
    char goalText[32] = "";
    if (goal > 0) std::snprintf(goalText, sizeof goalText, "goal <= %.1f x", goal);
    std::printf("    %6.2f x %-30s (%8.1f ms)  %-15s %s\n", ratio, reference.c_str(), referenceMs,
                goalText, word(v));
    return v;
}

Verdict printExcess(const std::string& reference, double excessMs, double referenceMs,
                    double goalMs) {
    const Verdict v = verdict(excessMs <= goalMs, goalMs);
    char goalText[32] = "";
    if (goalMs > 0) std::snprintf(goalText, sizeof goalText, "goal <= +%.0f ms", goalMs);
    std::printf("    %+6.1f ms %-28s (%8.1f ms)  %-15s %s\n", excessMs, reference.c_str(),
                referenceMs, goalText, word(v));
    return v;
}

} // namespace bench
