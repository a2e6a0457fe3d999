#include "lists/OldReferences.h"

#include "store/ListFile.h"
#include "store/TextFile.h"

namespace q7 {

std::vector<std::string> readOldReferences(const Folder& folder) {
    if (!folder.exists(oldReferencesFile)) return {};
    return readListFile(folder, oldReferencesFile);
}

void addOldReference(const Folder& folder, const std::string& reference) {
    std::string bytes =
        folder.exists(oldReferencesFile) ? readWholeFile(folder, oldReferencesFile) : std::string();
    // Lines after a NUL are never read: the new one goes before them, the rest is kept.
    const std::string hidden(unreadTail(bytes));
    bytes.resize(bytes.size() - hidden.size());
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
    replaceFile(folder, oldReferencesFile, bytes + reference + "\r\n" + hidden);
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
