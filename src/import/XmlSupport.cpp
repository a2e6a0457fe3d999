#include "import/XmlSupport.h"

#include "import/Values.h"
#include "store/Errors.h"

#include <algorithm>

namespace q7::import {

std::string utf8(QStringView text) {
    return text.toUtf8().toStdString();
}

std::vector<std::string> readValues(QXmlStreamReader& xml, std::string* child, int depth) {
    std::vector<std::string> values;
    std::string own;
    std::string year, month, day;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference) {
            own += utf8(xml.text());
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const std::string name = utf8(xml.name());
        if (depth > 8) {
            // Deeper than any book field: skipped without recursion.
            xml.skipCurrentElement();
            continue;
        }
        std::vector<std::string> inner = readValues(xml, nullptr, depth + 1);
        std::string joined;
        for (const std::string& v : inner)
            if (!v.empty()) joined += (joined.empty() ? "" : " ") + v;
        if (name == "year")
            year = joined;
        else if (name == "month")
            month = joined;
        else if (name == "day")
            day = joined;
        else {
            if (child && child->empty()) *child = name;
            values.push_back(joined);
        }
    }
    if (!year.empty()) {
        auto two = [](std::string s) {
            return s.size() < 2 ? std::string(2 - s.size(), '0') + s : s;
        };
        return {year + "-" + two(month.empty() ? "1" : month) + "-" + two(day.empty() ? "1" : day)};
    }
    if (values.empty()) return {own};
    return values;
}

Target FieldRouter::route(const std::string& name) {
    if (auto it = routes_.find(name); it != routes_.end()) return it->second;
    std::optional<Target> t = targetOfName(name, dialect_);
    if (!t) {
        if (auto title = titles_.find(name); title != titles_.end())
            t = targetOfName(title->second, dialect_);
    }
    const Target target = t.value_or(Target::ignored);
    routes_.emplace(name, target);
    return target;
}

void FieldRouter::put(SourceBook& book, const std::string& name, std::vector<std::string> values) {
    const Target t = route(name);
    if (t == Target::ignored) return;
    // A list given as one text ("Hugo, Victor; Dumas") is split the spreadsheet's way.
    if (t == Target::authors && values.size() == 1) values = authors_.split(book.where, values[0]);
    for (std::string& v : values) {
        if (t != Target::comments && t != Target::summary) v = oneLine(v);
        if (!v.empty()) book.add(t, std::move(v));
    }
}

std::vector<std::string> FieldRouter::mapping() const {
    std::vector<std::string> lines;
    for (const auto& [name, target] : routes_) {
        std::string line = kind_ + " « " + name + " »";
        if (auto title = titles_.find(name); title != titles_.end() && title->second != name)
            line += " (" + title->second + ")";
        lines.push_back(line + " → " +
                        (target == Target::ignored ? "non repris" : targetLabel(target)));
    }
    return lines;
}

void checkEntityExpansion(std::string_view xml) {
    // The reader expands one entity to at most this many characters, nested ones included.
    constexpr std::uint64_t longestExpansion = 4096;
    constexpr std::uint64_t factor = 16;
    constexpr std::uint64_t margin = std::uint64_t(1) << 20;
    constexpr std::string_view declaration = "<!ENTITY";
    std::uint64_t total = 0;
    for (std::size_t at = xml.find(declaration); at != std::string_view::npos;
         at = xml.find(declaration, at)) {
        at += declaration.size();
        const auto blank = [&](std::size_t i) {
            return i < xml.size() &&
                   (xml[i] == ' ' || xml[i] == '\t' || xml[i] == '\r' || xml[i] == '\n');
        };
        while (blank(at))
            ++at;
        if (at < xml.size() && xml[at] == '%') continue; // parameter entities: not in text
        const std::size_t nameEnd = at;
        std::size_t end = at;
        while (end < xml.size() && !blank(end) && xml[end] != '"' && xml[end] != '\'')
            ++end;
        const std::string reference = "&" + std::string(xml.substr(nameEnd, end - nameEnd)) + ";";
        while (blank(end))
            ++end;
        if (end >= xml.size() || (xml[end] != '"' && xml[end] != '\'')) continue; // external
        const std::size_t close = xml.find(xml[end], end + 1);
        if (close == std::string_view::npos) break;
        const std::string_view value = xml.substr(end + 1, close - end - 1);
        const std::uint64_t length = value.find('&') == std::string_view::npos
                                         ? std::min<std::uint64_t>(value.size(), longestExpansion)
                                         : longestExpansion;
        std::uint64_t uses = 0;
        for (std::size_t r = xml.find(reference); r != std::string_view::npos;
             r = xml.find(reference, r + reference.size()))
            ++uses;
        total += uses * length;
        if (total > factor * xml.size() + margin)
            throw Error("Fichier XML refusé : ses entités (" + reference +
                        ") y donneraient un texte démesuré. Rien n'est importé.");
        at = close;
    }
}

