#include "output/OutputFile.h"

#include "store/Errors.h"
#include "store/Folder.h"

#include <cerrno>

namespace q7 {

namespace {
constexpr std::size_t blockSize = 1 << 20;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
} // namespace

OutputFile::OutputFile(FileSystem& fs, std::string path)
    : fs_(fs), path_(std::move(path)), temp_(outputScratchPath(path_)) {
    // In a folder the collector chose, nothing else would ever remove what a crash left.
    removeOutputScratch(fs_, folderOf(path_));
    file_ = fs_.open(temp_, OpenMode::CreateNoLink);
    bool mine = true;
    try {
        mine = file_->tryLock();
    } catch (const IoError&) {
        // A file system without locks: written all the same.
    }
    if (!mine) throw IoError(EAGAIN); // another copy of the program writes the same file
    file_->truncate(0);
}

OutputFile::~OutputFile() {
    if (!done_) discard();
}

void OutputFile::discard() {
    file_.reset();
    removeQuietly(fs_, temp_);
}

void OutputFile::flushIfFull() {
    if (buffer_.size() >= blockSize) flush();
}

void OutputFile::flush() {
    if (buffer_.empty()) return;
    file_->writeAt(buffer_.data(), buffer_.size(), written_);
    written_ += buffer_.size();
    buffer_.clear();
}

void OutputFile::finish() {
    flush();
    file_->sync();
    file_.reset();
    fs_.rename(temp_, path_);
    done_ = true;
    fs_.syncDir(folderOf(path_));
}

} // namespace q7
