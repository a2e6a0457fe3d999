#include "lookup/Mapping.h"

#include "lookup/Isbn.h"
#include "record/FieldTable.h"
#include "store/Cp1252.h"
#include "store/Folding.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace q7::lookup {

namespace {

struct Language {
    const char* codes; // ISO 639-2 B and T, 639-1, space-separated
    const char* name;
};

const Language languages[] = {
    {"fre fra fr", "Français"},
    {"eng en", "Anglais"},
    {"ger deu de", "Allemand"},
    {"spa es", "Espagnol"},
    {"ita it", "Italien"},
    {"por pt", "Portugais"},
    {"dut nld nl", "Néerlandais"},
    {"lat la", "Latin"},
    {"grc", "Grec ancien"},
    {"gre ell el", "Grec"},
    {"rus ru", "Russe"},
    {"jpn ja", "Japonais"},
    {"chi zho zh", "Chinois"},
    {"ara ar", "Arabe"},
    {"heb he", "Hébreu"},
    {"pol pl", "Polonais"},
    {"cze ces cs", "Tchèque"},
    {"hun hu", "Hongrois"},
    {"swe sv", "Suédois"},
    {"dan da", "Danois"},
    {"nor nob nno no nb nn", "Norvégien"},
    {"fin fi", "Finnois"},
    {"ice isl is", "Islandais"},
    {"tur tr", "Turc"},
    {"kor ko", "Coréen"},
    {"cat ca", "Catalan"},
    {"bre br", "Breton"},
    {"oci oc", "Occitan"},
    {"baq eus eu", "Basque"},
    {"cos co", "Corse"},
    {"wel cym cy", "Gallois"},
    {"gle ga", "Irlandais"},
    {"rum ron ro", "Roumain"},
    {"ukr uk", "Ukrainien"},
    {"per fas fa", "Persan"},
    {"hin hi", "Hindi"},
    {"vie vi", "Vietnamien"},
    {"epo eo", "Espéranto"},
    {"mul", "Multilingue"},
};

// UTF-8 made of Windows-1252 characters only ("?" for the others), cut at `capacity`.
std::string fitted(const std::string& utf8, std::size_t capacity) {
    std::string bytes = utf8ToCp1252(utf8);
    if (bytes.size() > capacity) bytes.resize(capacity);
    while (!bytes.empty() && bytes.back() == ' ')
        bytes.pop_back();
    return cp1252ToUtf8(bytes);
}

std::size_t capacityOf(Field f) {
    std::size_t cap = fieldInfo(f).capacity;
    if (const FieldBinding* row = bindingOf(f); row && row->maxLength > 0)
        cap = std::min(cap, static_cast<std::size_t>(row->maxLength));
    return cap;
}

std::size_t length(const std::string& utf8) {
    return utf8ToCp1252(utf8).size();
}

// Controls, tabs and runs of spaces become one space: a summary is one paragraph here.
std::string clean(const std::string& utf8) {
    QString s = QString::fromStdString(utf8);
    for (QChar& c : s)
        if (c.category() == QChar::Other_Control) c = u' ';
    return s.simplified().toStdString();
}

// Cut at a word so that it fits, "…" marking the cut.
std::string cutAtWord(const std::string& utf8, std::size_t capacity) {
    if (length(utf8) <= capacity) return utf8;
    std::string bytes = utf8ToCp1252(utf8).substr(0, capacity - 1);
    if (const std::size_t space = bytes.rfind(' ');
        space != std::string::npos && space > capacity / 2)
        bytes.erase(space);
    while (!bytes.empty() && std::string_view(" ,;:").find(bytes.back()) != std::string_view::npos)
        bytes.pop_back();
    return cp1252ToUtf8(bytes) + "…";
}

std::string withoutFinalDot(std::string s) {
    while (!s.empty() && (s.back() == '.' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string upper(const std::string& s) {
    return QString::fromStdString(s).toUpper().toStdString();
}

std::string formed(const Person& p, AuthorForm form) {
    std::string surname = p.surname, forename = p.forename;
    if (surname.empty()) {
        const std::size_t last = p.whole.rfind(' ');
        if (last == std::string::npos)
            return form == AuthorForm::surnameFirst ? upper(p.whole) : p.whole;
        surname = p.whole.substr(last + 1);
        forename = p.whole.substr(0, last);
    }
    if (forename.empty()) return form == AuthorForm::surnameFirst ? upper(surname) : surname;
    return form == AuthorForm::surnameFirst ? upper(surname) + " " + forename
                                            : forename + " " + surname;
}

std::string authorName(const Person& p, const MapOptions& o) {
    const std::string name = formed(p, AuthorForm::forenameFirst);
    const std::string folded = foldedName(name);
    for (const std::string& known : o.knownAuthors)
        if (foldedName(known) == folded) return known;
    return formed(p, o.form);
}

std::string year(const std::string& date) {
    static const QRegularExpression four(QStringLiteral("(?<!\\d)(1[0-9]|20)\\d\\d(?!\\d)"));
    const QRegularExpressionMatch m = four.match(QString::fromStdString(date));
    return m.hasMatch() ? m.captured().toStdString() : std::string();
}

// The page count of one volume; 0, and said, for a set or an extent without pages.
int pageCount(const FoundBook& b, std::vector<std::string>& remarks) {
    if (b.pages > 0) return b.pages;
    const QString extent = QString::fromStdString(b.extent);
    static const QRegularExpression volumes(QStringLiteral("^\\s*(\\d+)\\s*vol"));
    if (const auto m = volumes.match(extent); m.hasMatch() && m.captured(1).toInt() > 1) {
        remarks.push_back("Ensemble de " + m.captured(1).toStdString() +
                          " volumes : le nombre de pages est laissé vide.");
        return 0;
    }
    static const QRegularExpression pages(QStringLiteral("(\\d+)\\s*p(\\.|\\b|ages)"));
    const auto m = pages.match(extent);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

} // namespace

std::string languageName(std::string_view code) {
    const std::string c = QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size()))
                              .trimmed()
                              .toLower()
                              .toStdString();
    if (c.empty()) return {};
    for (const Language& l : languages) {
        const QStringList codes = QString::fromLatin1(l.codes).split(u' ');
        if (codes.contains(QString::fromStdString(c))) return l.name;
    }
    return {};
}

std::string foldedName(std::string_view utf8) {
    std::vector<std::string_view> words;
    const std::string key = nameKey(utf8);
    for (std::size_t at = 0; at < key.size();) {
        const std::size_t end = std::min(key.find(' ', at), key.size());
        words.push_back(std::string_view(key).substr(at, end - at));
        at = end + 1;
    }
    std::sort(words.begin(), words.end());
    std::string out;
    for (const std::string_view w : words)
        out.append(out.empty() ? "" : " ").append(w);
    return out;
}

bool carriesIsbn(const FoundBook& book, std::string_view isbn13) {
    return std::ranges::any_of(book.isbns,
                               [&](const std::string& i) { return isbn::digits13(i) == isbn13; });
}

const FoundBook* bookFor(const Answer& answer, std::string_view isbn13) {
    for (const FoundBook& b : answer.books)
        if (carriesIsbn(b, isbn13)) return &b;
    return nullptr;
}

Proposal propose(const FoundBook& b, std::string_view isbn13, const MapOptions& o) {
    Proposal p;
    const auto put = [&](Field f, const std::string& value) {
        const std::string v = fitted(clean(value), capacityOf(f));
        if (!v.empty()) p.values.emplace_back(f, v);
    };

    std::string title = withoutFinalDot(clean(b.title));
    if (!b.part.empty()) title += ". " + b.part;
    if (!b.subtitle.empty()) title += " : " + b.subtitle;
    if (length(title) > capacityOf(Field::titre)) p.remarks.push_back("Titre coupé : " + title);
    put(Field::titre, cutAtWord(title, capacityOf(Field::titre)));

    if (!b.authors.empty()) {
        put(Field::auteur, authorName(b.authors.front(), o));
        if (b.authors.size() > 1) {
            p.severalAuthors = true;
            std::string others;
            for (std::size_t i = 1; i < b.authors.size(); ++i)
                others += (i > 1 ? " ; " : "") + formed(b.authors[i], o.form);
            p.values.emplace_back(Field::notes,
                                  fitted("Autres auteurs : " + others, capacityOf(Field::notes)));
        }
    }
    put(Field::edition, b.publisher);
    put(Field::imprimeur, b.printer);

    std::string series = clean(b.series);
    const std::string number = clean(b.seriesNumber);
    if (!number.empty() && length(series + ", " + number) <= capacityOf(Field::collection))
        series += ", " + number;
    put(Field::collection, series);

    put(Field::anedition, year(b.date));
    if (const int pages = pageCount(b, p.remarks); pages > 0 && pages <= 9999)
        put(Field::nbpage, std::to_string(pages));
    if (const std::string name = languageName(b.language); !name.empty())
        put(Field::langue, name);
    else if (!b.language.empty())
        p.remarks.push_back("Langue « " + b.language + " » inconnue de la table : laissée vide.");
    if (!b.subjects.empty()) put(Field::sujet, withoutFinalDot(b.subjects.front()));

    const std::string summary = clean(b.summary);
    if (!summary.empty()) put(Field::resume, cutAtWord(summary, capacityOf(Field::resume)));
    put(Field::isbn, std::string(isbn13));
    return p;
}

} // namespace q7::lookup
