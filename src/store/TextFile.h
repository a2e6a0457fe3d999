#pragma once
// Whole text files of the working folder, as bytes.
#include "store/Folder.h"

#include <string>

namespace q7 {

// The file's bytes; throws IoError when it cannot be read.
std::string readWholeFile(const Folder& folder, const std::string& name);

// Replaces the file so that at every moment either the old or the new content is
// on disk: written beside it, synced, then renamed over it.
void replaceFile(const Folder& folder, const std::string& name, const std::string& bytes);

} // namespace q7
