#include "output/PocketPage.h"

#include "output/OutputFile.h"
#include "store/Cp1252.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>

#include <cstdio>
#include <stdexcept>
#include <unordered_map>

namespace q7 {

namespace {

// One place in a book's array; the page finds each by its key. Shared values (authors,
// shelves, types...) are written once in the page and named by their index; the cells a
// book leaves at their default at the end of its array are left out. Long texts (notes,
// summary), half the page and wanted only on a book's card, go apart, compressed: the
// list is shown before they are unpacked.
enum class Cell { Text, Shared, Date, Flags, Thumbnail, Long };
struct Column {
    const char* key;
    Cell cell;
    Field field;
};
// clang-format off
constexpr Column columns[] = {
    {"titre", Cell::Text, Field::titre},
    {"auteur", Cell::Shared, Field::auteur},
    {"collection", Cell::Shared, Field::collection},
    {"anedition", Cell::Shared, Field::anedition},
    {"pos1", Cell::Shared, Field::pos1},
    {"pos2", Cell::Shared, Field::pos2},
    {"pos3", Cell::Shared, Field::pos3},
    {"pos4", Cell::Shared, Field::pos4},
    {"edition", Cell::Shared, Field::edition},
    {"isbn", Cell::Text, Field::isbn},
    {"numero", Cell::Text, Field::numero},
    {"sujet", Cell::Shared, Field::sujet},
    {"type", Cell::Shared, Field::type},
    {"langue", Cell::Shared, Field::langue},
    {"etat", Cell::Shared, Field::etat},
    {"imprimeur", Cell::Shared, Field::imprimeur},
    {"origine", Cell::Shared, Field::origine},
    {"txtutil", Cell::Shared, Field::txtutil},
    {"prix", Cell::Shared, Field::prix},
    {"nbpage", Cell::Shared, Field::nbpage},
    {"date", Cell::Date, Field::titre},
    {"drapeaux", Cell::Flags, Field::titre}, // bit f: flag f is 1
    {"vignette", Cell::Thumbnail, Field::titre},
    {"notes", Cell::Long, Field::notes},
    {"resume", Cell::Long, Field::resume},
};
// clang-format on

// Text as a JSON string that can stand inside a <script> element: "<", ">" and "&" are
// escaped too, so no text ends the element or opens a comment, whatever it holds.
void appendJson(std::string& out, std::string_view cp1252) {
    out += '"';
    for (char byte : cp1252) {
        const char32_t c = cp1252ToUnicode(static_cast<unsigned char>(byte));
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || (c >= 0x7F && c < 0xA0)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            out += escaped;
        } else {
            appendUtf8(out, c);
        }
    }
    out += '"';
}

std::string resource(const char* name) {
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) throw std::logic_error(std::string("no resource ") + name);
    const QByteArray bytes = file.readAll();
    return bytes.toStdString();
}

struct Assets {
    std::string style, body, script, policy;
};

// The inline style and script are allowed by their hashes: nothing else may run or load.
const Assets& assets() {
    static const Assets a = [] {
        Assets made{resource(":/poche/poche.css"),
                    resource(":/poche/poche.html"),
                    resource(":/poche/poche.js"),
                    {}};
        const auto hash = [](const std::string& text) {
            return "'sha256-" +
                   QCryptographicHash::hash(QByteArray::fromStdString(text),
                                            QCryptographicHash::Sha256)
                       .toBase64()
                       .toStdString() +
                   "'";
        };
        made.policy = "default-src 'none'; script-src " + hash(made.script) + "; style-src " +
                      hash(made.style) + "; img-src data:; base-uri 'none'; form-action 'none'";
        return made;
    }();
    return a;
}

