// The BnF's SRU answers, in UNIMARC (subfields, role codes) or in Dublin Core (one text
// per element, cataloguing punctuation included).
#include "lookup/FoundBook.h"
#include "lookup/TitleProper.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace q7::lookup {

namespace {

struct Datafield {
    std::string tag;
    char ind2 = ' ';
    std::vector<std::pair<char, std::string>> subfields;

    std::string first(char code) const {
        for (const auto& [c, v] : subfields)
            if (c == code && !v.empty()) return v;
        return {};
    }
};

struct SruRecord {
    std::string identifier;
    std::string leader;                                  // UNIMARC
    std::vector<Datafield> fields;                       // UNIMARC
    std::vector<std::pair<std::string, std::string>> dc; // Dublin Core: element, text
    std::string diagnostic;                              // a record the server could not give
};

std::string utf8(QStringView s) {
    return s.toString().trimmed().toStdString();
}

// The records of an SRU answer and how many the server holds for the question; false,
// with `problem` set, when it is not one.
bool parseSru(std::string_view bytes, std::vector<SruRecord>& records, std::string& problem,
              long long& total) {
    QXmlStreamReader xml(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    bool root = false;
    std::string diagnostic;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (!root) {
            if (name != u"searchRetrieveResponse") {
                problem = "la réponse n'est pas une réponse SRU";
                return false;
            }
            root = true;
        } else if (name == u"record" && xml.namespaceUri() == u"http://www.loc.gov/zing/srw/") {
            records.emplace_back();
        } else if (name == u"numberOfRecords" && records.empty()) {
            bool number = false;
            const long long n = xml.readElementText().trimmed().toLongLong(&number);
            if (number && n >= 0) total = n;
        } else if (records.empty()) {
            if (name == u"message")
                diagnostic = utf8(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == u"recordIdentifier") {
            records.back().identifier = utf8(xml.readElementText());
        } else if (name == u"leader") {
            records.back().leader = xml.readElementText().toStdString();
        } else if (name == u"datafield") {
            Datafield f;
            f.tag = xml.attributes().value(QLatin1String("tag")).toString().toStdString();
            const QStringView ind2 = xml.attributes().value(QLatin1String("ind2"));
            f.ind2 = ind2.isEmpty() ? ' ' : static_cast<char>(ind2.at(0).toLatin1());
            records.back().fields.push_back(std::move(f));
        } else if (name == u"subfield" && !records.back().fields.empty()) {
            const QStringView code = xml.attributes().value(QLatin1String("code"));
            const char c = code.isEmpty() ? ' ' : static_cast<char>(code.at(0).toLatin1());
            records.back().fields.back().subfields.emplace_back(c, utf8(xml.readElementText()));
        } else if (xml.namespaceUri() == u"http://purl.org/dc/elements/1.1/") {
            records.back().dc.emplace_back(
                name.toString().toStdString(),
                utf8(xml.readElementText(QXmlStreamReader::IncludeChildElements)));
        } else if (name == u"message") {
            records.back().diagnostic =
                utf8(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    if (xml.hasError()) {
        problem = xml.error() == QXmlStreamReader::PrematureEndOfDocumentError
                      ? "la réponse s'arrête au milieu (connexion coupée ?)"
                      : "la réponse n'est pas du XML lisible (ligne " +
                            std::to_string(xml.lineNumber()) + ")";
        return false;
    }
    if (!root) {
        problem = "la réponse est vide";
        return false;
    }
    if (records.empty() && !diagnostic.empty()) {
        problem = "le service signale : " + diagnostic;
        return false;
    }
    return true;
}

// Role codes of the people who wrote the book; translators (730), scholarly editors
// (340), publishing directors (651) and the like are not authors.
bool writes(const Datafield& f) {
    const std::string role = f.first('4');
    if (role.empty()) {
        // Publishers' pre-records give no code, but name the translator in words.
        const std::string said = f.first('c');
        return said.find("raduct") == std::string::npos && said.find("irect") == std::string::npos;
    }
    static const char* const authorRoles[] = {"070", "440", "900", "710"};
    return std::ranges::any_of(authorRoles, [&](const char* r) { return role == r; });
}

FoundBook unimarcBook(const SruRecord& r) {
    FoundBook b;
    b.identifier = r.identifier;
    b.serial = r.leader.size() > 7 && r.leader[7] == 's'; // the bibliographic level
    bool statement = false;                               // 200 $f: the title stands alone in $a
    std::vector<Person> people; // every role: a translator's name ends a title too
    for (const Datafield& f : r.fields) {
        const std::string& t = f.tag;
        if (t == "010" || t == "073") {
            if (!f.first('a').empty()) b.isbns.push_back(f.first('a'));
        } else if (t == "100" && b.date.empty()) {
            const std::string a = f.first('a');
            if (a.size() >= 13) b.date = a.substr(9, 4); // the coded date of publication
        } else if (t == "101" && b.language.empty()) {
            b.language = f.first('a');
        } else if (t == "200" && b.title.empty()) {
            b.title = f.first('a');
            statement = !f.first('f').empty();
            b.subtitle = f.first('e');
            const std::string h = f.first('h'), i = f.first('i');
            b.part = h.empty() ? i : (i.empty() ? h : h + ", " + i);
        } else if (t == "214" && f.ind2 == '3') {
            if (b.printer.empty()) b.printer = f.first('c').empty() ? f.first('a') : f.first('c');
        } else if (t == "210" || (t == "214" && f.ind2 == '0')) {
            if (t == "210" && b.printer.empty()) b.printer = f.first('g');
            if (b.publisher.empty()) b.publisher = f.first('c');
            if (!f.first('d').empty()) b.date = f.first('d');
        } else if (t == "215" && b.extent.empty()) {
            b.extent = f.first('a');
        } else if ((t == "225" || t == "410" || t == "461") && b.series.empty()) {
            b.series = f.first(t == "225" ? 'a' : 't');
            b.seriesNumber = f.first('v');
        } else if (t == "330" && b.summary.empty()) {
            b.summary = f.first('a');
        } else if (t == "600" || t == "601" || t == "606" || t == "607" || t == "608") {
            if (!f.first('a').empty()) b.subjects.push_back(f.first('a'));
        } else if (t == "700" || t == "701" || t == "702") {
            people.push_back({f.first('a'), f.first('b'), {}});
            if (writes(f)) b.authors.push_back(people.back());
        }
    }
    if (!statement) b.title = titleProper(b.title, people);
    return b;
}

// "Damasio, Alain (1969-....). Auteur du texte" into the person and the role.
std::pair<Person, std::string> dcPerson(std::string text) {
    std::string role;
    const std::size_t close = text.rfind(").");
    if (close != std::string::npos) {
        role = text.substr(close + 2);
        text.erase(close + 1);
    } else if (const std::size_t dot = text.rfind(". "); dot != std::string::npos) {
        role = text.substr(dot + 2);
        text.erase(dot);
    }
    if (const std::size_t open = text.rfind(" ("); open != std::string::npos) text.erase(open);
    Person p;
    if (const std::size_t comma = text.find(", "); comma != std::string::npos) {
        p.surname = text.substr(0, comma);
        p.forename = text.substr(comma + 2);
    } else {
        p.whole = text;
    }
    while (!role.empty() && role.front() == ' ')
        role.erase(0, 1);
    return {p, role};
}

bool authorRole(const std::string& role) {
    return role.empty() || role.starts_with("Auteur") || role == "Scénariste" ||
           role == "Dessinateur" || role == "Illustrateur";
}

FoundBook dublinCoreBook(const SruRecord& r) {
    FoundBook b;
    b.identifier = r.identifier;
    bool statement = false; // the title says where its statement of responsibility begins
    std::vector<Person> people;
    for (const auto& [element, text] : r.dc) {
        if (element == "title" && b.title.empty()) {
            // The statement of responsibility follows " / ".
            const std::size_t slash = text.find(" / ");
            statement = slash != std::string::npos;
            b.title = text.substr(0, slash);
        } else if (element == "creator" || element == "contributor") {
            const auto named = dcPerson(text);
            const Person& person = named.first;
            people.push_back(person);
            const bool known = std::ranges::any_of(b.authors, [&](const Person& p) {
                return p.surname == person.surname && p.forename == person.forename &&
                       p.whole == person.whole;
            });
            if (authorRole(named.second) && !known) b.authors.push_back(person);
        } else if (element == "publisher" && b.publisher.empty()) {
            std::string p = text;
            if (p.ends_with(")"))
                if (const std::size_t open = p.rfind(" ("); open != std::string::npos)
                    p.erase(open);
            b.publisher = p;
        } else if (element == "date" && b.date.empty()) {
            b.date = text;
        } else if (element == "format" && b.extent.empty()) {
            b.extent = text;
        } else if (element == "language" && b.language.empty()) {
            b.language = text;
        } else if (element == "subject") {
            b.subjects.push_back(text);
        } else if (element == "type") {
            b.serial =
                b.serial || text == "publication en série imprimée" || text == "printed serial";
        } else if (element == "identifier" && text.starts_with("ISBN ")) {
            b.isbns.push_back(text.substr(5));
        } else if (element == "description") {
            if (const std::size_t ean = text.find("EAN "); ean != std::string::npos)
                b.isbns.push_back(text.substr(ean + 4));
            if (text.starts_with("Collection : ") && b.series.empty()) {
                const std::string s = text.substr(13);
                const std::size_t semi = s.find(" ; ");
                b.series = s.substr(0, semi);
                if (semi != std::string::npos) b.seriesNumber = s.substr(semi + 3);
            }
        }
    }
    if (!statement) b.title = titleProper(b.title, people);
    return b;
}

template <typename Make> Answer read(std::string_view bytes, bool unimarc, Make make) {
    Answer a;
    std::vector<SruRecord> records;
    if (!parseSru(bytes, records, a.problem, a.total)) {
        a.kind = Answer::Kind::malformed;
        return a;
    }
    for (const SruRecord& r : records) {
        if (!r.diagnostic.empty() && r.fields.empty() && r.dc.empty()) {
            a.problem = "le service signale : " + r.diagnostic;
            continue;
        }
        if (unimarc ? r.fields.empty() : r.dc.empty()) {
            a.problem =
                unimarc ? "la notice n'est pas en UNIMARC" : "la notice n'est pas en Dublin Core";
            continue;
        }
        a.books.push_back(make(r));
    }
    a.kind = !a.books.empty()  ? Answer::Kind::found
             : records.empty() ? Answer::Kind::none
                               : Answer::Kind::malformed;
    return a;
}

} // namespace

Answer readUnimarc(std::string_view bytes) {
    return read(bytes, true, unimarcBook);
}

Answer readDublinCore(std::string_view bytes) {
    return read(bytes, false, dublinCoreBook);
}

} // namespace q7::lookup
