#include "covers/CoverNames.h"

#include "store/Cp1252.h"

#include <algorithm>
#include <array>

namespace q7 {

namespace {

constexpr std::string_view extension = ".jpg";
constexpr std::string_view hex = "0123456789ABCDEF";

bool forbidden(unsigned char byte) {
    const char32_t code = cp1252ToUnicode(byte);
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) ||
           std::string_view("/\\:*?\"<>|%").find(char(byte)) != std::string_view::npos;
}

// Windows refuses these as file names, whatever follows the dot.
bool deviceName(std::string_view reference) {
    std::string upper;
    for (char c : reference)
        upper += c >= 'a' && c <= 'z' ? char(c - 32) : c;
    constexpr std::array<std::string_view, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    if (std::ranges::find(plain, upper) != plain.end()) return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

int hexValue(char c) {
    const std::size_t at = hex.find(c);
    return at == std::string_view::npos ? -1 : int(at);
}

bool endsWithExtension(std::string_view name) {
    if (name.size() < extension.size()) return false;
    const std::string_view end = name.substr(name.size() - extension.size());
    return std::ranges::equal(end, extension, [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a + 32) : a) == b;
    });
}

// The case partner of a Windows-1252 letter, upper case.
unsigned char upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    switch (c) {
    case 0x9A: return 0x8A; // š
    case 0x9C: return 0x8C; // œ
    case 0x9E: return 0x8E; // ž
    case 0xFF: return 0x9F; // ÿ
    default: return c;
    }
}

} // namespace

std::string coverFileName(std::string_view reference) {
    if (reference.empty()) return {};
    const bool device = deviceName(reference);
    std::string name;
    name.reserve(reference.size() + extension.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const auto byte = static_cast<unsigned char>(reference[i]);
        const bool atEnd = i == 0 || i + 1 == reference.size();
        if (forbidden(byte) || (atEnd && (byte == ' ' || byte == '.')) || (i == 0 && device)) {
            name += '%';
            name += hex[byte >> 4];
            name += hex[byte & 15];
        } else if (byte < 0x80) {
            name += char(byte); // most references: digits, letters; no conversion to make
        } else {
            name += cp1252ToUtf8(reference.substr(i, 1));
        }
    }
    return name + std::string(extension);
}

std::optional<std::string> referenceOfCover(std::string_view fileName) {
    if (!endsWithExtension(fileName) || fileName.size() == extension.size()) return {};
    const std::string_view body = fileName.substr(0, fileName.size() - extension.size());
    if (!validUtf8(body)) return {};
    std::string reference;
    for (std::size_t i = 0; i < body.size();) {
        if (body[i] == '%') {
            const int high = i + 2 < body.size() ? hexValue(body[i + 1]) : -1;
            const int low = high < 0 ? -1 : hexValue(body[i + 2]);
            if (low < 0) return {};
            reference += char(high * 16 + low);
            i += 3;
            continue;
        }
        if (static_cast<unsigned char>(body[i]) < 0x80) {
            reference += body[i++];
            continue;
        }
        std::size_t next = i;
        nextUtf8(body, next);
        reference += utf8ToCp1252(body.substr(i, next - i));
        i = next;
    }
    // Only the one name each reference has: not a character the code page lacks, not a
    // "%" where none was needed.
    const std::string canonical = coverFileName(reference);
    if (canonical.empty() || canonical.substr(0, canonical.size() - extension.size()) != body)
        return {};
    return reference;
}

std::string coverKey(std::string_view reference) {
    // The file name is the reference's, one for one: the reference in capitals will do.
    std::string upperCase(reference);
    for (char& c : upperCase)
        c = char(upper(static_cast<unsigned char>(c)));
    return upperCase;
}

} // namespace q7
