#include "Harness.h"

#include "Catalogue.h"
#include "store/Fiche.h"
#include "Timing.h"

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

void rawRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buf(1 << 20);
    volatile long sum = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n <= 0) break;
        sum = sum + buf[0];
    }
    ::close(fd);
}

// The copy is removed at once: an unsynced copy then never reaches the disk, and
// leaves no writing behind to slow down what is timed next.
void rawCopy(const std::string& from, const std::string& to, bool synced) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buf(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n <= 0) break;
        if (::write(out, buf.data(), size_t(n)) != n) std::abort();
    }
    if (synced) ::fsync(out);
    ::close(in);
    ::close(out);
    ::unlink(to.c_str());
}

void syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
}

// The real file layer, but nothing is flushed to the disk.
class UnsyncedFileSystem : public q7::FileSystem {
    class UnsyncedFile : public q7::File {
    public:
        explicit UnsyncedFile(std::unique_ptr<q7::File> f) : f_(std::move(f)) {}
        std::size_t readAt(void* d, std::size_t n, std::uint64_t o) override {
            return f_->readAt(d, n, o);
        }
        void writeAt(const void* d, std::size_t n, std::uint64_t o) override {
            f_->writeAt(d, n, o);
        }
        std::uint64_t size() override { return f_->size(); }
        void sync() override {}
        void syncData() override {}
        void truncate(std::uint64_t n) override { f_->truncate(n); }
        bool tryLock() override { return f_->tryLock(); }
        q7::FileId id() override { return f_->id(); }

    private:
        std::unique_ptr<q7::File> f_;
    };
    q7::FileSystem& real_ = q7::posixFileSystem();

public:
    std::unique_ptr<q7::File> open(const std::string& path, q7::OpenMode mode) override {
        return std::make_unique<UnsyncedFile>(real_.open(path, mode));
    }
    bool exists(const std::string& path) override { return real_.exists(path); }
    void remove(const std::string& path) override { real_.remove(path); }
    void rename(const std::string& from, const std::string& to) override { real_.rename(from, to); }
    void syncDir(const std::string&) override {}
    q7::FileId idOf(const std::string& path) override { return real_.idOf(path); }
    void link(const std::string& from, const std::string& to) override { real_.link(from, to); }
    void makeDir(const std::string& path) override { real_.makeDir(path); }
    std::vector<std::string> list(const std::string& dir) override { return real_.list(dir); }
    std::string resolve(const std::string& path) override { return real_.resolve(path); }
    q7::FileKind kindOf(const std::string& path) override { return real_.kindOf(path); }
};

struct Figures {
    Samples command, unsyncedCommand, read, synced, unsynced;
};

// One run of each reference beside each run of the command, so that both see the
// same machine.
Figures measure(Case& c, Context& ctx, int runs) {
    const std::string data = ctx.dir + "/Q7.dat";
    const std::string copy = ctx.dir + "/copy.dat";
    static UnsyncedFileSystem unsyncedFs;
    Figures f;
    for (int i = 0; i < runs; ++i) {
        ctx.fs = &q7::posixFileSystem();
        if (c.prepare) c.prepare(ctx);
        if (c.baseline == Baseline::RawRead) f.read.add(seconds([&] { rawRead(data); }));
        if (c.baseline == Baseline::RawCopy)
            f.synced.add(seconds([&] { rawCopy(data, copy, true); }));
        f.command.add(seconds([&] { c.run(ctx); }));
        if (c.baseline != Baseline::RawCopy) continue;
        ctx.fs = &unsyncedFs;
        if (c.prepare) c.prepare(ctx);
        f.unsynced.add(seconds([&] { rawCopy(data, copy, false); }));
        f.unsyncedCommand.add(seconds([&] { c.run(ctx); }));
    }
    ctx.fs = &q7::posixFileSystem();
    if (c.finish) c.finish(ctx);
    return f;
}

} // namespace

int add(Case c) {
    cases().push_back(std::move(c));
    return int(cases().size());
}

} // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    const int records = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : q7::maxRecords;
    const int runs = runsFromArguments(argc, argv, 9);
    // "--only TEXT" runs the commands whose name holds TEXT.
    std::string only;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--only") only = argv[i + 1];
    char tmpl[] = "/tmp/q7bench-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    const std::string master = dir + "/master.dat";
    const std::string data = dir + "/Q7.dat";
    generateCatalogue(master, records);
    // Every run starts from the generated catalogue, already on the disk.
    const auto install = [&](const std::string& from) {
        std::filesystem::copy_file(from, data, std::filesystem::copy_options::overwrite_existing);
        syncFile(data);
    };
    const auto reset = [&] { install(master); };
    reset();
    Context ctx{dir, records, reset, install};

    std::printf("catalogue: %d records, %.1f MB; median of %d runs [min - max]; load %s\n", records,
                records * 1048 / 1e6, runs, loadAverage().c_str());
    int missed = 0;
    for (Case& c : cases()) {
        if (c.name.find(only) == std::string::npos) continue;
        if (c.baseline == Baseline::Report) {
            ctx.fs = &q7::posixFileSystem();
            c.run(ctx);
            reset();
            continue;
        }
        const HostShare host;
        const Figures f = measure(c, ctx, runs);
        printTimes(c.name, f.command);
        std::printf("  the host took %.1f %% of the processors meanwhile (steal)\n",
                    host.percent());
        const double t = f.command.median();
        if (c.baseline == Baseline::RawRead) {
            missed += printRatio("raw read", t / f.read.median(), f.read.median() * 1e3, c.goal) ==
                      Verdict::Missed;
        } else if (c.baseline == Baseline::RawCopy) {
            missed += printRatio("raw synced copy", t / f.synced.median(), f.synced.median() * 1e3,
                                 c.goal) == Verdict::Missed;
            printTimes("  the same, syncs skipped", f.unsyncedCommand);
            missed +=
                printRatio("raw unsynced copy", f.unsyncedCommand.median() / f.unsynced.median(),
                           f.unsynced.median() * 1e3, c.unsyncedGoal) == Verdict::Missed;
        } else if (c.maxSeconds > 0) {
            const bool met = t <= c.maxSeconds;
            missed += !met;
            std::printf("  goal under %.1f s: %s\n", c.maxSeconds, met ? "met" : "MISSED");
        }
        reset();
    }
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("peak resident memory of the whole run: %ld MB\n", ru.ru_maxrss / 1024);
    std::printf("goals missed: %d\n", missed);
    std::filesystem::remove_all(dir);
    return missed == 0 ? 0 : 1;
}
