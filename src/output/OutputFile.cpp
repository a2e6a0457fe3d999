#include "output/OutputFile.h"

namespace q7 {

namespace {
constexpr std::size_t blockSize = 1 << 20;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
} // namespace

OutputFile::OutputFile(FileSystem& fs, std::string path)
    : fs_(fs), path_(std::move(path)), temp_(path_ + ".tmp") {
    file_ = fs_.open(temp_, OpenMode::CreateNew);
}

OutputFile::~OutputFile() {
    if (!done_) discard();
}

void OutputFile::discard() {
    file_.reset();
    try {
        if (fs_.exists(temp_)) fs_.remove(temp_);
    } catch (...) {
    }
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
