#include "FaultyFileSystem.h"

#include "store/Errors.h"

#include <cerrno>

namespace {
class FaultyFile : public q7::File {
public:
    FaultyFile(FaultyFileSystem& fs, std::unique_ptr<q7::File> inner, std::string path)
        : fs_(fs), inner_(std::move(inner)), path_(std::move(path)) {}
    std::size_t readAt(void* d, std::size_t n, std::uint64_t o) override {
        fs_.check(FaultyFileSystem::Op::Read, path_);
        return inner_->readAt(d, n, o);
    }
    void writeAt(const void* d, std::size_t n, std::uint64_t o) override {
        fs_.check(FaultyFileSystem::Op::Write, path_);
        if (fs_.watches(path_) && fs_.tears()) {
            inner_->writeAt(d, n / 2, o);
            throw q7::IoError(5 /* EIO */);
        }
        const auto fits = static_cast<std::size_t>(fs_.spend(static_cast<long long>(n), path_));
        if (fits < n) {
            if (fits > 0) inner_->writeAt(d, fits, o);
            throw q7::IoError(ENOSPC);
        }
        inner_->writeAt(d, n, o);
    }
    std::uint64_t size() override { return inner_->size(); }
    void sync() override {
        fs_.check(FaultyFileSystem::Op::Sync, path_);
        inner_->sync();
    }
    void syncData() override {
        fs_.check(FaultyFileSystem::Op::Sync, path_);
        inner_->syncData();
    }
    void truncate(std::uint64_t size) override {
        fs_.check(FaultyFileSystem::Op::Truncate, path_);
        inner_->truncate(size);
    }
    bool tryLock() override {
        fs_.aboutToLock();
        return inner_->tryLock();
    }
    q7::FileId id() override { return inner_->id(); }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<q7::File> inner_;
    std::string path_;
};
} // namespace

void FaultyFileSystem::failNth(Op op, int n, int code) {
    counts_[int(op)] = 0;
    failAt_[int(op)] = n;
    codes_[int(op)] = code;
}

void FaultyFileSystem::tearNthWrite(int n) {
    counts_[int(Op::Write)] = 0;
    tearAt_ = n;
}

void FaultyFileSystem::diskFullAfter(long long bytes) {
    budget_ = bytes;
}

void FaultyFileSystem::reset() {
    for (int i = 0; i < opCount; ++i)
        counts_[i] = failAt_[i] = codes_[i] = 0;
    budget_ = -1;
    tearAt_ = 0;
    fragment_.clear();
    beforeLock_ = nullptr;
}

bool FaultyFileSystem::watches(const std::string& path) const {
    return fragment_.empty() || path.find(fragment_) != std::string::npos;
}

void FaultyFileSystem::check(Op op, const std::string& path) {
    if (!watches(path)) return;
    const int i = int(op);
    ++counts_[i];
    if (failAt_[i] != 0 && counts_[i] == failAt_[i]) throw q7::IoError(codes_[i]);
}

long long FaultyFileSystem::spend(long long bytes, const std::string& path) {
    if (budget_ < 0 || !watches(path)) return bytes;
    const long long fits = std::min(bytes, budget_);
    budget_ -= fits;
    return fits;
}

void FaultyFileSystem::aboutToLock() {
    if (!beforeLock_) return;
    auto action = std::move(beforeLock_);
    beforeLock_ = nullptr;
    action();
}

std::unique_ptr<q7::File> FaultyFileSystem::open(const std::string& path, q7::OpenMode mode) {
    check(Op::Open, path);
    return std::make_unique<FaultyFile>(*this, q7::posixFileSystem().open(path, mode), path);
}

bool FaultyFileSystem::exists(const std::string& path) {
    return q7::posixFileSystem().exists(path);
}

void FaultyFileSystem::remove(const std::string& path) {
    check(Op::Remove, path);
    q7::posixFileSystem().remove(path);
}

void FaultyFileSystem::rename(const std::string& from, const std::string& to) {
    check(Op::Rename, to);
    q7::posixFileSystem().rename(from, to);
}

void FaultyFileSystem::syncDir(const std::string& dir) {
    check(Op::SyncDir, dir);
    q7::posixFileSystem().syncDir(dir);
}

q7::FileId FaultyFileSystem::idOf(const std::string& path) {
    return q7::posixFileSystem().idOf(path);
}

void FaultyFileSystem::link(const std::string& from, const std::string& to) {
    check(Op::Link, to);
    q7::posixFileSystem().link(from, to);
}

void FaultyFileSystem::makeDir(const std::string& path) {
    check(Op::MakeDir, path);
    q7::posixFileSystem().makeDir(path);
}

std::vector<std::string> FaultyFileSystem::list(const std::string& dir) {
    return q7::posixFileSystem().list(dir);
}
