#pragma once
// Value list files (Q7auteur.lst...): one value per line, bytes as stored.
#include "store/Folder.h"

#include <string>
#include <string_view>
#include <vector>

namespace q7 {

// A line ends at CR LF, a lone LF or a lone CR; a last line without a line end is a
// value; a NUL byte ends the text. Values are kept exactly, empty lines included.
std::vector<std::string> parseListLines(const std::string& bytes);

// Every value followed by CR LF, in the order given.
std::string formatListLines(const std::vector<std::string>& values);

// The bytes from the first NUL on, which no reader sees (empty when there is no NUL).
std::string_view unreadTail(std::string_view bytes);

// The new content of a list file that held `previous`: the values, then the previous
// file's unread tail unchanged, so that a rewrite never throws away what a NUL hid.
std::string formatListFile(const std::vector<std::string>& values, std::string_view previous);

// Reads the list file (name looked up ignoring case); throws IoError.
std::vector<std::string> readListFile(const Folder& folder, const std::string& name);
// Replaces the file safely; it is never left empty or half-written by a failure.
// Whatever followed a NUL in the file stays after the new values.
void writeListFile(const Folder& folder, const std::string& name,
                   const std::vector<std::string>& values);
// True when the file exists and holds a NUL.
bool hasUnreadTail(const Folder& folder, const std::string& name);

} // namespace q7
