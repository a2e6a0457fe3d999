#include "store/Cp1252.h"

#include <array>

namespace q7 {

namespace {
// 0x80..0x9F; the unassigned positions keep their own value.
constexpr std::array<char32_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

char32_t cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return high[byte - 0x80];
    return byte;
}

unsigned char unicodeToCp1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
    for (unsigned i = 0; i < high.size(); ++i)
        if (high[i] == code) return static_cast<unsigned char>(0x80 + i);
    return '?';
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<char32_t> nextUtf8(std::string_view s, std::size_t& at) {
    const auto b = static_cast<unsigned char>(s[at]);
    if (b < 0x80) {
        ++at;
        return b;
    }
    // C0 and C1 could only start overlong forms; F5 and above go past U+10FFFF.
    std::size_t extra = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        extra = 1, code = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2, code = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3, code = b & 0x07, least = 0x10000;
    } else {
        ++at;
        return std::nullopt;
    }
    if (s.size() - at <= extra) {
        ++at;
        return std::nullopt;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto t = static_cast<unsigned char>(s[at + k]);
        if ((t & 0xC0) != 0x80) {
            ++at;
            return std::nullopt;
        }
        code = (code << 6) | (t & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return std::nullopt;
    }
    at += 1 + extra;
    return code;
}

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();)
        if (!nextUtf8(s, i)) return false;
    return true;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes)
        appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8ToCp1252(std::string_view s, std::size_t* replaced) {
    std::size_t lost = 0;
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::optional<char32_t> code = nextUtf8(s, i);
        const unsigned char byte = code ? unicodeToCp1252(*code) : '?';
        if (byte == '?' && code != U'?') ++lost;
        out += static_cast<char>(byte);
    }
    if (replaced) *replaced += lost;
    return out;
}

} // namespace q7
