#pragma once
// Value list files (Q7auteur.lst...): one value per line, bytes as stored.
#include "store/Folder.h"

#include <string>
#include <vector>

namespace q7 {

// A line ends at CR LF, a lone LF or a lone CR; a last line without a line end is a
// value; a NUL byte ends the text. Values are kept exactly, empty lines included.
std::vector<std::string> parseListLines(const std::string& bytes);

// Every value followed by CR LF, in the order given.
std::string formatListLines(const std::vector<std::string>& values);

// Reads the list file (name looked up ignoring case); throws IoError.
std::vector<std::string> readListFile(const Folder& folder, const std::string& name);
// Replaces the file safely; it is never left empty or half-written by a failure.
void writeListFile(const Folder& folder, const std::string& name,
                   const std::vector<std::string>& values);

} // namespace q7
