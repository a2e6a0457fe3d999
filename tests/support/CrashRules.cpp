// The open path the replays run on a rebuilt folder, and the rules across files some
// commands add (see CrashReplay.h).
#include "CrashReplay.h"

#include "store/DataFile.h"
#include "store/Fiche.h"

#include <algorithm>
#include <filesystem>
#include <set>

void openCatalogue(const std::string& dir) {
    q7::DataFile data(q7::Folder(q7::posixFileSystem(), dir));
    data.open();
    const std::string said = data.takeJournalNote();
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("Q7-journal-") && said.find(name) == std::string::npos)
            throw q7::Error(name + " a été mis de côté sans le dire");
    }
    while (!data.atEnd())
        data.readNext();
    data.close();
}

std::string referencesFreeOrLost(const FolderImage&, const FolderImage&, const FolderImage& now) {
    const std::string* list = contentOf(now, "Q7ancnum.lst");
    const std::string* data = contentOf(now, "Q7.dat");
    if (!list || !data) return {};
    std::set<std::string> used;
    q7::Fiche record;
    for (std::size_t at = 0; at + q7::ficheSize <= data->size(); at += q7::ficheSize) {
        std::copy_n(data->begin() + std::ptrdiff_t(at), q7::ficheSize, record.bytes.begin());
        used.insert(record.text(q7::Field::numero));
    }
    // The lines as the program reads them: up to a NUL, ends of line dropped.
    const std::string text = list->substr(0, list->find('\0'));
    std::string problems;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find_first_of("\r\n", from);
        if (end == std::string::npos) end = text.size();
        const std::string reference = text.substr(from, end - from);
        if (!reference.empty() && used.count(reference))
            problems += (problems.empty() ? "" : " ; ") + std::string("la référence ") + reference +
                        " est offerte et prise par une fiche";
        from = text.find_first_not_of("\r\n", end);
        if (from == std::string::npos) break;
    }
    return problems;
}
