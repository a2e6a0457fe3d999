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

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        char32_t u = cp1252ToUnicode(static_cast<unsigned char>(c));
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string utf8ToCp1252(std::string_view s, std::size_t* replaced) {
    std::size_t lost = 0;
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        char32_t code = 0;
        int extra = 0;
        if (b < 0x80) {
            code = b;
        } else if ((b & 0xE0) == 0xC0) {
            code = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            code = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            code = b & 0x07;
            extra = 3;
        } else {
            out += '?';
            ++lost;
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++lost;
            ++i;
            continue;
        }
        const unsigned char byte = unicodeToCp1252(code);
        if (byte == '?' && code != '?') ++lost;
        out += static_cast<char>(byte);
        i += 1 + extra;
    }
    if (replaced) *replaced += lost;
    return out;
}

} // namespace q7
