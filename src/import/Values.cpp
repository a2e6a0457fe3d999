#include "import/Values.h"

#include "import/FieldNames.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace q7::import {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
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

std::vector<std::string> splitOn(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = s.find(sep, start);
        parts.emplace_back(trimmed(s.substr(start, at - start)));
        if (at == std::string_view::npos) break;
        start = at + sep.size();
    }
    return parts;
}

// Digits of a number written in a spreadsheet's exponent form, or nullopt.
struct Exponent {
    std::string digits; // as written out
    bool exact = false; // every digit was in the mantissa
};
std::optional<Exponent> expandExponent(std::string_view s) {
    std::size_t i = 0;
    std::string mantissa;
    int before = 0;
    while (i < s.size() && isDigit(s[i]))
        mantissa += s[i++], ++before;
    if (before == 0) return std::nullopt;
    if (i < s.size() && (s[i] == ',' || s[i] == '.')) {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            mantissa += s[i++];
    }
    if (i >= s.size() || (s[i] != 'E' && s[i] != 'e')) return std::nullopt;
    ++i;
    if (i < s.size() && s[i] == '+') ++i;
    int exponent = 0;
    const std::size_t expStart = i;
    while (i < s.size() && isDigit(s[i]) && exponent < 100)
        exponent = exponent * 10 + (s[i++] - '0');
    if (i == expStart || i != s.size() || exponent > 20) return std::nullopt;
    const int length = before + exponent;
    Exponent e;
    e.exact = static_cast<int>(mantissa.size()) >= length;
    mantissa.resize(static_cast<std::size_t>(length), '0');
    e.digits = mantissa;
    return e;
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

std::vector<std::string> splitAuthors(std::string_view cell, std::string* separator) {
    std::string text(trimmed(cell));
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '|') c = ';';
    std::vector<std::string> parts;
    std::string used;
    if (text.find(';') != std::string::npos) {
        parts = splitOn(text, ";");
        used = ";";
    } else if (text.find(" & ") != std::string::npos) {
        parts = splitOn(text, " & ");
        used = "&";
    } else if (text.find(',') != std::string::npos) {
        parts = splitOn(text, ",");
        const bool names = std::all_of(parts.begin(), parts.end(), [](const std::string& p) {
            return p.find(' ') != std::string::npos;
        });
        if (names)
            used = ",";
        else
            parts = {text};
    } else if (!text.empty()) {
        parts = {text};
    }
    std::erase_if(parts, [](const std::string& p) { return p.empty(); });
    if (separator) *separator = parts.size() > 1 ? used : std::string();
    return parts;
}

bool isbn10Valid(std::string_view d) {
    if (d.size() != 10) return false;
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        const char c = d[static_cast<std::size_t>(i)];
        int v = 0;
        if (isDigit(c))
            v = c - '0';
        else if (c == 'X' && i == 9)
            v = 10;
        else
            return false;
        sum += v * (10 - i);
    }
    return sum % 11 == 0;
}

bool isbn13Valid(std::string_view d) {
    if (d.size() != 13) return false;
    int sum = 0;
    for (int i = 0; i < 13; ++i) {
        const char c = d[static_cast<std::size_t>(i)];
        if (!isDigit(c)) return false;
        sum += (c - '0') * (i % 2 ? 3 : 1);
    }
    return sum % 10 == 0;
}

std::string isbnKey(std::string_view d) {
    if (!isbn10Valid(d)) return std::string(d);
    std::string key = "978" + std::string(d.substr(0, 9));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (key[static_cast<std::size_t>(i)] - '0') * (i % 2 ? 3 : 1);
    key += static_cast<char>('0' + (10 - sum % 10) % 10);
    return key;
}

Isbn readIsbn(std::string_view text) {
    Isbn isbn;
    const std::string_view t = trimmed(text);
    if (t.empty()) return isbn;
    if (auto e = expandExponent(t)) {
        if (e->exact && (isbn13Valid(e->digits) || isbn10Valid(e->digits))) {
            isbn.digits = e->digits;
            isbn.status = Isbn::Status::fromExponent;
        } else {
            isbn.status = Isbn::Status::exponentLost;
        }
        return isbn;
    }
    bool onlyDigits = true;
    for (char c : t) {
        if (isDigit(c)) {
            isbn.digits += c;
        } else if (c == 'X' || c == 'x') {
            isbn.digits += 'X';
            onlyDigits = false;
        } else if (c != '-' && c != ' ') {
            onlyDigits = false;
        }
    }
    const std::size_t n = isbn.digits.size();
    if (isbn10Valid(isbn.digits) || isbn13Valid(isbn.digits)) {
        isbn.status = Isbn::Status::valid;
    } else if (n == 10 || n == 13) {
        isbn.status = Isbn::Status::wrongCheck;
    } else if (onlyDigits && (n == 8 || n == 9) &&
               isbn10Valid(std::string(10 - n, '0') + isbn.digits)) {
        isbn.digits.insert(0, 10 - n, '0');
        isbn.status = Isbn::Status::zeroRestored;
    } else {
        isbn.status = Isbn::Status::oddLength;
        if (isbn.digits.size() > 13) isbn.digits.resize(13);
    }
    return isbn;
}

