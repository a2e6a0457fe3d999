#pragma once
// A file layer held in memory, so that fuzz targets run whole commands (open, sort,
// backups) many thousand times a second without touching the disk.
#include "store/FileSystem.h"

#include <map>
#include <memory>
#include <set>
#include <string>

class MemoryFileSystem : public q7::FileSystem {
public:
    // Puts a file with these bytes (its folder is created).
    void put(const std::string& path, const std::string& bytes);
    // The bytes of a file; throws IoError when there is none.
    std::string bytes(const std::string& path) const;

    std::unique_ptr<q7::File> open(const std::string& path, q7::OpenMode mode) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;
    void syncDir(const std::string& dir) override;
    q7::FileId idOf(const std::string& path) override;
    void link(const std::string& from, const std::string& to) override;
    void makeDir(const std::string& path) override;
    std::vector<std::string> list(const std::string& dir) override;
    q7::FileKind kindOf(const std::string& path) override;

    struct Node {
        std::string data;
        std::uint64_t inode = 0;
    };

private:
    std::shared_ptr<Node> find(const std::string& path) const;
    std::map<std::string, std::shared_ptr<Node>> files_;
    std::set<std::string> dirs_{"", "."};
    std::uint64_t nextInode_ = 1;
};
