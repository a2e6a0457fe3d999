#include "ForeignChanges.h"

#include "store/DataFile.h"
#include "store/Fiche.h"
#include "store/Journal.h"
#include "store/TextFile.h"

#include <filesystem>
#include <fstream>

namespace {

std::string records(int n, const std::string& title) {
    std::string bytes;
    for (int i = 1; i <= n; ++i) {
        q7::Fiche f;
        f.setText(q7::Field::titre, title + std::to_string(i));
        bytes.append(reinterpret_cast<const char*>(f.bytes.data()), q7::ficheSize);
    }
    return bytes;
}

// Another collector's catalogue, of `size` bytes.
std::string otherCatalogue(std::uint64_t size) {
    std::string bytes = records(int(size / q7::ficheSize), "Autre catalogue ");
    bytes.resize(size, 'x');
    return bytes;
}

// The journal a save cut short leaves in another folder holding `catalogue`: its second
// record changed there (its first, or an append, in a smaller one).
std::string otherJournal(const std::string& catalogue, const std::string& scratch) {
    static std::map<std::string, std::string> made;
    if (auto it = made.find(catalogue); it != made.end()) return it->second;
    const std::string dir = scratch + "/autre dossier";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/" + q7::dataFileName, std::ios::binary) << catalogue;
    const q7::Folder folder(q7::posixFileSystem(), dir);
    {
        auto data = folder.fs().open(folder.path(q7::dataFileName), q7::OpenMode::ReadWrite);
        q7::Journal journal(folder);
        q7::Fiche changed;
        changed.setText(q7::Field::titre, "Changé dans l'autre dossier");
        const std::uint64_t count = catalogue.size() / q7::ficheSize;
        const std::uint64_t at =
            count == 0 ? catalogue.size() : std::min<std::uint64_t>(1, count - 1) * q7::ficheSize;
        journal.protect(*data, catalogue.size(), at, changed.bytes.data(), q7::ficheSize);
        // Dropped with its write unfinished: the entry stays.
    }
    const std::string bytes = q7::readWholeFile(folder, q7::journalFileName);
    std::filesystem::remove_all(dir);
    return made[catalogue] = bytes;
}

int unusedFile(const FolderImage& image) {
    return image.files.empty() ? 0 : image.files.rbegin()->first + 1;
}

} // namespace

bool changeAfterCrash(CrashModel model, const FolderImage& before, FolderImage& image,
                      const std::string& scratch) {
    const auto data = image.names.find(q7::dataFileName);
    if (data == image.names.end()) return false;
    const std::string live = image.files.at(data->second);
    const int fresh = unusedFile(image);
    switch (model) {
    case CrashModel::ThenRecordsAppended:
        // In place, as the Windows program writes: a second name of the file sees it too.
        image.files.at(data->second) += records(5, "Ajouté sous Windows ");
        return true;
    case CrashModel::ThenCatalogueCopied: image.files[fresh] = otherCatalogue(live.size()); break;
    case CrashModel::ThenBackupRestored: {
        const std::string* old = contentOf(before, q7::dataFileName);
        image.files[fresh] = (old ? *old : live) + records(10, "Livre d'autrefois ");
        break;
    }
    case CrashModel::ThenOtherJournal:
        image.files[fresh] = otherJournal(otherCatalogue(live.size()), scratch);
        image.names[q7::journalFileName] = fresh;
        return true;
    default: return false;
    }
    image.names[q7::dataFileName] = fresh;
    return true;
}
