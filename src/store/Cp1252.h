#pragma once
// The program's one text codec: Windows-1252 bytes, as every file of the catalogue holds
// them, and UTF-8, as source literals, other programs' files and the terminal hold text.
//
// Windows-1252 -> Unicode is total and lossless: the five unassigned bytes map to the C1
// controls of the same value and back, so an unchanged record saves byte for byte.
// Unicode -> Windows-1252 gives '?' for a character the code page lacks.
// UTF-8 is read strictly, the same way everywhere: a byte that cannot start a character,
// a sequence cut short, an overlong form (C0 AF for "/"), a surrogate or a value past
// U+10FFFF is one malformed byte, read as '?' (never as the character it pretends to be),
// and reading goes on at the next byte.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q7 {

char32_t cp1252ToUnicode(unsigned char byte);
// '?' for characters the code page lacks.
unsigned char unicodeToCp1252(char32_t code);

std::string cp1252ToUtf8(std::string_view bytes);
// `replaced`, when given, counts the characters that became '?' (malformed bytes
// included; a '?' of the text itself is not counted).
std::string utf8ToCp1252(std::string_view utf8, std::size_t* replaced = nullptr);

// The character starting at `at`, which moves past it; nothing when the byte there is
// malformed, and `at` then moves by one byte. `at` must be inside the text.
std::optional<char32_t> nextUtf8(std::string_view utf8, std::size_t& at);
// True when every byte belongs to a well-formed character.
bool validUtf8(std::string_view bytes);
// One character, as UTF-8 (one to four bytes).
void appendUtf8(std::string& out, char32_t code);

// Core literals are written in UTF-8 source; this is the one place they become bytes.
inline std::string lit(std::string_view utf8) {
    return utf8ToCp1252(utf8);
}

} // namespace q7
