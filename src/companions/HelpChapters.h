#pragma once
// The help text Q7aide.txt and its chapters. Chapters are not marked in the file: each
// is a fixed range of characters, every line break counting as CR LF whatever the file
// holds, so a help file saved with LF or CR line ends keeps its chapters in place.
#include "store/Folder.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

inline const std::string helpFileName = "Q7aide.txt";

struct HelpChapter {
    std::string caption; // Windows-1252, as the selector shows it
    std::size_t start;
    std::size_t length; // npos for the whole text
};

// The 21 entries of the selector, in order; the first is the whole text.
const std::vector<HelpChapter>& helpChapters();

// The chapter whose caption equals `caption` byte for byte, or nullptr.
const HelpChapter* findHelpChapter(std::string_view caption);

// The chapter's part of `text` (line breaks already CR LF), cut at the end of the text.
std::string chapterText(std::string_view text, const HelpChapter& chapter);

// The folder whose Q7aide.txt is shown: the data folder when it has one, so a collector's
// edited help still counts, else the folder installed with the program (none when
// `installedDir` is empty); nullopt when neither holds the file.
std::optional<Folder> helpFolder(const Folder& data, const std::string& installedDir);

// The folder's help file with every line break as CR LF; throws IoError.
std::string readHelpText(const Folder& folder);

} // namespace q7
