#include "Harness.h"

#include "store/Cp1252.h"
#include "store/Fiche.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {
std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

double seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void rawRead(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buf(1 << 20);
    volatile long sum = 0;
    for (;;) {
        ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n <= 0) break;
        sum = sum + buf[0];
    }
    ::close(fd);
}

void rawCopy(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buf(1 << 20);
    for (;;) {
        ssize_t n = ::read(in, buf.data(), buf.size());
        if (n <= 0) break;
        if (::write(out, buf.data(), size_t(n)) != n) std::abort();
    }
    ::fsync(out);
    ::close(in);
    ::close(out);
    ::unlink(to.c_str());
}

double best(int reps, const std::function<void()>& prepare, const std::function<void()>& f) {
    double b = 1e9;
    for (int i = 0; i < reps; ++i) {
        prepare();
        b = std::min(b, seconds(f));
    }
    return b;
}
} // namespace

int add(Case c) {
    cases().push_back(std::move(c));
    return int(cases().size());
}

void generateCatalogue(const std::string& path, int records) {
    static const char* words[] = {"roman", "histoire", "Voyage", "nuit",  "Été",   "mer",
                                  "Les",   "chemins",  "du",     "Zèbre", "ombre", "jardin"};
    static const char* authors[] = {"Hugo",    "Zola",  "Sand",  "Dumas",
                                    "Colette", "Verne", "Camus", "Proust"};
    std::string bytes;
    bytes.reserve(std::size_t(records) * q7::ficheSize);
    unsigned seed = 12345;
    auto rnd = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    for (int i = 0; i < records; ++i) {
        q7::Fiche f;
        std::string title;
        for (int w = 0; w < 3; ++w)
            title += std::string(w ? " " : "") + words[rnd() % 12];
        f.setText(q7::Field::titre, q7::lit(title));
        f.setText(q7::Field::auteur, authors[rnd() % 8]);
        f.setText(q7::Field::sujet, q7::lit(words[rnd() % 12]));
        f.setText(q7::Field::collection, "Folio");
        f.setText(q7::Field::numero, std::to_string(i + 1));
        f.setText(q7::Field::nbpage, std::to_string(100 + rnd() % 400));
        f.setText(q7::Field::prix, std::to_string(rnd() % 30) + ",5");
        std::string notes;
        while (notes.size() < 200)
            notes += q7::lit(words[rnd() % 12]) + std::string(" ");
        f.setText(q7::Field::notes, notes);
        f.setFlag(q7::Flag::lut, rnd() % 2);
        f.setJour(uint8_t(1 + rnd() % 28));
        f.setMois(uint8_t(1 + rnd() % 12));
        f.setAnnee(2000 + int(rnd() % 26));
        bytes.append(f.bytes.begin(), f.bytes.end());
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

} // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    const int records = argc > 1 ? std::atoi(argv[1]) : q7::maxRecords;
    const int reps = 7; // best of seven: the machine is shared and noisy
    char tmpl[] = "/tmp/q7bench-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    const std::string master = dir + "/master.dat";
    const std::string data = dir + "/Q7.dat";
    generateCatalogue(master, records);
    auto reset = [&] {
        std::filesystem::copy_file(master, data, std::filesystem::copy_options::overwrite_existing);
    };
    reset();
    Context ctx{dir, records, reset};

    const double read = best(
        reps, [] {}, [&] { rawRead(data); });
    const double copy = best(
        reps, [] {}, [&] { rawCopy(data, dir + "/copy.dat"); });
    std::printf("catalogue: %d records, %.1f MB\n", records, records * 1048 / 1e6);
    std::printf("%-44s %9.2f ms\n", "raw read() of Q7.dat", read * 1e3);
    std::printf("%-44s %9.2f ms\n", "raw synced copy of Q7.dat", copy * 1e3);
    int failures = 0;
    // Q7_BENCH_ONLY=import runs only the cases whose name holds that text.
    const char* only = std::getenv("Q7_BENCH_ONLY");
    for (Case& c : cases()) {
        if (only && c.name.find(only) == std::string::npos) continue;
        const double t = best(
            reps,
            [&] {
                if (c.prepare) c.prepare(ctx);
            },
            [&] { c.run(ctx); });
        const double base = c.baseline == Baseline::RawRead   ? read
                            : c.baseline == Baseline::RawCopy ? copy
                                                              : 0;
        if (base > 0) {
            const double ratio = t / base;
            const bool ok = c.goal == 0 || ratio <= c.goal;
            failures += !ok;
            std::printf("%-44s %9.2f ms  %5.2f x %s%s\n", c.name.c_str(), t * 1e3, ratio,
                        c.baseline == Baseline::RawRead ? "raw read" : "raw copy",
                        c.goal == 0 ? ""
                        : ok        ? "  (goal met)"
                                    : "  (GOAL MISSED)");
        } else if (c.maxSeconds > 0) {
            const bool ok = t <= c.maxSeconds;
            failures += !ok;
            std::printf("%-44s %9.2f ms  goal < %.0f s%s\n", c.name.c_str(), t * 1e3, c.maxSeconds,
                        ok ? "  (goal met)" : "  (GOAL MISSED)");
        } else {
            std::printf("%-44s %9.2f ms\n", c.name.c_str(), t * 1e3);
        }
        reset();
    }
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("peak memory: %ld MB\n", ru.ru_maxrss / 1024);
    std::filesystem::remove_all(dir);
    return failures == 0 ? 0 : 1;
}
