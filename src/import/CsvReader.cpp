#include "import/CsvReader.h"

#include "import/Authors.h"
#include "import/Exporters.h"
#include "import/FieldNames.h"
#include "import/ForeignFormats.h"
#include "import/TextEncoding.h"
#include "import/Values.h"
#include "record/ExportColumns.h"
#include "store/Errors.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace q7::import {

namespace {

constexpr std::size_t ownValues = exportColumns.size();

// The export's values, in its order, as the targets their record names stand for.
const std::array<Target, ownValues>& ownOrder() {
    static const std::array<Target, ownValues> order = [] {
        std::array<Target, ownValues> out{};
        for (std::size_t i = 0; i < ownValues; ++i) {
            const std::optional<Target> t =
                targetOfName(exportColumns[i].name, Dialect::spreadsheet);
            if (!t) throw std::logic_error("an exported value the importer cannot name");
            // The export's date is always the registration date, "0:0:0" included.
            out[i] = *t == Target::dateOrYear ? Target::dateAdded : *t;
        }
        return out;
    }();
    return order;
}

// No book needs a megabyte: a longer row is passed over, not kept, so that a file of one
// huge line costs no more memory than the file itself.
constexpr std::size_t maxRowBytes = std::size_t(1) << 20;

struct Row {
    int line = 0; // where the row starts, from 1
    std::vector<std::string> cells;
    bool unclosedQuote = false;
    std::size_t tooLong = 0; // the row's length when past maxRowBytes (cells then empty)
};

std::string tooLongText(const Row& row) {
    return "plus de " + std::to_string(row.tooLong >> 20) +
           " Mo sur une seule ligne, bien plus qu'une fiche ne peut en tenir (1 Mo au plus)";
}

// Reads rows one after the other, quotes as RFC 4180 has them; a quote inside an
// unquoted cell is an ordinary character.
class RowReader {
public:
    RowReader(std::string_view text, char separator) : text_(text), sep_(separator) {}

