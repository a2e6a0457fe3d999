#include "overview/Folding.h"

#include "store/Cp1252.h"

#include <QChar>
#include <QString>

#include <array>

namespace q7 {

namespace {

// What each byte becomes; made once from Unicode's decompositions.
std::array<std::string, 256> makeTable() {
    std::array<std::string, 256> table;
    for (int b = 0; b < 256; ++b) {
        const char32_t code = cp1252ToUnicode(static_cast<unsigned char>(b));
        std::string& out = table[std::size_t(b)];
        if (code < 0x80) {
            out = char(b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
            continue;
        }
        switch (code) {
        case U'Œ':
        case U'œ': out = "oe"; continue;
        case U'Æ':
        case U'æ': out = "ae"; continue;
        case U'ß': out = "ss"; continue;
        case U'Ø':
        case U'ø': out = "o"; continue;
        case U'Ð':
        case U'ð': out = "d"; continue;
        case U'Þ':
        case U'þ': out = "th"; continue;
        default: break;
        }
        const QString base = QChar(char16_t(code)).decomposition();
        const QChar first = base.isEmpty() ? QChar() : base.front();
        if (first.isLetter() && first.unicode() < 0x80)
            out = char(first.toLower().unicode());
        else
            out = char(unicodeToCp1252(QChar(char16_t(code)).toLower().unicode()));
    }
    return table;
}

const std::array<std::string, 256>& table() {
    static const std::array<std::string, 256> t = makeTable();
    return t;
}

} // namespace

void appendFolded(std::string& out, std::string_view cp1252) {
    // Two bytes at most for each: a ligature spelt out.
    struct Pair {
        char first = 0, second = 0;
    };
    static const std::array<Pair, 256> pairs = [] {
        std::array<Pair, 256> p;
        for (std::size_t b = 0; b < 256; ++b) {
            p[b].first = table()[b][0];
            p[b].second = table()[b].size() > 1 ? table()[b][1] : 0;
        }
        return p;
    }();
    std::size_t at = out.size();
    out.resize(at + 2 * cp1252.size());
    char* o = out.data() + at;
    for (char c : cp1252) {
        const Pair& p = pairs[static_cast<unsigned char>(c)];
        *o++ = p.first;
        if (p.second) *o++ = p.second;
    }
    out.resize(std::size_t(o - out.data()));
}

std::vector<std::string> foldedWords(std::string_view cp1252) {
    std::vector<std::string> words;
    std::string word;
    for (char c : folded(cp1252)) {
        // Blanks, tabs and the non-breaking space separate words.
        if (c == ' ' || c == '\t' || c == '\xA0' || c == '\r' || c == '\n') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

} // namespace q7
