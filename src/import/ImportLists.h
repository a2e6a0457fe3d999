#pragma once
// New authors, publishers, series, subjects and origins of an import into their value
// list files, in the order and format the program writes them; and back out again.
#include "store/Fiche.h"
#include "store/Folder.h"

#include <string>
#include <vector>

namespace q7::import {

struct ListAddition {
    std::string file;                // Q7auteur.lst...
    std::vector<std::string> values; // Windows-1252, not yet in the file
    bool created = false;            // the file did not exist: the undo removes it again
};

// The values of the records that their list files lack, each once.
std::vector<ListAddition> newListValues(const Folder& folder, const std::vector<Fiche>& records);
// Adds them; each file keeps every value it held, in its order, and each new value goes
// where the program's order (French, letter case ignored) puts it, so that taking the
// values out again gives the file back as it was.
void addToLists(const Folder& folder, const std::vector<ListAddition>& additions);
// Takes one occurrence of each value out again, when it is still there; a file the import
// created is removed when nothing else was put in it since.
void removeFromLists(const Folder& folder, const std::vector<ListAddition>& additions);

// Whether `file` is one of the lists an import fills.
bool isImportList(const std::string& file);

} // namespace q7::import
