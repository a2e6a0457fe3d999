#include "import/BookMapper.h"

#include "import/Catalogue.h"
#include "import/FieldNames.h"
#include "store/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace q7::import {

namespace {

std::string joined(const std::vector<std::string>& values, const char* sep) {
    std::string out;
    for (const std::string& v : values)
        if (!v.empty()) out += (out.empty() ? "" : sep) + v;
    return out;
}

// Builds one record and the report's notes on it.
class Mapper {
public:
    explicit Mapper(const SourceBook& book) : book_(book) {}

    void put(Field f, const std::string& utf8) {
        std::size_t replaced = 0;
        std::string bytes = utf8ToCp1252(utf8, &replaced);
        if (replaced > 0)
            note(Finding::Kind::replaced, f, static_cast<int>(replaced),
                 std::to_string(replaced) +
                     " caractère(s) hors Windows-1252 remplacé(s) par « ? » "
                     "dans " +
                     fieldName(f));
        const std::size_t capacity = fieldInfo(f).capacity;
        if (bytes.size() > capacity) {
            note(Finding::Kind::cut, f, static_cast<int>(bytes.size() - capacity),
                 std::string(fieldName(f)) + " coupé à " + std::to_string(capacity) +
                     " caractères (" + std::to_string(bytes.size()) + " donnés)");
            bytes.resize(capacity);
            // Never half a line end.
            if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
        }
        out_.fiche.setText(f, bytes);
    }

    void note(Finding::Kind kind, Field f, int count, std::string text) {
        out_.findings.push_back({kind, f, count, std::move(text)});
    }

    void dropped(Field f, const std::string& given, const std::string& why) {
        note(Finding::Kind::dropped, f, 0,
             std::string(fieldName(f)) + " « " + given + " » non repris : " + why);
    }

