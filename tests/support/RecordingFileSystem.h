#pragma once
// A file layer over the real one that keeps a log of every change a command makes under
// one folder (open, write, truncate, sync, rename, remove, link, folder creation and
// sync), each naming the file it touched, so the folders a crash could leave can be
// rebuilt afterwards (see CrashReplay.h).
#include "store/FileSystem.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct FileStep {
    enum Kind { Open, Write, Truncate, Sync, Rename, Remove, Link, MakeDir, SyncDir };
    Kind kind = Open;
    std::string name;     // relative to the folder; the folder itself is ""
    std::string to;       // Rename, Link
    int file = -1;        // which file (Open, Write, Truncate, Sync)
    bool empties = false; // Open: the file is cut to nothing
    std::uint64_t offset = 0;
    std::uint64_t size = 0; // Truncate
    std::string bytes;      // Write

    static FileStep of(Kind kind, std::string name = {}, std::string to = {}, int file = -1) {
        FileStep s;
        s.kind = kind;
        s.name = std::move(name);
        s.to = std::move(to);
        s.file = file;
        return s;
    }
};

// The folder as it was when recording began: each name and the file it stands for (two
// names of one file share the number), and the files' bytes.
struct FolderImage {
    std::map<std::string, int> names;
    std::map<int, std::string> files;
    std::vector<std::string> dirs; // sub-folders, relative
};

class RecordingFileSystem : public q7::FileSystem {
public:
    // Reads the folder as it stands (one level of sub-folders) and starts an empty log.
    explicit RecordingFileSystem(std::string root);

    const FolderImage& start() const { return start_; }
    const std::vector<FileStep>& steps() const { return steps_; }

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

    // Used by the recorded files.
    void log(FileStep step) { steps_.push_back(std::move(step)); }

private:
    // The name under the folder, or nullptr for a path outside it.
    bool relative(const std::string& path, std::string& name) const;
    int fileOf(const std::string& name);
    q7::FileSystem& real_;
    std::string root_;
    FolderImage start_;
    std::map<std::string, int> names_; // as the log leaves them
    int nextFile_ = 0;
    std::vector<FileStep> steps_;
};
