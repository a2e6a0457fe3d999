#pragma once
// Each book's cover is one file of the folder Couvertures beside Q7.dat, named after the
// book's reference: the reference is what the collector sees of a book, and the record has
// no room for anything else. Every reader and writer of covers names them here.
#include <optional>
#include <string>
#include <string_view>

namespace q7 {

inline const std::string coversFolderName = "Couvertures";

// "12.jpg" for the reference "12" (Windows-1252 bytes), UTF-8. A character no file name
// can hold on Linux or Windows ("/", "\", ":", "*", "?", """, "<", ">", "|", controls),
// "%" itself, a blank or a dot at either end, and the first letter of a name Windows keeps
// for a device ("CON", "LPT1") are written "%XX" (the byte in hexadecimal), so that every
// reference has a name of its own. Empty for an empty reference: it can have no cover.
std::string coverFileName(std::string_view reference);

// The reference a file of Couvertures stands for; nothing when its name is not one that
// coverFileName() makes (other pictures, "12 (copie).JPG" is a reference's, "x.png" not).
// The extension's case does not matter: a camera writes ".JPG".
std::optional<std::string> referenceOfCover(std::string_view fileName);

// Where two references would meet on a file system that ignores letter case ("a1" and
// "A1"): both have one cover file there, so neither can be sure it is its own.
std::string coverKey(std::string_view reference);

} // namespace q7
