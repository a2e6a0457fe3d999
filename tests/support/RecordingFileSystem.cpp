#include "RecordingFileSystem.h"

#include "store/Errors.h"

#include <sys/stat.h>

namespace {

std::string readAll(q7::FileSystem& fs, const std::string& path) {
    auto file = fs.open(path, q7::OpenMode::Read);
    std::string bytes(file->size(), '\0');
    bytes.resize(file->readAt(bytes.data(), bytes.size(), 0));
    return bytes;
}

bool isDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class RecordedFile : public q7::File {
public:
    RecordedFile(RecordingFileSystem& fs, std::unique_ptr<q7::File> inner, int file, bool append)
        : fs_(fs), inner_(std::move(inner)), file_(file), append_(append) {}
    std::size_t readAt(void* d, std::size_t n, std::uint64_t o) override {
        return inner_->readAt(d, n, o);
    }
    void writeAt(const void* d, std::size_t n, std::uint64_t o) override {
        auto step = FileStep::of(FileStep::Write);
        step.file = file_;
        step.offset = append_ ? inner_->size() : o;
        step.bytes.assign(static_cast<const char*>(d), n);
        inner_->writeAt(d, n, o);
        if (file_ >= 0) fs_.log(std::move(step));
    }
    std::uint64_t size() override { return inner_->size(); }
    void sync() override {
        inner_->sync();
        logSync();
    }
    void syncData() override {
        inner_->syncData();
        logSync();
    }
    void truncate(std::uint64_t size) override {
        inner_->truncate(size);
        auto step = FileStep::of(FileStep::Truncate);
        step.file = file_;
        step.size = size;
        if (file_ >= 0) fs_.log(std::move(step));
    }
    bool tryLock() override { return inner_->tryLock(); }
    q7::FileId id() override { return inner_->id(); }

private:
    void logSync() {
        if (file_ >= 0) fs_.log(FileStep::of(FileStep::Sync, {}, {}, file_));
    }
    RecordingFileSystem& fs_;
    std::unique_ptr<q7::File> inner_;
    int file_;
    bool append_;
};

} // namespace

RecordingFileSystem::RecordingFileSystem(std::string root)
    : real_(q7::posixFileSystem()), root_(std::move(root)) {
    std::map<std::uint64_t, int> byInode;
    auto take = [&](const std::string& name) {
        const std::string path = root_ + "/" + name;
        if (isDir(path)) {
            start_.dirs.push_back(name);
            return false;
        }
        const std::uint64_t inode = real_.idOf(path).inode;
        auto [it, added] = byInode.emplace(inode, nextFile_);
        if (added) start_.files[nextFile_++] = readAll(real_, path);
        start_.names[name] = it->second;
        return true;
    };
    for (const std::string& entry : real_.list(root_))
        if (!take(entry))
            for (const std::string& inner : real_.list(root_ + "/" + entry))
                take(entry + "/" + inner);
    names_ = start_.names;
}

bool RecordingFileSystem::relative(const std::string& path, std::string& name) const {
    if (path.size() <= root_.size() + 1 || path.compare(0, root_.size(), root_) != 0 ||
        path[root_.size()] != '/')
        return false;
    name = path.substr(root_.size() + 1);
    return true;
}

int RecordingFileSystem::fileOf(const std::string& name) {
    auto [it, added] = names_.emplace(name, nextFile_);
    if (added) ++nextFile_;
    return it->second;
}

std::unique_ptr<q7::File> RecordingFileSystem::open(const std::string& path, q7::OpenMode mode) {
    auto inner = real_.open(path, mode);
    std::string name;
    int file = -1;
    const bool reads = mode == q7::OpenMode::Read || mode == q7::OpenMode::ReadNoLink;
    if (!reads && relative(path, name)) {
        file = fileOf(name);
        auto step = FileStep::of(FileStep::Open, name);
        step.file = file;
        step.empties = mode == q7::OpenMode::CreateNew;
        log(std::move(step));
    }
    return std::make_unique<RecordedFile>(*this, std::move(inner), file,
                                          mode == q7::OpenMode::Append);
}

bool RecordingFileSystem::exists(const std::string& path) {
    return real_.exists(path);
}

void RecordingFileSystem::remove(const std::string& path) {
    real_.remove(path);
    std::string name;
    if (!relative(path, name)) return;
    names_.erase(name);
    log(FileStep::of(FileStep::Remove, name));
}

void RecordingFileSystem::rename(const std::string& from, const std::string& to) {
    real_.rename(from, to);
    std::string a, b;
    if (!relative(from, a) || !relative(to, b)) return;
    const int file = fileOf(a);
    names_.erase(a);
    names_[b] = file;
    log(FileStep::of(FileStep::Rename, a, b));
}

void RecordingFileSystem::syncDir(const std::string& path) {
    real_.syncDir(path);
    // "dir/" is the folder "dir" (an output's folder is taken from its path).
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    std::string name;
    if (dir == root_)
        log(FileStep::of(FileStep::SyncDir, ""));
    else if (relative(dir, name))
        log(FileStep::of(FileStep::SyncDir, name));
}

q7::FileId RecordingFileSystem::idOf(const std::string& path) {
    return real_.idOf(path);
}

void RecordingFileSystem::link(const std::string& from, const std::string& to) {
    real_.link(from, to);
    std::string a, b;
    if (!relative(from, a) || !relative(to, b)) return;
    names_[b] = fileOf(a);
    log(FileStep::of(FileStep::Link, a, b));
}

void RecordingFileSystem::makeDir(const std::string& path) {
    const bool existed = isDir(path);
    real_.makeDir(path);
    std::string name;
    if (!existed && relative(path, name)) log(FileStep::of(FileStep::MakeDir, name));
}

std::vector<std::string> RecordingFileSystem::list(const std::string& dir) {
    return real_.list(dir);
}
