#include "import/Importer.h"

#include "import/CsvReader.h"
#include "import/ImportLoans.h"
#include "import/XmlReaders.h"
#include "import/Zip.h"
#include "store/Errors.h"

#include <optional>

namespace q7::import {

namespace {

constexpr const char* exportAdvice = "exportez-le en CSV depuis ce programme, puis importez ce "
                                     "fichier CSV. Rien n'est importé.";

// Files of other kinds that would otherwise reach the spreadsheet reader and be refused
// for their columns: say what they are and what to do.
std::optional<std::string> foreignFormat(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 4096);
    if (isZip(bytes)) {
        if (head.find("opendocument.spreadsheet") != std::string_view::npos)
            return "Ce fichier est un classeur LibreOffice (.ods) : enregistrez-le au format "
                   "« Texte CSV » (Fichier → Enregistrer sous), puis importez ce fichier CSV. "
                   "Rien n'est importé.";
        if (head.find("xl/") != std::string_view::npos ||
            head.find("[Content_Types].xml") != std::string_view::npos)
            return "Ce fichier est un classeur Excel (.xlsx) : enregistrez-le au format CSV, "
                   "puis importez ce fichier CSV. Rien n'est importé.";
        if (bytes.find("tellico.xml") == std::string_view::npos)
            return std::string("Ce fichier est une archive zip qui ne vient pas de Tellico : ") +
                   "si elle vient d'un autre programme de catalogue, " + exportAdvice;
        return std::nullopt;
    }
    if (head.starts_with("\xD0\xCF\x11\xE0"))
        return "Ce fichier est un classeur Excel ancien (.xls) : enregistrez-le au format CSV, "
               "puis importez ce fichier CSV. Rien n'est importé.";
    std::string_view t = trimmed(head);
    if (t.starts_with("\xEF\xBB\xBF")) t = trimmed(t.substr(3));
    if (t.starts_with("<")) {
        std::string root;
        for (std::size_t at = 0; (at = t.find('<', at)) != std::string_view::npos; ++at) {
            const char next = at + 1 < t.size() ? t[at + 1] : '\0';
            if (next == '?' || next == '!') continue;
            std::size_t end = at + 1;
            while (end < t.size() && t[end] != ' ' && t[end] != '>' && t[end] != '/' &&
                   t[end] != '\n' && t[end] != '\r' && t[end] != '\t' && end - at < 40)
                ++end;
            root = std::string(t.substr(at + 1, end - at - 1));
            break;
        }
        return "Ce fichier est un fichier XML d'un autre programme" +
               (root.empty() ? std::string() : " (élément racine <" + root + ">)") +
               " ; lirabel3-import lit les fichiers XML de Tellico et de GCstar. S'il vient "
               "d'un autre programme de catalogue, " +
               exportAdvice;
    }
    if (t.starts_with("---") || t.starts_with("%YAML"))
        return std::string("Ce fichier est un fichier YAML : s'il vient d'un programme de "
                           "catalogue, ") +
               exportAdvice;
    if (t.starts_with("{") || (t.starts_with("[") && trimmed(t.substr(1)).starts_with("{")))
        return std::string("Ce fichier est un fichier JSON : s'il vient d'un programme de "
                           "catalogue, ") +
               exportAdvice;
    if (head.find('\0') != std::string_view::npos && !head.starts_with("\xFF\xFE") &&
        !head.starts_with("\xFE\xFF"))
        return "Ce fichier n'est pas un texte (il contient des octets nuls) : ce n'est ni un "
               "CSV, ni un fichier Tellico ou GCstar. Rien n'est importé.";
    return std::nullopt;
}

} // namespace

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
