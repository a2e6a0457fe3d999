#pragma once
// A file layer over the real one that fails on demand: the k-th operation of a kind,
// or every write once a byte budget is spent (a full disk).
#include "store/FileSystem.h"

#include <functional>
#include <string>

class FaultyFileSystem : public q7::FileSystem {
public:
    enum class Op { Open, Read, Write, Sync, Remove, Rename, SyncDir };

    // Fail the n-th (1-based) operation of this kind from now on, with errno `code`.
    void failNth(Op op, int n, int code = 5 /* EIO */);
    // Writes fail with "disk full" once this many more bytes were written.
    void diskFullAfter(long long bytes);
    // Only paths whose file name contains this text are counted and failed.
    void onlyFor(std::string fragment) { fragment_ = std::move(fragment); }
    void reset();
    int count(Op op) const { return counts_[int(op)]; }

    std::unique_ptr<q7::File> open(const std::string& path, q7::OpenMode mode) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;
    void syncDir(const std::string& dir) override;
    std::vector<std::string> list(const std::string& dir) override;

    // Used by the wrapped files.
    void check(Op op, const std::string& path);
    void spend(long long bytes);

private:
    int counts_[7] = {};
    int failAt_[7] = {};
    int codes_[7] = {};
    long long budget_ = -1;
    std::string fragment_;
};