std::string twoDigits(int n) {
    return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

std::tm localTime(std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    return t;
}

class PocketPage : public ExportSession {
public:
    PocketPage(std::string& out, const ExportContext& context) {
        const Assets& a = assets();
        const std::tm t = localTime(context.extras.made);
        const std::string day = twoDigits(t.tm_mday) + "/" + twoDigits(t.tm_mon + 1) + "/" +
                                std::to_string(t.tm_year + 1900);
        out += "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
               "<meta http-equiv=\"Content-Security-Policy\" content=\"";
        out += a.policy;
        out += "\">\n<meta name=\"color-scheme\" content=\"light dark\">\n"
               "<meta name=\"generator\" content=\"Lirabel 3\">\n"
               "<link rel=\"icon\" href=\"data:,\">\n<title>Catalogue de poche du ";
        out += day;
        out += "</title>\n<style>";
        out += a.style;
        out += "</style>\n</head>\n<body>\n";
        out += a.body;
        out += "<script type=\"application/json\" id=\"catalogue\">{\"made\":";
        appendJson(out, lit(day + " à " + twoDigits(t.tm_hour) + ":" + twoDigits(t.tm_min)));
        out += ",\"madeAt\":" + std::to_string(std::int64_t(context.extras.made) * 1000);
        out += ",\"captions\":{\"txtutil\":";
        appendJson(out, context.captions.textutilisateur);
        out += ",\"cocheutil\":";
        appendJson(out, context.captions.cocheutilisateur);
        out += ",\"devise\":";
        appendJson(out, context.captions.devise);
        out += '}';
        const auto keys = [&out](const char* name, auto which) {
            out += ",\"";
            out += name;
            out += "\":[";
            bool first = true;
            for (const Column& c : columns) {
                if (!which(c.cell)) continue;
                out += first ? "\"" : ",\"";
                first = false;
                out += c.key;
                out += '"';
            }
            out += ']';
        };
        keys("columns", [](Cell c) { return c != Cell::Long; });
        keys("shared", [](Cell c) { return c == Cell::Shared || c == Cell::Date; });
        keys("long", [](Cell c) { return c == Cell::Long; });
        out += ",\"books\":[";
        values_ = "\"\"";
        shared_.emplace(std::string(), 0);
        long_ = "[";
    }

    void add(std::string& out, const Fiche& record, const ExportContext& context) override {
        out += books_ ? ",[" : "[";
        long_ += books_ ? ",[" : "[";
        std::size_t end = out.size(); // after the last cell that is not its default
        std::size_t longEnd = long_.size();
        const std::string reference(record.view(Field::numero));
        for (const Column& c : columns) {
            if (c.cell == Cell::Long) continue;
            if (&c != columns) out += ',';
            bool filled = true;
            switch (c.cell) {
            case Cell::Text:
            case Cell::Long:
                filled = !record.view(c.field).empty();
                appendJson(out, record.view(c.field));
                break;
            case Cell::Shared: filled = appendShared(out, record.view(c.field)); break;
            case Cell::Date: filled = appendShared(out, dateOf(record)); break;
            case Cell::Flags: {
                int bits = 0;
                for (int f = 0; f < flagCount; ++f)
                    if (record.flagIsOne(Flag(f))) bits |= 1 << f;
                out += std::to_string(bits);
                filled = bits != 0;
                break;
            }
            case Cell::Thumbnail: {
                const std::string jpeg = context.extras.thumbnail && !reference.empty()
                                             ? context.extras.thumbnail(reference)
                                             : std::string();
                filled = !jpeg.empty() && jpeg.size() <= thumbnailBytes;
                out += '"';
                if (filled) out += QByteArray::fromStdString(jpeg).toBase64().toStdString();
                out += '"';
                break;
            }
            }
            if (filled) end = out.size();
        }
        for (const Column& c : columns) {
            if (c.cell != Cell::Long) continue;
            if (long_.back() != '[') long_ += ',';
            appendJson(long_, record.view(c.field));
            if (!record.view(c.field).empty()) longEnd = long_.size();
        }
        out.resize(end);
        out += ']';
        long_.resize(longEnd);
        long_ += ']';
        if (context.extras.lent) {
            if (auto at = context.extras.lent->find(reference); at != context.extras.lent->end()) {
                loans_ += loans_.empty() ? "[" : ",[";
                loans_ += std::to_string(books_);
                loans_ += ',';
                appendJson(loans_, at->second.borrower);
                loans_ += ',';
                appendJson(loans_, at->second.since);
                loans_ += ']';
            }
        }
        ++books_;
    }

    void finish(std::string& out, const ExportContext&) override {
        out += "],\"values\":[";
        out += values_;
        out += "],\"loans\":[";
        out += loans_;
        out += "]}</script>\n<script type=\"application/octet-stream\" id=\"long\">";
        long_ += ']';
        // zlib's stream alone (Qt puts the size in front), as base64. The fastest level:
        // the stronger ones save a tenth of the file and cost the collector a second.
        out += qCompress(QByteArray::fromStdString(long_), 1).mid(4).toBase64().toStdString();
        out += "</script>\n<script>";
        out += assets().script;
        out += "</script>\n</body>\n</html>\n";
    }

private:
    // The value's index, added to the page's values when new; false for an empty one.
    bool appendShared(std::string& out, std::string_view value) {
        auto [at, fresh] = shared_.try_emplace(std::string(value), int(shared_.size()));
        if (fresh) {
            values_ += ',';
            appendJson(values_, value);
        }
        out += std::to_string(at->second);
        return at->second != 0;
    }

    // "5/3/2004"; empty when no date was given.
    static std::string dateOf(const Fiche& f) {
        if (f.jour() == 0 && f.mois() == 0 && f.annee() == 0) return {};
        return std::to_string(f.jour()) + "/" + std::to_string(f.mois()) + "/" +
               std::to_string(f.annee());
    }

    std::unordered_map<std::string, int> shared_;
    std::string values_;
    std::string loans_;
    std::string long_; // per book, its long texts
    int books_ = 0;
};

} // namespace

std::unique_ptr<ExportSession> startPocketPage(std::string& out, const ExportContext& context) {
    return std::make_unique<PocketPage>(out, context);
}

void writePocketPage(FileSystem& fs, const std::string& path, int count,
                     const std::function<const Fiche&(int)>& record, const Settings& captions,
                     const PageExtras& extras) {
    const std::string noTable;
    const ExportContext context{0, captions, noTable, extras};
    OutputFile out(fs, path);
    PocketPage page(out.buffer(), context);
    for (int i = 0; i < count; ++i) {
        page.add(out.buffer(), record(i), context);
        out.flushIfFull();
    }
    page.finish(out.buffer(), context);
    out.finish();
}

bool pocketPageName(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
        return false;
    std::string extension(path.substr(dot + 1));
    for (char& c : extension)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == "html" || extension == "htm";
}

} // namespace q7