    const SourceBook& book() const { return book_; }
    MappedBook take() { return std::move(out_); }
    Fiche& fiche() { return out_.fiche; }
    WholeTexts& whole() { return out_.whole; }

private:
    const SourceBook& book_;
    MappedBook out_;
};

// The volume goes with its series ("Folio, 3"), or else at the end of the title
// (", tome II"): volumes of one work are different books.
// The volume given on its own, as the record keeps it.
std::string givenVolume(const SourceBook& book) {
    const std::string given = book.first(Target::seriesNumber);
    // calibre gives every book an index, "1.0" for one in no series: no volume.
    return book.first(Target::series).empty() && given == "1.0" ? "" : volumeText(given);
}

void mapSeries(Mapper& m) {
    const std::string series = m.book().first(Target::series);
    const std::string number = givenVolume(m.book());
    const std::size_t seriesRoom = fieldInfo(Field::collection).capacity;
    if (!series.empty() && !number.empty() &&
        utf8ToCp1252(series + ", " + number).size() <= seriesRoom) {
        m.put(Field::collection, series + ", " + number);
        return;
    }
    m.put(Field::collection, series);
    if (number.empty()) return;
    Fiche& f = m.fiche();
    const std::string title = cp1252ToUtf8(f.view(Field::titre));
    if (volumeOf(f.view(Field::titre)) == volumeKey(number)) return; // the title says it already
    const std::string longer = title + ", tome " + number;
    if (!title.empty() && utf8ToCp1252(longer).size() <= fieldInfo(Field::titre).capacity) {
        f.setText(Field::titre, utf8ToCp1252(longer));
        return;
    }
    m.dropped(Field::titre, number,
              series.empty() ? "numéro de tome qui ne tient pas dans le titre"
                             : "numéro dans la série qui ne tient ni dans la collection ni "
                               "dans le titre");
}

void mapLocation(Mapper& m) {
    std::vector<std::string> levels;
    std::string level;
    for (char c : m.book().first(Target::location) + "/") {
        if (c == '/' || c == '\\' || c == '>') {
            if (std::string t = oneLine(level); !t.empty()) levels.push_back(t);
            level.clear();
        } else {
            level += c;
        }
    }
    if (levels.size() > 4) {
        std::vector<std::string> rest(levels.begin() + 3, levels.end());
        levels.resize(3);
        levels.push_back(joined(rest, "/"));
    }
    const Field fields[4] = {Field::pos1, Field::pos2, Field::pos3, Field::pos4};
    const Target own[4] = {Target::pos1, Target::pos2, Target::pos3, Target::pos4};
    for (std::size_t i = 0; i < 4; ++i) {
        // A column of its own for a position wins over the path.
        std::string value = m.book().first(own[i]);
        if (value.empty() && i < levels.size()) value = levels[i];
        m.put(fields[i], value);
    }
}

// The first good ISBN of the book's ISBN columns (an ISBN-13 column beside an empty ISBN
// one); identifiers that are no ISBN go to the notes, whole.
void mapIsbn(Mapper& m, std::vector<std::string>& notes) {
    std::string kept;
    for (const std::string& given : m.book().all(Target::isbn)) {
        const Isbn isbn = readIsbn(given);
        using S = Isbn::Status;
        if (isbn.status == S::none) continue;
        const bool good = isbn.status == S::valid || isbn.status == S::zeroRestored ||
                          isbn.status == S::fromExponent;
        if (good && kept.empty()) kept = isbn.digits;
        switch (isbn.status) {
        case S::none:
        case S::valid: break;
        case S::zeroRestored:
            m.note(Finding::Kind::isbnRepaired, Field::isbn, 0,
                   "ISBN « " + given + " » : zéro(s) de tête rendu(s), " + isbn.digits);
            break;
        case S::fromExponent:
            m.note(Finding::Kind::isbnRepaired, Field::isbn, 0,
                   "ISBN « " + given + " » écrit en puissance de 10 : " + isbn.digits);
            break;
        case S::exponentLost:
            m.note(Finding::Kind::isbnDoubtful, Field::isbn, 0,
                   "ISBN « " + given + " » abîmé par un tableur (chiffres perdus) : non repris");
            break;
        case S::wrongCheck:
        case S::oddLength:
        case S::notIsbn: {
            std::string shown(trimmed(given));
            if (shown.size() > 2 && shown.front() == '[' && shown.back() == ']')
                shown = std::string(trimmed(shown.substr(1, shown.size() - 2)));
            const char* why = isbn.status == S::wrongCheck  ? "la clé ne correspond pas"
                              : isbn.status == S::oddLength ? "ni 10 ni 13 chiffres"
                                                            : "ce n'est pas un ISBN";
            m.note(Finding::Kind::isbnDoubtful, Field::isbn, 0,
                   "« " + shown + " » : " + why + ", gardé dans les notes");
            notes.push_back("Identifiant : " + shown);
            break;
        }
        }
    }
    m.put(Field::isbn, kept);
}

void mapNumbers(Mapper& m) {
    const std::string price = m.book().first(Target::price);
    const Price p = readPrice(price);
    if (p.invalid) m.dropped(Field::prix, price, "pas un prix de 4 caractères au plus");
    if (p.rounded)
        m.note(Finding::Kind::priceRounded, Field::prix, 0,
               "prix « " + price + " » arrondi à « " + p.text + " » pour tenir en 4 caractères");
    // As the record window saves them: an empty price or page count is "0".
    m.put(Field::prix, p.text.empty() ? "0" : p.text);

    const std::string pages = m.book().first(Target::pages);
    auto count = readCount(pages, 4);
    if (!pages.empty() && !count) m.dropped(Field::nbpage, pages, "pas un nombre de 4 chiffres");
    m.put(Field::nbpage, count.value_or("0"));

    const std::string year = m.book().first(Target::year);
    auto y = readYear(year);
    if (!year.empty() && !y) m.dropped(Field::anedition, year, "pas une année");
    m.put(Field::anedition, y.value_or(""));
}

void mapFlags(Mapper& m) {
    const struct {
        Target target;
        Flag flag;
        const char* name;
    } flags[] = {{Target::volumesFlag, Flag::plutome, "plutome"},
                 {Target::authorsFlag, Flag::plusauteur, "plusauteur"},
                 {Target::readFlag, Flag::lut, "lu"},
                 {Target::specialIssueFlag, Flag::hs, "hs"},
                 {Target::bookmarkFlag, Flag::signet, "signet"},
                 {Target::userFlag, Flag::cocheutil, "cocheutil"},
                 {Target::jacketFlag, Flag::jacquette, "jacquette"}};
    for (const auto& f : flags) {
        const std::string given = m.book().first(f.target);
        const std::optional<bool> on = readFlag(given);
        if (!given.empty() && !on)
            m.note(Finding::Kind::dropped, Field::titre, 0,
                   std::string(f.name) + " « " + given + " » non repris : ni oui ni non");
        m.fiche().setFlag(f.flag, on.value_or(false));
    }
    if (m.book().all(Target::authors).size() > 1) m.fiche().setFlag(Flag::plusauteur, true);
}

void mapDate(Mapper& m, const Date& today) {
    const std::string given = m.book().first(Target::dateAdded);
    std::optional<Date> d = readDate(given);
    // The program's own "j:m:a", zeros included (0:0:0 is "not given", kept as such).
    if (!d && given.find(':') != std::string::npos) {
        int parts[3] = {-1, -1, -1};
        if (std::sscanf(given.c_str(), "%d:%d:%d", &parts[0], &parts[1], &parts[2]) == 3 &&
            parts[0] >= 0 && parts[0] < 256 && parts[1] >= 0 && parts[1] < 256)
            d = Date{parts[0], parts[1], parts[2]};
    }
    if (!given.empty() && !d)
        m.note(Finding::Kind::dropped, Field::titre, 0,
               "date d'ajout « " + given + " » illisible : date du jour");
    const Date date = d.value_or(today);
    m.fiche().setJour(static_cast<std::uint8_t>(date.day));
    m.fiche().setMois(static_cast<std::uint8_t>(date.month));
    m.fiche().setAnnee(date.year);
}

void mapTexts(Mapper& m, const std::vector<std::string>& identifiers) {
    const SourceBook& b = m.book();
    const std::vector<std::string> authors = b.all(Target::authors);
    m.put(Field::titre, b.first(Target::title));
    m.put(Field::auteur, authors.empty() ? std::string() : authors.front());
    m.put(Field::sujet, joined(b.all(Target::subject), ", "));
    m.put(Field::edition, b.first(Target::publisher));
    m.put(Field::txtutil, joined(b.all(Target::keywords), ", "));
    m.put(Field::imprimeur, b.first(Target::printer));
    m.put(Field::type, b.first(Target::binding));
    m.put(Field::langue, joined(b.all(Target::language), ", "));
    m.put(Field::etat, b.first(Target::condition));
    m.put(Field::origine, b.first(Target::origin));

    std::string notes;
    if (authors.size() > 1)
        notes = "Autres auteurs : " +
                joined(std::vector<std::string>(authors.begin() + 1, authors.end()), " ; ");
    for (const std::string& id : identifiers)
        notes += (notes.empty() ? "" : "\r\n") + id;
    const std::string comments = paragraphs(withoutHtml(joined(b.all(Target::comments), "\n")));
    if (!comments.empty()) notes += (notes.empty() ? "" : "\r\n") + comments;
    m.put(Field::notes, notes);
    m.put(Field::resume, paragraphs(withoutHtml(joined(b.all(Target::summary), "\n"))));
}

// "The Two Towers (The Lord of the Rings, #2)", as reading sites write a title in a
// series: the series and its number, when the book gives no series of its own.
void seriesFromTitle(SourceBook& book) {
    if (!book.first(Target::series).empty()) return;
    auto title = std::find_if(book.values.begin(), book.values.end(), [](const auto& v) {
        return v.first == Target::title && !v.second.empty();
    });
    if (title == book.values.end()) return;
    const std::string_view t = trimmed(title->second);
    const std::size_t open = t.rfind(" (");
    const std::size_t hash = t.rfind('#');
    if (!t.ends_with(')') || open == std::string_view::npos || hash == std::string_view::npos ||
        hash < open)
        return;
    const std::string_view number = trimmed(t.substr(hash + 1, t.size() - hash - 2));
    std::string_view series = trimmed(t.substr(open + 2, hash - open - 2));
    if (series.ends_with(',')) series = trimmed(series.substr(0, series.size() - 1));
    const std::string_view rest = trimmed(t.substr(0, open));
    if (number.empty() || series.empty() || rest.empty() ||
        !std::all_of(number.begin(), number.end(),
                     [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }))
        return;
    const std::string name(series), volume(number), kept(rest);
    title->second = kept;
    book.add(Target::series, name);
    if (book.first(Target::seriesNumber).empty()) book.add(Target::seriesNumber, volume);
}

// A reading state and a "Date" column told apart before the mapping: each becomes the
// target it stands for in this book.
SourceBook resolved(const SourceBook& book) {
    SourceBook out;
    out.where = book.where;
    out.values.reserve(book.values.size());
    for (const auto& [target, value] : book.values) {
        if (target == Target::readStatus) {
            const std::string f = foldName(value);
            const bool read = f == "read" || f == "lu" || f == "completed" || f == "finished" ||
                              f == "termine" || f == "fini";
            out.add(Target::readFlag, read ? "oui" : "non");
        } else if (target == Target::dateOrYear) {
            out.add(readDate(value) ? Target::dateAdded : Target::year, value);
        } else {
            out.add(target, value);
        }
    }
    seriesFromTitle(out);
    return out;
}

} // namespace

