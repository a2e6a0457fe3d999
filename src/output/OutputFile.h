#pragma once
// An output file written through the file layer in large blocks. The file is created
// anew; on a failure what was already written stays in it.
#include "store/FileSystem.h"

#include <memory>
#include <string>

namespace q7 {

class OutputFile {
public:
    OutputFile(FileSystem& fs, const std::string& path);
    // Leaving early (a read failed): the lines built so far still go to the file.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Appending here then calling flushIfFull() keeps memory to about one block.
    std::string& buffer() { return buffer_; }
    void flushIfFull();
    // Writes the rest and syncs.
    void finish();

private:
    void flush();
    std::unique_ptr<File> file_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    bool broken_ = false;
};

} // namespace q7
