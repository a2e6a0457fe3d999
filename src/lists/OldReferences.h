#pragma once
// Q7ancnum.lst: references of deleted records, oldest first, free to be given again.
#include "store/CatalogueNames.h"
#include "store/Folder.h"

#include <string>
#include <vector>

namespace q7 {

// The references in file order; none when the file is missing or empty.
// Throws IoError when it cannot be read.
std::vector<std::string> readOldReferences(const Folder& folder);

// Adds the reference of a deleted record at the end, on a line of its own even when the
// file's last line has no line end (else "2" then "3" would read as "23").
void addOldReference(const Folder& folder, const std::string& reference);

// Takes reference `index` out of `references` (the file's lines): the file is deleted
// when it held fewer than two (and nothing hidden after a NUL), otherwise safely
// rewritten with the others in order.
void takeOldReference(const Folder& folder, std::vector<std::string> references, std::size_t index);

} // namespace q7
