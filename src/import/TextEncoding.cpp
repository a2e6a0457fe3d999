#include "import/TextEncoding.h"

#include "store/Cp1252.h"

namespace q7::import {

namespace {

std::string fromUtf16(std::string_view bytes, bool little) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(little ? a | (b << 8) : (a << 8) | b);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}
// Valid sequences kept, each malformed byte read as Windows-1252; the lines that held
// such bytes noted.
DecodedText mixed(std::string_view bytes, const char* encoding) {
    DecodedText out;
    out.encoding = encoding;
    out.converted.reserve(bytes.size() + bytes.size() / 8);
    int line = 1;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t start = at;
        if (bytes[at] == '\n') ++line;
        if (auto c = nextUtf8(bytes, at)) {
            out.converted.append(bytes.substr(start, at - start));
            continue;
        }
        appendUtf8(out.converted, cp1252ToUnicode(static_cast<unsigned char>(bytes[start])));
        if (out.strayLines.empty() || out.strayLines.back().first != line)
            out.strayLines.emplace_back(line, 0);
        ++out.strayLines.back().second;
    }
    return out;
}

DecodedText converted(std::string text, const char* encoding) {
    DecodedText out;
    out.converted = std::move(text);
    out.encoding = encoding;
    return out;
}

DecodedText borrowed(std::string_view bytes, const char* encoding) {
    DecodedText out;
    out.bytes = bytes;
    out.borrowed = true;
    out.encoding = encoding;
    return out;
}

} // namespace

DecodedText decodeText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        // A BOM promises UTF-8: a stray byte is another code page's, never garbage.
        return mixed(bytes, "UTF-8 avec BOM");
    }
    if (bytes.starts_with("\xFF\xFE")) return converted(fromUtf16(bytes.substr(2), true), "UTF-16");
    if (bytes.starts_with("\xFE\xFF"))
        return converted(fromUtf16(bytes.substr(2), false), "UTF-16");
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return borrowed(bytes, "ASCII (sans accents)");
    if (validUtf8(bytes)) return borrowed(bytes, "UTF-8");
    // Stray bytes among UTF-8 characters: as many characters as strays says UTF-8 (a
    // Windows-1252 text seldom forms a UTF-8 sequence by chance, and reading a UTF-8 file
    // as Windows-1252 spoils every accent: "SchÃ¶nberger").
    int characters = 0, strays = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const bool high = static_cast<unsigned char>(bytes[at]) >= 0x80;
        const bool good = nextUtf8(bytes, at).has_value();
        characters += high && good;
        strays += !good;
    }
    if (characters > 0 && characters >= strays) return mixed(bytes, "UTF-8");
    return converted(cp1252ToUtf8(bytes), "Windows-1252");
}

} // namespace q7::import
