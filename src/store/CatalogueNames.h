#pragma once
// The catalogue's file names in the data folder.
#include <string>

namespace q7 {

inline const std::string dataFileName = "Q7.dat";
// Scratch copy written by a rewrite, renamed over Q7.dat once whole.
inline const std::string tempFileName = "Q7.tmp";
// References of deleted records, free to be given again.
inline constexpr const char* oldReferencesFile = "Q7ancnum.lst";

} // namespace q7
