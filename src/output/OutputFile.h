#pragma once
// An output file written through the file layer in large blocks. It is written beside
// the file it replaces and put in its place only once complete, so a failure (a full
// disk, a read error half-way) leaves the earlier file whole and no partial one; what a
// crash leaves beside it is removed by the next output written in that folder.
#include "store/FileSystem.h"

#include <memory>
#include <string>

namespace q7 {

class OutputFile {
public:
    OutputFile(FileSystem& fs, std::string path);
    // Leaving without finish(): the partial file is removed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Appending here then calling flushIfFull() keeps memory to about one block.
    std::string& buffer() { return buffer_; }
    void flushIfFull();
    // Writes the rest, syncs, and renames the new file over the earlier one.
    void finish();

private:
    void flush();
    void discard();
    FileSystem& fs_;
    std::string path_;
    std::string temp_;
    std::unique_ptr<File> file_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    bool done_ = false;
};

} // namespace q7
