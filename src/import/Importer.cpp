#include "import/Importer.h"

#include "import/CsvReader.h"
#include "import/ForeignFormats.h"
#include "import/ImportLoans.h"
#include "import/XmlReaders.h"
#include "import/Zip.h"
#include "store/Errors.h"

#include <optional>

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
    int done = 0;
    for (std::size_t b = 0; b < source.books.size(); ++b) {
        const SourceBook& book = source.books[b];
        if (progress && ++done % 1000 == 0) progress(done, total);
        if (existing.count + static_cast<int>(plan.records.size()) >= maxRecords) {
            ++r.overCapacity;
            continue;
        }
        MappedBook mapped = mapBook(book, today);
        if (auto earlier = existing.duplicates.find(mapped.fiche)) {
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
        existing.duplicates.add(mapped.fiche, book.where + " du fichier");
        existing.references.insert(ref);
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