    bool next(Row& row) {
        if (pos_ >= text_.size()) return false;
        row.cells.clear();
        row.line = line_;
        row.unclosedQuote = false;
        row.tooLong = 0;
        const std::size_t start = pos_;
        std::string cell;
        bool quoted = false, wasQuoted = false;
        while (pos_ < text_.size()) {
            if (pos_ - start > maxRowBytes && row.tooLong == 0) {
                row.tooLong = 1;
                row.cells.clear();
                std::string().swap(cell);
            }
            const char c = text_[pos_++];
            if (quoted) {
                if (c == '"') {
                    if (pos_ < text_.size() && text_[pos_] == '"') {
                        if (!row.tooLong) cell += '"';
                        ++pos_;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (c == '\n') ++line_;
                    if (!row.tooLong) cell += c;
                }
            } else if (c == '"' && cell.empty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == sep_) {
                if (!row.tooLong) row.cells.push_back(std::move(cell));
                cell.clear();
                wasQuoted = false;
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
                ++line_;
                break;
            } else if (!row.tooLong) {
                cell += c;
            }
        }
        row.unclosedQuote = quoted;
        if (row.tooLong)
            row.tooLong = pos_ - start;
        else
            row.cells.push_back(std::move(cell));
        return true;
    }

private:
    std::string_view text_;
    char sep_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

std::string_view firstLine(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

char guessSeparator(std::string_view line) {
    int counts[3] = {};
    const char seps[3] = {'\t', ';', ','};
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        for (int k = 0; k < 3; ++k)
            if (c == seps[k]) ++counts[k];
    }
    int best = 2;
    for (int k = 1; k >= 0; --k)
        if (counts[k] >= counts[best] && counts[k] > 0) best = k;
    return seps[best];
}

std::string separatorName(char sep) {
    return sep == '\t' ? "tabulation" : std::string("« ") + sep + " »";
}

bool isBlankRow(const Row& row) {
    if (row.tooLong) return false;
    for (const std::string& c : row.cells)
        if (!oneLine(c).empty()) return false;
    return true;
}

// A spreadsheet formula that only gives a text, ="0316769487" as Goodreads writes its
// ISBNs so that no spreadsheet turns them into numbers: the text.
std::string unwrapFormula(const std::string& cell) {
    const std::string_view t = trimmed(cell);
    if (t.size() < 3 || !t.starts_with("=\"") || !t.ends_with('"')) return cell;
    std::string out;
    const std::string_view inner = t.substr(2, t.size() - 3);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '"') {
            if (i + 1 < inner.size() && inner[i + 1] == '"') {
                out += '"';
                ++i;
                continue;
            }
            return cell; // a real formula ("a"&"b"): kept as written
        }
        out += inner[i];
    }
    return out;
}

// Characters no one sees, which some programs leave in a header (a second byte order
// mark, a zero-width space): "« \uFEFFTitle »" in the report would look like a mistake.
std::string visible(std::string text) {
    for (const char* mark :
         {"\xEF\xBB\xBF", "\xE2\x80\x8B", "\xE2\x80\x8C", "\xE2\x80\x8D", "\xE2\x81\xA0"})
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
            text.erase(at, 3);
    return text;
}

void addCell(SourceBook& book, Target t, const std::string& raw, AuthorSeparators* authors) {
    if (t == Target::ignored) return;
    const std::string cell = unwrapFormula(raw);
    if (t == Target::authors) {
        for (std::string& a : authors->split(book.where, cell))
            book.add(t, std::move(a));
        return;
    }
    if (t == Target::comments || t == Target::summary) {
        book.add(t, cell);
        return;
    }
    std::string value = oneLine(cell);
    if (!value.empty()) book.add(t, std::move(value));
}

SourceFile readOwnExport(std::string_view text) {
    SourceFile file;
    file.format = "export CSV de Lirabel 3";
    for (std::size_t i = 0; i < ownValues; ++i)
        if (ownOrder()[i] != Target::reference)
            file.mapping.push_back("valeur " + std::to_string(i + 1) + " → " +
                                   targetLabel(ownOrder()[i]));
    std::size_t start = 0;
    int line = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string_view l(text.data() + start, end - start);
        ++line;
        start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        if (l.empty()) continue;
        ++file.entries;
        const std::string where = "ligne " + std::to_string(line);
        if (l.size() > maxRowBytes) {
            file.rejected.push_back({where, tooLongText(Row{line, {}, false, l.size()})});
            continue;
        }
        if (l.size() >= 2 && l.front() == '\'' && l.back() == '\'') l = l.substr(1, l.size() - 2);
        std::vector<std::string_view> values;
        std::size_t from = 0;
        for (;;) {
            const std::size_t semi = l.find(';', from);
            values.push_back(l.substr(from, semi - from));
            if (semi == std::string_view::npos) break;
            from = semi + 1;
        }
        if (values.size() != ownValues) {
            // A ";" inside a value shifts every value after it: no guess is safe.
            file.rejected.push_back({where, std::to_string(values.size()) + " valeurs au lieu de " +
                                                std::to_string(ownValues) +
                                                " (un « ; » dans une valeur ?)"});
            continue;
        }
        SourceBook book;
        book.where = where;
        for (std::size_t i = 0; i < ownValues; ++i)
            book.add(ownOrder()[i], std::string(values[i]));
        file.books.push_back(std::move(book));
    }
    return file;
}

std::vector<Target> headerTargets(const Row& header, const Columns& columns, SourceFile& file,
                                  std::string_view bytes) {
    std::vector<std::string> names, folded;
    for (const std::string& cell : header.cells) {
        names.push_back(visible(oneLine(unwrapFormula(cell))));
        folded.push_back(foldName(names.back()));
    }
    const Exporter* exporter = recognizeExporter(folded);
    if (exporter) file.format += ", export reconnu : " + std::string(exporter->name);
    std::vector<Target> targets;
    bool any = false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        std::optional<Target> t;
        for (const auto& [h, target] : columns.byHeader)
            if (h == folded[i]) t = target;
        if (!t && exporter) t = exporterTarget(*exporter, folded[i]);
        if (!t) t = targetOfName(name, Dialect::spreadsheet);
        targets.push_back(t.value_or(Target::ignored));
        if (name.empty()) continue;
        if (!t) {
            file.mapping.push_back("« " + name + " » → ignorée (nom inconnu)");
            continue;
        }
        file.mapping.push_back("« " + name + " » → " + targetLabel(*t));
        any = any || *t != Target::ignored;
    }
    if (!any) {
        if (auto why = foreignFormat(bytes)) throw Error(*why);
        throw Error("Aucune colonne de la première ligne n'est reconnue comme un champ de la "
                    "fiche : nommez-les avec --colonnes (voir --help)");
    }
    return targets;
}

} // namespace