Price readPrice(std::string_view text) {
    Price price;
    const std::string_view t = trimmed(text);
    if (t.empty()) return price;
    // The last separator followed by digits is the decimal one; earlier ones group
    // thousands.
    std::string digits;
    std::size_t decimals = 0;
    bool afterSeparator = false;
    for (char c : t) {
        if (isDigit(c)) {
            digits += c;
            if (afterSeparator) ++decimals;
        } else if (c == ',' || c == '.') {
            afterSeparator = true;
            decimals = 0;
        } else if (c == '-') {
            price.invalid = true;
            return price;
        }
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.empty() || digits.size() > 18) {
        price.invalid = true;
        return price;
    }
    const long long value = std::stoll(digits);
    long long scale = 1;
    for (std::size_t i = 0; i < decimals; ++i)
        scale *= 10;
    for (int d = static_cast<int>(std::min<std::size_t>(decimals, 2)); d >= 0; --d) {
        long long unit = 1;
        for (int i = 0; i < d; ++i)
            unit *= 10;
        const long long divisor = scale / unit;
        const long long r = (value + divisor / 2) / divisor;
        std::string s = std::to_string(r / unit);
        if (d > 0) {
            std::string frac = std::to_string(r % unit);
            frac.insert(0, static_cast<std::size_t>(d) - frac.size(), '0');
            while (!frac.empty() && frac.back() == '0')
                frac.pop_back();
            if (!frac.empty()) s += ',' + frac;
        }
        if (s.size() <= 4) {
            price.text = s;
            price.rounded = r * divisor != value;
            return price;
        }
    }
    price.invalid = true;
    return price;
}

std::optional<std::string> readCount(std::string_view text, std::size_t width) {
    // "1 664", "1 664", "1.664": digits grouped by thousands are one number.
    std::string joined;
    const std::string_view raw = trimmed(text);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::string_view rest = raw.substr(i);
        const std::size_t gap = rest.starts_with(' ') || rest.starts_with('.') ? 1
                                : rest.starts_with("\xC2\xA0")                 ? 2
                                : rest.starts_with("\xE2\x80\xAF")             ? 3
                                                                               : 0;
        if (gap && !joined.empty() && isDigit(joined.back()) && i + gap + 3 <= raw.size() &&
            isDigit(raw[i + gap]) && isDigit(raw[i + gap + 1]) && isDigit(raw[i + gap + 2]) &&
            (i + gap + 3 == raw.size() || !isDigit(raw[i + gap + 3]))) {
            i += gap - 1;
            continue;
        }
        joined += raw[i];
    }
    const std::string_view t = joined;
    std::size_t i = 0;
    while (i < t.size() && !isDigit(t[i]))
        ++i;
    std::size_t j = i;
    while (j < t.size() && isDigit(t[j]))
        ++j;
    if (i == j) return std::nullopt;
    std::string_view n = t.substr(i, j - i);
    while (n.size() > 1 && n.front() == '0')
        n.remove_prefix(1);
    if (n.size() > width) return std::nullopt;
    return std::string(n);
}

std::optional<std::string> readYear(std::string_view text) {
    const std::string_view t = trimmed(text);
    for (std::size_t i = 0; i < t.size();) {
        if (!isDigit(t[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < t.size() && isDigit(t[j]))
            ++j;
        if (j - i == 4) return std::string(t.substr(i, 4));
        i = j;
    }
    return readCount(t, 4);
}

std::optional<bool> readFlag(std::string_view text) {
    const std::string f = foldName(text);
    static const char* const yes[] = {"oui",  "o", "yes", "y",  "vrai",
                                      "true", "1", "x",   "lu", "read"};
    static const char* const no[] = {"non", "n", "no", "faux", "false", "0", "", "non lu"};
    for (const char* y : yes)
        if (f == y) return true;
    for (const char* n : no)
        if (f == n) return trimmed(text).empty() ? std::nullopt : std::optional<bool>(false);
    if (trimmed(text) == "\xE2\x9C\x93") return true; // ✓
    return std::nullopt;
}

std::optional<Date> readDate(std::string_view text) {
    const std::string_view t = trimmed(text);
    int parts[3] = {};
    std::size_t widths[3] = {};
    std::size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            if (i >= t.size() || (t[i] != '-' && t[i] != '/' && t[i] != '.' && t[i] != ':'))
                return std::nullopt;
            ++i;
        }
        const std::size_t start = i;
        while (i < t.size() && isDigit(t[i]) && i - start < 4)
            parts[k] = parts[k] * 10 + (t[i++] - '0');
        widths[k] = i - start;
        if (widths[k] == 0) return std::nullopt;
    }
    if (i < t.size() && isDigit(t[i])) return std::nullopt;
    Date d;
    if (widths[0] == 4) {
        d = {parts[2], parts[1], parts[0]};
    } else {
        d = {parts[0], parts[1], parts[2]};
        if (widths[2] <= 2) d.year += d.year < 70 ? 2000 : 1900;
    }
    if (d.day < 1 || d.day > 31 || d.month < 1 || d.month > 12 || d.year < 1) return std::nullopt;
    return d;
}

} // namespace q7::import
