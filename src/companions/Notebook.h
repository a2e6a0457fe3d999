#pragma once
// The notebook Q7carnet.txt: one free text, CR LF line ends, Windows-1252 bytes.
#include "store/Folder.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

inline const std::string notebookFileName = "Q7carnet.txt";

// "=== 5/3/2026 ===": no leading zeros, the year in full.
std::string dateStamp(int day, int month, int year);

// "=== " + title, then "REF= " + reference, exactly as the record window shows them.
std::vector<std::string> referenceStamp(std::string_view title, std::string_view reference);

// What to add at the end of a text so that `lines` stand as new lines of their own,
// with CR LF: after a text that ends a line (or is empty) each line is followed by a
// break, otherwise each is preceded by one.
std::string linesToAppend(bool atLineStart, const std::vector<std::string>& lines);

// The first occurrence of `what` in `text` at or after `from`, letter case respected;
// nothing for an empty `what`. Works on any character type (the window searches its
// own text as it holds it, so positions stay exact).
template <class Char>
std::optional<std::size_t> findForward(std::basic_string_view<Char> text,
                                       std::basic_string_view<Char> what, std::size_t from) {
    if (what.empty() || from > text.size()) return std::nullopt;
    const std::size_t at = text.find(what, from);
    if (at == std::basic_string_view<Char>::npos) return std::nullopt;
    return at;
}

// The notebook's bytes. A missing file is first created holding "Vide" CR LF; a file
// that exists but cannot be read is reported (IoError), never replaced.
std::string loadNotebook(const Folder& folder);

// Replaces the file safely with `text`, or with "Vide" when the text is empty.
// Returns the bytes written.
std::string saveNotebook(const Folder& folder, const std::string& text);

} // namespace q7
