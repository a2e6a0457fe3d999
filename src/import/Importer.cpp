#include "import/Importer.h"

#include "import/CsvReader.h"
#include "import/ForeignFormats.h"
#include "import/ImportLoans.h"
#include "import/XmlReaders.h"
#include "import/Zip.h"
#include "store/Errors.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace q7::import {

SourceFile readSource(std::string_view bytes, Format format, const Columns& columns) {
    const bool known = isZip(bytes) ? bytes.find("tellico.xml") != std::string_view::npos
                                    : looksLikeTellico(bytes) || looksLikeGcstar(bytes);
    if (format == Format::automatic && !known)
        if (auto why = foreignFormat(bytes)) throw Error(*why);
    if (format == Format::automatic) {
        if (looksLikeTellico(bytes))
            format = Format::tellico;
        else if (looksLikeGcstar(bytes))
            format = Format::gcstar;
        else
            format = Format::csv;
    }
    switch (format) {
    case Format::tellico: return readTellico(bytes);
    case Format::gcstar: return readGcstar(bytes);
    case Format::automatic: // told above
    case Format::csv: break;
    }
    return readCsv(bytes, columns);
}

namespace {

// Stored title -> where its first book is and whether that title was cut.
using StoredTitles = std::unordered_map<std::string, std::pair<std::string, bool>>;

// Two different books whose titles come out the same once cut: both are imported, and
// the report says so, since the catalogue will show them alike.
void noteSameTitle(MappedBook& mapped, const std::string& where, StoredTitles& titles) {
    const std::string title(mapped.fiche.view(Field::titre));
    if (title.empty()) return;
    const bool cut =
        std::any_of(mapped.findings.begin(), mapped.findings.end(), [](const Finding& f) {
            return f.kind == Finding::Kind::cut && f.field == Field::titre;
        });
    const auto [first, fresh] = titles.try_emplace(title, where, cut);
    if (fresh || !(cut || first->second.second)) return;
    const std::string& earlier = first->second.first;
    const std::string of = earlier.starts_with("entrée") ? "l'" : "la ";
    mapped.findings.push_back(
        {Finding::Kind::sameTitle, Field::titre, 0,
         (cut ? "titre coupé à " + std::to_string(fieldInfo(Field::titre).capacity) +
                    " caractères, identique à celui de "
              : "titre identique à celui, coupé, de ") +
             of + earlier + " : les deux sont importés"});
}

} // namespace

Plan planImport(const SourceFile& source, Existing& existing, const Date& today,
                const Progress& progress) {
    Plan plan;
    Report& r = plan.report;
    r.format = source.format;
    r.encoding = source.encoding;
    r.mapping = source.mapping;
    r.notes = source.notes;
    r.before = existing.count;
    r.read = source.entries;
    r.skipped = source.rejected;
    if (existing.tailBytes != 0)
        throw Error("Q7.dat se termine par une fiche incomplète : aucune fiche ne peut y être "
                    "ajoutée sans l'écraser. Rien n'est importé.");

    const int total = static_cast<int>(source.books.size());
    plan.records.reserve(source.books.size());
    int next = existing.count + 1;
    StoredTitles titles;
    int done = 0;
    for (std::size_t b = 0; b < source.books.size(); ++b) {
        const SourceBook& book = source.books[b];
        if (progress && ++done % 1000 == 0) progress(done, total);
        if (existing.count + static_cast<int>(plan.records.size()) >= maxRecords) {
            ++r.overCapacity;
            continue;
        }
        MappedBook mapped = mapBook(book, today);
        if (auto earlier = existing.duplicates.check(mapped.fiche, mapped.whole)) {
            ++r.duplicates;
            r.skipped.push_back({book.where, *earlier});
            continue;
        }
        while (existing.references.contains(std::to_string(next)))
            ++next;
        const std::string ref = std::to_string(next++);
        mapped.fiche.setText(Field::numero, ref);
        if (r.firstReference.empty()) r.firstReference = ref;
        r.lastReference = ref;
        existing.duplicates.add(mapped.fiche, mapped.whole, book.where + " du fichier");
        existing.references.insert(ref);
        noteSameTitle(mapped, book.where, titles);
        for (Finding& f : mapped.findings)
            r.findings.emplace_back(book.where, std::move(f));
        plan.records.push_back(mapped.fiche);
        plan.fromBook.push_back(b);
    }
    r.imported = static_cast<int>(plan.records.size());
    plan.loans = planLoans(source, plan.records, plan.fromBook, r);
    if (progress) progress(total, total);
    return plan;
}

} // namespace q7::import
