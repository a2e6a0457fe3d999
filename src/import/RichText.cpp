// Texts of other programs made fit for the record: one line, paragraphs, no HTML.
#include "import/Values.h"
#include "store/Cp1252.h"

#include <cctype>
#include <cstdint>

namespace q7::import {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "&eacute;" -> é; returns the characters consumed, 0 when it is no reference.
std::size_t decodeReference(std::string_view s, std::string& out) {
    static const struct {
        const char* name;
        char32_t code;
    } named[] = {{"amp", '&'},       {"lt", '<'},      {"gt", '>'},       {"quot", '"'},
                 {"apos", '\''},     {"nbsp", 0xA0},   {"eacute", 0xE9},  {"egrave", 0xE8},
                 {"ecirc", 0xEA},    {"euml", 0xEB},   {"agrave", 0xE0},  {"acirc", 0xE2},
                 {"ccedil", 0xE7},   {"icirc", 0xEE},  {"iuml", 0xEF},    {"ocirc", 0xF4},
                 {"ugrave", 0xF9},   {"ucirc", 0xFB},  {"Eacute", 0xC9},  {"Agrave", 0xC0},
                 {"laquo", 0xAB},    {"raquo", 0xBB},  {"rsquo", 0x2019}, {"lsquo", 0x2018},
                 {"hellip", 0x2026}, {"oelig", 0x153}, {"euro", 0x20AC},  {"ndash", 0x2013},
                 {"mdash", 0x2014},  {"copy", 0xA9},   {"deg", 0xB0}};
    const std::size_t semi = s.find(';');
    if (semi == std::string_view::npos || semi < 2 || semi > 10) return 0;
    const std::string_view body = s.substr(1, semi - 1);
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        std::uint32_t code = 0;
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) return 0;
        for (char c : digits) {
            int v = isDigit(c) ? c - '0' : -1;
            if (hex && v < 0 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
                v = (c | 0x20) - 'a' + 10;
            if (v < 0) return 0;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
            if (code > 0x10FFFF) return 0;
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return 0;
        appendUtf8(out, code);
        return semi + 1;
    }
    for (const auto& n : named)
        if (body == n.name) {
            appendUtf8(out, n.code);
            return semi + 1;
        }
    return 0;
}

bool looksLikeHtml(std::string_view s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '<' && (std::isalpha(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '/'))
            if (s.find('>', i) != std::string_view::npos) return true;
    return false;
}

} // namespace

std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingBreak = false;
    for (char c : trimmed(text)) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak && !out.empty() && out.back() != ' ' && c != ' ') out += ' ';
        pendingBreak = false;
        out += c;
    }
    return out;
}

std::string paragraphs(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\t') {
            out += ' ';
        } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            out += c;
        }
    }
    const std::string_view t = trimmed(out);
    return std::string(t);
}

std::string withoutHtml(std::string_view text) {
    const bool html = looksLikeHtml(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (html && c == '<') {
            const std::size_t close = text.find('>', i);
            if (close == std::string_view::npos) break;
            std::string name;
            for (std::size_t k = i + 1; k < close && name.size() < 8; ++k) {
                const char t = text[k];
                if (t == ' ' || t == '>' || (t == '/' && !name.empty())) break;
                name += static_cast<char>(t >= 'A' && t <= 'Z' ? t + 32 : t);
            }
            if (name == "br" || name == "/p" || name == "/div" || name == "/li" || name == "/tr" ||
                (name.size() == 3 && name[0] == '/' && name[1] == 'h'))
                out += '\n';
            i = close + 1;
        } else if (c == '&') {
            const std::size_t used = decodeReference(text.substr(i), out);
            if (used == 0) out += c;
            i += used ? used : 1;
        } else {
            // In HTML the source's own line breaks are blanks.
            out += html && (c == '\r' || c == '\n') ? ' ' : c;
            ++i;
        }
    }
    if (!html) return out;
    // At most one blank line in a row.
    std::string tidy;
    int breaks = 0;
    for (char c : out) {
        breaks = c == '\n' ? breaks + 1 : (c == ' ' ? breaks : 0);
        if (c == '\n' && breaks > 2) continue;
        tidy += c;
    }
    return tidy;
}

} // namespace q7::import
