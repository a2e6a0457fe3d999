#include "output/OutputFile.h"

namespace q7 {

namespace {
constexpr std::size_t blockSize = 1 << 20;
}

OutputFile::OutputFile(FileSystem& fs, const std::string& path)
    : file_(fs.open(path, OpenMode::CreateNew)) {
    buffer_.reserve(blockSize + 4096);
}

OutputFile::~OutputFile() {
    if (broken_ || buffer_.empty()) return;
    try {
        flush();
    } catch (...) {
    }
}

void OutputFile::flushIfFull() {
    if (buffer_.size() >= blockSize) flush();
}

void OutputFile::flush() {
    if (buffer_.empty()) return;
    broken_ = true; // a failed write is not tried again on the way out
    file_->writeAt(buffer_.data(), buffer_.size(), written_);
    broken_ = false;
    written_ += buffer_.size();
    buffer_.clear();
}

void OutputFile::finish() {
    flush();
    file_->sync();
}

} // namespace q7
