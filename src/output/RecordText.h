#pragma once
// The readable listing of one record: the block of the TXT export and the record
// text file Q7fiche.txt share every line about the fields. Bytes are Windows-1252,
// every line ends with CR LF.
#include "settings/Settings.h"
#include "store/Fiche.h"
#include "store/Folder.h"

#include <string>

namespace q7 {

inline const std::string recordTextFileName = "Q7fiche.txt";

inline constexpr std::string_view crlf = "\r\n";

// "oui" when the stored byte is exactly 1, "non" for any other value.
std::string_view flagText(unsigned char byte);
// Day, month and year in decimal without leading zeros, joined by ":".
std::string dateText(const Fiche& f);

// The field lines shared by both listings (title to the fourth position).
void appendFieldLines(std::string& out, const Fiche& f, const Settings& captions);

// The 24-line block of the TXT export; `number` is the record's 1-based rank.
void appendTxtBlock(std::string& out, const Fiche& f, int number, const Settings& captions);

// The 23 lines of Q7fiche.txt.
std::string recordText(const Fiche& f, int number, const Settings& captions);

// Writes Q7fiche.txt in the folder; an earlier file stays whole if this one fails.
void writeRecordTextFile(const Folder& folder, const Fiche& f, int number,
                         const Settings& captions);

} // namespace q7
