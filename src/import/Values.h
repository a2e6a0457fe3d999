#pragma once
// The values of other programs' files as the record wants them: ISBNs, prices, numbers,
// flags, dates, authors and rich texts. UTF-8 in, UTF-8 out; nothing here throws.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q7::import {

// Without blanks (spaces, tabs, line ends) at both ends.
std::string_view trimmed(std::string_view text);
// Blanks at both ends dropped, line breaks and tabs inside made single spaces.
std::string oneLine(std::string_view text);
// Line breaks made CR LF (as the memos keep them), blank lines at both ends dropped.
std::string paragraphs(std::string_view text);
// Tags dropped (a <br> or the end of a paragraph becomes a line break) and character
// references decoded; a text without tags only has its references decoded.
std::string withoutHtml(std::string_view text);

// What splitAuthors saw in a cell, for the report.
struct AuthorCell {
    std::string separator;   // ";", "&", "et", ",", ", &"...; empty for one author
    bool firm = false;       // a firm's name kept whole
    bool sharedName = false; // a lone given name kept with the surname after it
};

// Authors of one cell. ";", "|" and line breaks always separate. Otherwise " & ", " and "
// and " et " separate people, but not inside a firm's name ("O'Reilly & Associates") nor
// after a lone given name or initial, which shares the surname that follows ("Dan and
// Kathe Spracklen", "P. et GURGAND J.N." are each one author as written); a comma
// separates too when it is between people ("Victor Hugo, Alexandre Dumas & Jules Verne"),
// never inside one name ("Hugo, Victor").
std::vector<std::string> splitAuthors(std::string_view cell, AuthorCell* seen = nullptr);

// A volume as the record keeps it: "tome 3" -> "3", "1.0" -> "1", "II" stays "II".
std::string volumeText(std::string_view text);
// The same volume whatever its writing, for comparing: "II", "tome 2" and "2.0" give
// "2"; empty when the text is not a single volume number.
std::string volumeKey(std::string_view text);

struct Isbn {
    enum class Status {
        none,         // nothing given
        valid,        // a good ISBN-10 or ISBN-13
        zeroRestored, // a number that lost its leading zeros, recognised by its check digit
        fromExponent, // "9,782070368228E+12" written out whole, check digit right
        exponentLost, // "9,78E+12": the spreadsheet dropped digits; not kept
        wrongCheck,   // 10 or 13 digits whose check digit does not match; not kept
        oddLength,    // neither 10 nor 13 digits; not kept
        notIsbn,      // letters, another shop's identifier ("B0000639EV"); not kept
    };
    std::string digits; // what the record keeps: a good ISBN, else empty
    Status status = Status::none;
};
Isbn readIsbn(std::string_view text);
bool isbn10Valid(std::string_view digits);
bool isbn13Valid(std::string_view digits);
// The same book whatever the ISBN's form: an ISBN-10 is given as its ISBN-13.
std::string isbnKey(std::string_view digits);

struct Price {
    std::string text; // decimal comma, at most 4 characters; empty when not a price
    bool rounded = false;
    bool invalid = false; // text given but not a price that fits
};
// "15,99", "15.99 €", "$8", "1 234,50"; rounded until it fits 4 characters.
Price readPrice(std::string_view text);

// A whole number of at most `width` digits in the text ("350 p." -> "350"); nullopt when
// there is none or it is too long.
std::optional<std::string> readCount(std::string_view text, std::size_t width);
// The year of a date or a year ("2001", "mars 2001", "2001-03-05"): four digits.
std::optional<std::string> readYear(std::string_view text);

// oui/non, yes/no, vrai/faux, true/false, 1/0, x, lu.
std::optional<bool> readFlag(std::string_view text);

struct Date {
    int day = 0, month = 0, year = 0;
};
// 2024-03-05, 05/03/2024, 5.3.2024, 5:3:2024 (the program's own export), with or without
// a time after it.
std::optional<Date> readDate(std::string_view text);

} // namespace q7::import
