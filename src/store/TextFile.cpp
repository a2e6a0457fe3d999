#include "store/TextFile.h"

#include "store/Errors.h"

namespace q7 {

std::string readWholeFile(const Folder& folder, const std::string& name) {
    auto file = folder.fs().open(folder.path(name), OpenMode::Read);
    std::string bytes;
    std::uint64_t offset = 0;
    char block[65536];
    for (;;) {
        std::size_t n = file->readAt(block, sizeof block, offset);
        if (n == 0) break;
        bytes.append(block, n);
        offset += n;
    }
    return bytes;
}

void replaceFile(const Folder& folder, const std::string& name, const std::string& bytes) {
    const std::string target = folder.path(name);
    const std::string temp = target + ".tmp";
    try {
        auto file = folder.fs().open(temp, OpenMode::CreateNew);
        file->writeAt(bytes.data(), bytes.size(), 0);
        file->sync();
    } catch (...) {
        removeQuietly(folder.fs(), temp);
        throw;
    }
    try {
        folder.fs().rename(temp, target);
    } catch (...) {
        removeQuietly(folder.fs(), temp);
        throw;
    }
    folder.fs().syncDir(folder.dir());
}

} // namespace q7
