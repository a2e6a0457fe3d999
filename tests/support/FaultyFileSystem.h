#pragma once
// A file layer over the real one that fails on demand: the k-th operation of a kind,
// or every write once a byte budget is spent (a full disk).
#include "store/FileSystem.h"

#include <functional>
#include <string>

class FaultyFileSystem : public q7::FileSystem {
public:
    enum class Op { Open, Read, Write, Sync, Remove, Rename, SyncDir, Truncate, Link, MakeDir };
    static constexpr int opCount = 10;

    // Fail the n-th (1-based) operation of this kind from now on, with errno `code`.
    void failNth(Op op, int n, int code = 5 /* EIO */);
    // Writes fail with "disk full" once this many more bytes were written; the write
    // that crosses the limit puts its first bytes on disk, as a real full disk does.
    void diskFullAfter(long long bytes);
    // The n-th write from now on puts its first half on disk, then fails (EIO).
    void tearNthWrite(int n);
    // Only paths whose file name contains this text are counted and failed (the disk is
    // full for them alone).
    void onlyFor(std::string fragment) { fragment_ = std::move(fragment); }
    // Runs `action` once, at the next lock attempt, before the lock is taken: another
    // program's work slipping in between an open and its lock.
    void beforeNextLock(std::function<void()> action) { beforeLock_ = std::move(action); }
    void reset();
    int count(Op op) const { return counts_[int(op)]; }

    std::unique_ptr<q7::File> open(const std::string& path, q7::OpenMode mode) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;
    void syncDir(const std::string& dir) override;
    q7::FileId idOf(const std::string& path) override;
    void link(const std::string& from, const std::string& to) override;
    void makeDir(const std::string& path) override;
    std::vector<std::string> list(const std::string& dir) override;
    std::string resolve(const std::string& path) override {
        return q7::posixFileSystem().resolve(path);
    }
    q7::FileKind kindOf(const std::string& path) override {
        return q7::posixFileSystem().kindOf(path);
    }

    // Used by the wrapped files.
    void check(Op op, const std::string& path);
    // After check(Write): whether this write is the one to tear.
    bool tears() const { return tearAt_ != 0 && counts_[int(Op::Write)] == tearAt_; }
    // How many of `bytes` fit before the disk is full (all of them when no limit is set).
    long long spend(long long bytes, const std::string& path);
    bool watches(const std::string& path) const;
    void aboutToLock();

private:
    int counts_[opCount] = {};
    int failAt_[opCount] = {};
    int codes_[opCount] = {};
    int tearAt_ = 0;
    long long budget_ = -1;
    std::string fragment_;
    std::function<void()> beforeLock_;
};
