#pragma once
// What an ISBN is, offline: its two forms and their check digits, and the registration
// group and range it falls in according to the agency's range file. Messages are French
// UTF-8, ready to show.
#include <string>
#include <string_view>

namespace q7::isbn {

// The text without hyphens and spaces, a final "x" made "X".
std::string normalise(std::string_view typed);

// The check digit of the first 9 digits of an ISBN-10 ('0'..'9' or 'X'), of the first
// 12 of an ISBN-13.
char checkDigit10(std::string_view first9);
char checkDigit13(std::string_view first12);

// A well-formed ISBN-10 made 978-..., with its new check digit.
std::string to13(std::string_view isbn10);
// An ISBN-13 of the 978 prefix back to ten characters; empty for 979 (it has none).
std::string to10(std::string_view isbn13);

struct Checked {
    bool valid = false;
    std::string isbn13;     // 13 digits, when valid
    std::string isbn10;     // empty for 979
    std::string hyphenated; // "978-2-07-036002-4"
    std::string agency;     // the group's agency, as the range file names it
    std::string message;    // why it is not valid
};

// Length, characters, check digit, then group and range.
Checked check(std::string_view typed);

// The 13 digits of any well-formed ISBN text (hyphens, ISBN-10 or 13), without the range
// check; empty when it is none. Answers carry ISBNs in every form.
std::string digits13(std::string_view text);

} // namespace q7::isbn