namespace {
bool forbidden(unsigned long c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// The length of a character reference "&#1;" or "&#x1F;" at `at` to a forbidden
// character, or 0.
std::size_t forbiddenReference(std::string_view b, std::size_t at) {
    if (!b.substr(at).starts_with("&#")) return 0;
    std::size_t i = at + 2;
    const bool hex = i < b.size() && (b[i] == 'x' || b[i] == 'X');
    if (hex) ++i;
    unsigned long value = 0;
    const std::size_t digits = i;
    for (; i < b.size() && i - digits < 8; ++i) {
        const char c = b[i];
        int v = c >= '0' && c <= '9' ? c - '0' : -1;
        if (hex && v < 0 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') v = (c | 0x20) - 'a' + 10;
        if (v < 0) break;
        value = value * (hex ? 16 : 10) + static_cast<unsigned long>(v);
    }
    if (i == digits || i >= b.size() || b[i] != ';' || !forbidden(value)) return 0;
    return i + 1 - at;
}
} // namespace

void checkTextRuns(std::string_view xml, std::size_t longest) {
    std::size_t from = 0;
    while (from < xml.size()) {
        std::size_t next = xml.find('<', from + 1);
        if (next == std::string_view::npos) next = xml.size();
        if (next - from > longest) {
            const auto line = std::count(xml.begin(), xml.begin() + std::ptrdiff_t(from), '\n') + 1;
            throw Error("Fichier XML refusé : ligne " + std::to_string(line) + ", plus de " +
                        std::to_string(longest >> 20) +
                        " Mo d'un seul tenant, bien plus qu'une fiche ou une image de couverture "
                        "n'en demande. Rien n'est importé.");
        }
        from = next;
    }
}

std::string withoutForbiddenControls(std::string_view bytes, std::vector<std::string>& notes) {
    // UTF-16 files are left to the parser: their bytes are no characters one by one.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    int line = 1, lineNoted = 0, count = 0;
    const auto flush = [&] {
        if (count > 0)
            notes.push_back("ligne " + std::to_string(lineNoted) + " : " + std::to_string(count) +
                            (count > 1 ? " caractères de contrôle retirés (interdits en XML)"
                                       : " caractère de contrôle retiré (interdit en XML)"));
        count = 0;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') ++line;
        std::size_t skip = forbidden(static_cast<unsigned char>(c)) ? 1 : 0;
        if (!skip && c == '&') skip = forbiddenReference(bytes, i);
        if (!skip) {
            out += c;
            continue;
        }
        if (lineNoted != line) flush();
        lineNoted = line;
        ++count;
        i += skip - 1;
    }
    flush();
    return out;
}

namespace {
std::string checkedAndCleaned(std::string_view bytes, std::vector<std::string>& dropped) {
    checkEntityExpansion(bytes);
    checkTextRuns(bytes);
    return withoutForbiddenControls(bytes, dropped);
}
} // namespace

XmlFile::XmlFile(std::string_view bytes, std::string program)
    : program_(std::move(program)), clean_(checkedAndCleaned(bytes, dropped_)),
      xml_(QByteArray::fromRawData(clean_.data(), static_cast<qsizetype>(clean_.size()))) {}

void XmlFile::finish(SourceFile& file, const FieldRouter& router, bool found) {
    throwIfBroken(xml_, ("Fichier " + program_).c_str());
    if (!found)
        throw Error("Ce fichier n'est pas une collection " + program_ + " : rien n'est importé");
    file.encoding = xml_.documentEncoding().isEmpty() ? "UTF-8" : utf8(xml_.documentEncoding());
    file.mapping = router.mapping();
    file.notes.insert(file.notes.end(), dropped_.begin(), dropped_.end());
    router.authors().notes(file);
}

std::string XmlFile::place(int entries, const std::string& id) {
    return "entrée " + std::to_string(entries + 1) + (id.empty() ? "" : " (id " + id + ")");
}

void throwIfBroken(const QXmlStreamReader& xml, const char* what) {
    if (!xml.hasError()) return;
    // The parser's own text is English: the user gets what happened, in French.
    const char* why = "le XML est mal formé";
    switch (xml.error()) {
    case QXmlStreamReader::PrematureEndOfDocumentError:
        why = "le fichier s'arrête avant la fin (tronqué ?)";
        break;
    case QXmlStreamReader::UnexpectedElementError: why = "un élément inattendu"; break;
    case QXmlStreamReader::NotWellFormedError: why = "le XML est mal formé"; break;
    case QXmlStreamReader::CustomError:
    case QXmlStreamReader::NoError: break;
    }
    throw Error(std::string(what) + " illisible à la ligne " + std::to_string(xml.lineNumber()) +
                ", colonne " + std::to_string(xml.columnNumber()) + " : " + why +
                ". Rien n'est importé.");
}

} // namespace q7::import
