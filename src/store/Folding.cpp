#include "store/Folding.h"

#include "store/Cp1252.h"

#include <QChar>
#include <QList>
#include <QString>

#include <array>
#include <stdexcept>

namespace q7 {

namespace {

// Letters that no decomposition makes plain, by their case-folded form.
struct Spelt {
    char32_t letter;
    const char* plain;
};
constexpr Spelt spelt[] = {
    {U'œ', "oe"},  {U'æ', "ae"}, {U'ß', "ss"}, {U'ø', "o"},  {U'ð', "d"},  {U'đ', "d"},
    {U'þ', "th"},  {U'ł', "l"},  {U'ı', "i"},  {U'ĳ', "ij"}, {U'ŀ', "l"},  {U'ħ', "h"},
    {U'ª', "a"},   {U'º', "o"},  {U'ﬀ', "ff"}, {U'ﬁ', "fi"}, {U'ﬂ', "fl"}, {U'ﬃ', "ffi"},
    {U'ﬄ', "ffl"}, {U'ﬅ', "st"}, {U'ﬆ', "st"},
};

void appendFolded(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return;
    }
    if (QChar::category(c) == QChar::Mark_NonSpacing) return; // an accent on its own
    // "É" is "E" and an accent; "ǖ" takes two steps.
    if (QChar::decompositionTag(c) == QChar::Canonical) {
        const QString parts = QChar::decomposition(c);
        for (const char32_t part : parts.toUcs4())
            appendFolded(out, part);
        return;
    }
    const char32_t lower = QChar::toCaseFolded(c);
    for (const Spelt& s : spelt)
        if (s.letter == lower) {
            out += s.plain;
            return;
        }
    appendUtf8(out, lower);
}

// What each Windows-1252 byte folds to, made once from the same rule.
struct Folded {
    unsigned char size = 0;
    char bytes[4] = {};
};
const std::array<Folded, 256>& byteTable() {
    static const std::array<Folded, 256> table = [] {
        std::array<Folded, 256> t;
        for (int b = 0; b < 256; ++b) {
            std::string one;
            appendFolded(one, cp1252ToUnicode(static_cast<unsigned char>(b)));
            if (one.size() > sizeof t[0].bytes) throw std::logic_error("a byte folds too long");
            Folded& f = t[std::size_t(b)];
            f.size = static_cast<unsigned char>(one.size());
            one.copy(f.bytes, one.size());
        }
        return t;
    }();
    return table;
}

// Letters and digits of folded UTF-8, in words one blank apart.
std::string wordsOf(std::string_view folded) {
    std::string out;
    bool blank = false;
    for (std::size_t at = 0; at < folded.size();) {
        const std::size_t from = at;
        const std::optional<char32_t> c = nextUtf8(folded, at);
        if (!c || !QChar::isLetterOrNumber(*c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out.append(folded.substr(from, at - from));
    }
    return out;
}

} // namespace

void appendFoldedCp1252(std::string& out, std::string_view cp1252) {
    const std::array<Folded, 256>& table = byteTable();
    const std::size_t at = out.size();
    // Each byte's bytes are copied whole and the end moved by their size: no branch.
    out.resize(at + sizeof(Folded::bytes) * cp1252.size());
    char* o = out.data() + at;
    for (const char c : cp1252) {
        const Folded& f = table[static_cast<unsigned char>(c)];
        std::copy(f.bytes, f.bytes + sizeof f.bytes, o);
        o += f.size;
    }
    out.resize(std::size_t(o - out.data()));
}

std::string folded(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();)
        appendFolded(out, nextUtf8(utf8, at).value_or(U'?'));
    return out;
}

std::string nameKey(std::string_view utf8) {
    return wordsOf(folded(utf8));
}

std::string nameKeyCp1252(std::string_view cp1252) {
    return wordsOf(foldedCp1252(cp1252));
}

} // namespace q7
