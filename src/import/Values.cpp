#include "import/Values.h"

#include "import/FieldNames.h"

#include <algorithm>
#include <cstdint>

namespace q7::import {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
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

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string volumeText(std::string_view text) {
    std::string_view t = trimmed(text);
    for (std::string_view word : {"tome", "vol.", "volume", "t."}) {
        if (t.size() > word.size() && foldName(t.substr(0, word.size())) == foldName(word) &&
            (t[word.size()] == ' ' || word.back() == '.')) {
            t = trimmed(t.substr(word.size()));
            break;
        }
    }
    // A series index written as a decimal number: "3.0", "3,0".
    std::string out(t);
    if (out.size() > 2 && isDigit(out.front()) && (out.ends_with(".0") || out.ends_with(",0")) &&
        std::all_of(out.begin(), out.end() - 2, isDigit))
        out.resize(out.size() - 2);
    return out;
}

std::string volumeKey(std::string_view text) {
    const std::string v = foldName(volumeText(text));
    if (v.empty() || v.size() > 12 || v.find(' ') != std::string::npos) return {};
    if (std::all_of(v.begin(), v.end(), isDigit)) {
        const std::size_t nz = v.find_first_not_of('0');
        return nz == std::string::npos ? "0" : v.substr(nz);
    }
    // Roman numerals, as volumes of one work are often numbered.
    const auto value = [](char c) {
        switch (c) {
        case 'i': return 1;
        case 'v': return 5;
        case 'x': return 10;
        case 'l': return 50;
        case 'c': return 100;
        default: return 0;
        }
    };
    int total = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const int here = value(v[i]);
        if (here == 0) return v;
        const int next = i + 1 < v.size() ? value(v[i + 1]) : 0;
        total += next > here ? -here : here;
    }
    return total > 0 ? std::to_string(total) : v;
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
    // Other EAN-13 codes (a notebook, a game) have a check digit too, but are no ISBN.
    if (d.size() != 13 || !(d.starts_with("978") || d.starts_with("979"))) return false;
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
    std::string_view t = trimmed(text);
    // LibraryThing writes "[0316769487]".
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']')
        t = trimmed(t.substr(1, t.size() - 2));
    if (std::none_of(t.begin(), t.end(),
                     [](char c) { return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }))
        return isbn; // "", "-", "[]": nothing given
    if (auto e = expandExponent(t)) {
        if (e->exact && (isbn13Valid(e->digits) || isbn10Valid(e->digits))) {
            isbn.digits = e->digits;
            isbn.status = Isbn::Status::fromExponent;
        } else {
            isbn.status = Isbn::Status::exponentLost;
        }
        return isbn;
    }
    // "ISBN 978-..." or "ISBN: ..." as some people type it.
    if (t.size() > 4 && foldName(t.substr(0, 4)) == "isbn") t = trimmed(t.substr(4));
    if (t.starts_with(':')) t = trimmed(t.substr(1));
    std::string digits;
    bool onlyDigits = true, letters = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (isDigit(c)) {
            digits += c;
        } else if ((c == 'X' || c == 'x') && i + 1 == t.size()) {
            digits += 'X';
            onlyDigits = false;
        } else if (c != '-' && c != ' ') {
            onlyDigits = false;
            letters = true;
        }
    }
    const std::size_t n = digits.size();
    if (!letters && (isbn10Valid(digits) || isbn13Valid(digits))) {
        isbn.digits = digits;
        isbn.status = Isbn::Status::valid;
    } else if (letters || (n == 13 && !digits.starts_with("978") && !digits.starts_with("979"))) {
        isbn.status = Isbn::Status::notIsbn;
    } else if (onlyDigits && (n == 8 || n == 9) && isbn10Valid(std::string(10 - n, '0') + digits)) {
        isbn.digits = std::string(10 - n, '0') + digits;
        isbn.status = Isbn::Status::zeroRestored;
    } else {
        isbn.status = n == 10 || n == 13 ? Isbn::Status::wrongCheck : Isbn::Status::oddLength;
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
    // Past the third decimal no digit changes a price rounded to cents (the half-way
    // point is a third decimal of 5): dropped, so that the scale below cannot overflow.
    bool dropped = false;
    if (decimals > 3) {
        const std::size_t extra = decimals - 3;
        dropped = digits.find_first_not_of('0', digits.size() - extra) != std::string::npos;
        digits.resize(digits.size() - extra);
        decimals = 3;
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
            price.rounded = dropped || r * divisor != value;
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
