#include "MemoryFileSystem.h"

#include "store/Errors.h"

#include <cerrno>
#include <cstring>

namespace {

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool creates(q7::OpenMode mode) {
    return mode != q7::OpenMode::Read && mode != q7::OpenMode::ReadWrite &&
           mode != q7::OpenMode::ReadNoLink;
}

std::string trimmed(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

class MemoryFile : public q7::File {
public:
    MemoryFile(std::shared_ptr<MemoryFileSystem::Node> node, bool writable, bool append)
        : node_(std::move(node)), writable_(writable), append_(append) {}

    std::size_t readAt(void* data, std::size_t size, std::uint64_t offset) override {
        const std::string& d = node_->data;
        if (offset >= d.size()) return 0;
        const std::size_t n = std::min<std::size_t>(size, d.size() - offset);
        std::memcpy(data, d.data() + offset, n);
        return n;
    }
    void writeAt(const void* data, std::size_t size, std::uint64_t offset) override {
        if (!writable_) throw q7::IoError(EBADF);
        std::string& d = node_->data;
        if (append_) offset = d.size();
        if (d.size() < offset + size) d.resize(offset + size, '\0');
        std::memcpy(d.data() + offset, data, size);
    }
    std::uint64_t size() override { return node_->data.size(); }
    void sync() override {}
    void syncData() override {}
    void truncate(std::uint64_t size) override { node_->data.resize(size, '\0'); }
    bool tryLock() override { return true; }
    q7::FileId id() override { return {1, node_->inode}; }

private:
    std::shared_ptr<MemoryFileSystem::Node> node_;
    bool writable_;
    bool append_;
};

} // namespace

void MemoryFileSystem::put(const std::string& path, const std::string& bytes) {
    dirs_.insert(parentOf(path));
    auto node = std::make_shared<Node>();
    node->data = bytes;
    node->inode = nextInode_++;
    files_[path] = node;
}

std::string MemoryFileSystem::bytes(const std::string& path) const {
    auto node = find(path);
    if (!node) throw q7::IoError(ENOENT);
    return node->data;
}

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::find(const std::string& path) const {
    const auto it = files_.find(path);
    return it == files_.end() ? nullptr : it->second;
}

std::unique_ptr<q7::File> MemoryFileSystem::open(const std::string& path, q7::OpenMode mode) {
    using q7::OpenMode;
    if (dirs_.count(trimmed(path))) throw q7::IoError(EISDIR);
    if (!dirs_.count(parentOf(path))) throw q7::IoError(ENOENT);
    auto node = find(path);
    if (!node) {
        if (!creates(mode)) throw q7::IoError(ENOENT);
        put(path, {});
        node = find(path);
    } else if (mode == OpenMode::CreateNew) {
        node->data.clear();
    }
    const bool reads = mode == OpenMode::Read || mode == OpenMode::ReadNoLink;
    return std::make_unique<MemoryFile>(node, !reads, mode == OpenMode::Append);
}

q7::FileKind MemoryFileSystem::kindOf(const std::string& path) {
    if (dirs_.count(trimmed(path))) return q7::FileKind::Folder;
    return files_.count(path) ? q7::FileKind::Regular : q7::FileKind::Missing;
}

bool MemoryFileSystem::exists(const std::string& path) {
    return files_.count(path) != 0 || dirs_.count(trimmed(path)) != 0;
}

void MemoryFileSystem::remove(const std::string& path) {
    if (files_.erase(path) == 0) throw q7::IoError(ENOENT);
}

void MemoryFileSystem::rename(const std::string& from, const std::string& to) {
    auto node = find(from);
    if (!node) throw q7::IoError(ENOENT);
    if (!dirs_.count(parentOf(to))) throw q7::IoError(ENOENT);
    files_.erase(from);
    files_[to] = node;
}

void MemoryFileSystem::syncDir(const std::string&) {}

q7::FileId MemoryFileSystem::idOf(const std::string& path) {
    auto node = find(path);
    if (!node) throw q7::IoError(ENOENT);
    return {1, node->inode};
}

void MemoryFileSystem::link(const std::string& from, const std::string& to) {
    auto node = find(from);
    if (!node) throw q7::IoError(ENOENT);
    if (exists(to)) throw q7::IoError(EEXIST);
    if (!dirs_.count(parentOf(to))) throw q7::IoError(ENOENT);
    files_[to] = node;
}

void MemoryFileSystem::makeDir(const std::string& path) {
    if (files_.count(path)) throw q7::IoError(EEXIST);
    dirs_.insert(trimmed(path));
}

std::vector<std::string> MemoryFileSystem::list(const std::string& dir) {
    const std::string d = trimmed(dir);
    if (!dirs_.count(d)) throw q7::IoError(ENOENT);
    std::vector<std::string> names;
    for (const auto& [path, node] : files_)
        if (parentOf(path) == d) names.push_back(path.substr(d.empty() ? 0 : d.size() + 1));
    for (const std::string& sub : dirs_)
        if (!sub.empty() && sub != "." && sub != d && parentOf(sub) == d)
            names.push_back(sub.substr(d.empty() ? 0 : d.size() + 1));
    return names;
}
