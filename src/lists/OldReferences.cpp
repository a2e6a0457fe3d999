#include "lists/OldReferences.h"

#include "store/ListFile.h"

namespace q7 {

std::vector<std::string> readOldReferences(const Folder& folder) {
    if (!folder.exists(oldReferencesFile)) return {};
    return readListFile(folder, oldReferencesFile);
}

void takeOldReference(const Folder& folder, std::vector<std::string> references,
                      std::size_t index) {
    // A file with bytes hidden behind a NUL is rewritten, never deleted with them.
    if (references.size() < 2 && !hasUnreadTail(folder, oldReferencesFile)) {
        const std::string path = folder.path(oldReferencesFile);
        if (folder.fs().exists(path)) {
            folder.fs().remove(path);
            folder.fs().syncDir(folder.dir());
        }
        return;
    }
    if (index < references.size()) references.erase(references.begin() + std::ptrdiff_t(index));
    writeListFile(folder, oldReferencesFile, references);
}

} // namespace q7