bool looksLikeOwnExport(std::string_view utf8) {
    // Every line between quotes, and one of the first lines with exactly its 28 values
    // and the date "j:m:a" in 17th place (a ";" inside a value adds values to a line).
    bool exact = false;
    std::size_t start = 0;
    for (int n = 0; n < 20 && start < utf8.size(); ++n) {
        std::size_t end = utf8.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = utf8.size();
        const std::string_view l = utf8.substr(start, end - start);
        start = end + 1;
        if (l.empty()) continue;
        if (l.size() < 2 || l.front() != '\'' || l.back() != '\'') return false;
        std::size_t semis = 0, at = 0;
        std::string_view date;
        for (std::size_t i = 0; i < l.size(); ++i) {
            if (l[i] != ';') continue;
            if (semis == 16) date = l.substr(at, i - at);
            ++semis;
            at = i + 1;
        }
        if (semis < ownValues - 1) return false;
        if (semis != ownValues - 1) continue;
        int colons = 0;
        bool digits = true;
        for (char c : date) {
            if (c == ':')
                ++colons;
            else if (c < '0' || c > '9')
                digits = false;
        }
        exact = exact || (digits && colons == 2);
    }
    return exact;
}

SourceFile readCsv(std::string_view bytes, const Columns& columns) {
    DecodedText decoded = decodeText(bytes);
    std::vector<std::string> strays;
    for (const auto& [line, count] : decoded.strayLines)
        strays.push_back("ligne " + std::to_string(line) + " : " + std::to_string(count) +
                         (count > 1 ? " octets hors UTF-8 lus" : " octet hors UTF-8 lu") +
                         " en Windows-1252");
    if (!strays.empty()) {
        decoded.encoding += " (quelques octets d'un autre codage, lus en Windows-1252)";
        strays.insert(strays.begin(), "Octets hors UTF-8 :");
        for (std::size_t i = 1; i < strays.size(); ++i)
            strays[i] = "  " + strays[i];
    }
    const std::string_view text = decoded.utf8();
    if (columns.empty() && looksLikeOwnExport(text)) {
        SourceFile file = readOwnExport(text);
        file.encoding = decoded.encoding;
        file.notes.insert(file.notes.end(), strays.begin(), strays.end());
        return file;
    }
    const char sep = guessSeparator(firstLine(text));
    SourceFile file;
    file.encoding = decoded.encoding;
    file.format = "CSV (séparateur " + separatorName(sep) + ")";
    RowReader rows(text, sep);
    // One book a line, roughly: no growing of a large vector book by book.
    file.books.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') + 1));
    Row row;
    std::vector<Target> targets = columns.byPosition;
    if (targets.empty()) {
        while (rows.next(row) && isBlankRow(row)) {
        }
        if (row.tooLong)
            throw Error("Ligne " + std::to_string(row.line) + " : " + tooLongText(row) +
                        " ; ce n'est pas une ligne de noms de colonnes. Rien n'est importé.");
        if (row.cells.empty() || isBlankRow(row)) return file;
        targets = headerTargets(row, columns, file, bytes);
    } else {
        for (std::size_t i = 0; i < targets.size(); ++i)
            file.mapping.push_back("colonne " + std::to_string(i + 1) + " → " +
                                   targetLabel(targets[i]));
    }
    AuthorSeparators authors;
    int blank = 0;
    while (rows.next(row)) {
        if (isBlankRow(row)) {
            ++blank;
            continue;
        }
        ++file.entries;
        const std::string where = "ligne " + std::to_string(row.line);
        if (row.unclosedQuote) {
            file.rejected.push_back({where, "guillemet ouvert jamais fermé : la suite du fichier "
                                            "n'est qu'une seule valeur"});
            continue;
        }
        if (row.tooLong) {
            file.rejected.push_back({where, tooLongText(row)});
            continue;
        }
        SourceBook book;
        book.where = where;
        int extra = 0;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            if (i < targets.size())
                addCell(book, targets[i], row.cells[i], &authors);
            else if (!oneLine(row.cells[i]).empty())
                ++extra;
        }
        if (extra > 0)
            file.notes.push_back(where + " : " + std::to_string(extra) +
                                 " valeur(s) au-delà de la dernière colonne, non reprise(s)");
        file.books.push_back(std::move(book));
    }
    authors.notes(file);
    if (blank > 0) file.notes.push_back(std::to_string(blank) + " ligne(s) vide(s) sautée(s)");
    file.notes.insert(file.notes.end(), strays.begin(), strays.end());
    return file;
}

} // namespace q7::import
