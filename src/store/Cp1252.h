#pragma once
// Windows-1252 <-> Unicode. Total over the 256 byte values and lossless: the five
// unassigned bytes map to the C1 controls of the same value and back.
#include <cstdint>
#include <string>
#include <string_view>

namespace q7 {

char32_t cp1252ToUnicode(unsigned char byte);
// '?' for characters the code page lacks.
unsigned char unicodeToCp1252(char32_t code);

std::string cp1252ToUtf8(std::string_view bytes);
// `replaced`, when given, counts the characters that became '?'.
std::string utf8ToCp1252(std::string_view utf8, std::size_t* replaced = nullptr);

// Core literals are written in UTF-8 source; this is the one place they become bytes.
inline std::string lit(std::string_view utf8) {
    return utf8ToCp1252(utf8);
}

} // namespace q7
