#pragma once
// How many entries a value list file holds, as the statistics window counts them.
#include "store/Folder.h"

#include <optional>
#include <string>

namespace q7 {

// The list file that `caption` names: "Q7" + caption + ".lst", except that the user
// text caption names Q7utilisat.lst. Nothing when the file is missing, or when the
// name holds a path separator: only files of the working folder are counted.
// Texts are Windows-1252 bytes; the name is looked up ignoring case.
std::optional<std::string> existingListFile(const Folder& folder, const std::string& caption,
                                            const std::string& userCaption);

// The number of lines of the file: a line ends at CR, LF or CR LF or at the end of the
// file, a line break at the very end adds none, empty lines inside count.
int countListLines(const Folder& folder, const std::string& name);

} // namespace q7