std::vector<std::string> SourceBook::all(Target t) const {
    std::vector<std::string> out;
    for (const auto& [target, value] : values)
        if (target == t) out.push_back(value);
    return out;
}

std::string SourceBook::first(Target t) const {
    for (const auto& [target, value] : values)
        if (target == t && !value.empty()) return value;
    return {};
}

const char* fieldName(Field f) {
    // One name per field, in the fields' order: a field without one does not compile.
    static constexpr std::array names = {
        "titre",   "auteur", "sujet",     "collection", "edition", "txtutil", "imprimeur", "type",
        "langue",  "etat",   "isbn",      "numero",     "pos1",    "pos2",    "pos3",      "pos4",
        "origine", "prix",   "anedition", "nbpage",     "notes",   "resume"};
    static_assert(names.size() == fieldCount);
    return names[static_cast<std::size_t>(f)];
}

MappedBook mapBook(const SourceBook& source, const Date& today) {
    const SourceBook book = resolved(source);
    Mapper m(book);
    const std::vector<std::string> authors = book.all(Target::authors);
    m.whole() = {utf8ToCp1252(book.first(Target::title)),
                 utf8ToCp1252(authors.empty() ? std::string() : authors.front()),
                 utf8ToCp1252(book.first(Target::series)), utf8ToCp1252(givenVolume(book))};
    std::vector<std::string> identifiers;
    mapIsbn(m, identifiers);
    mapTexts(m, identifiers);
    mapSeries(m);
    mapLocation(m);
    mapNumbers(m);
    mapFlags(m);
    mapDate(m, today);
    return m.take();
}

} // namespace q7::import
