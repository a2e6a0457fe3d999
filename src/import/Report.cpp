#include "import/Report.h"

#include "store/Cp1252.h"

namespace q7::import {

namespace {

struct Section {
    Finding::Kind kind;
    const char* title;
};

const Section sections[] = {
    {Finding::Kind::cut, "Textes coupés à la taille du champ"},
    {Finding::Kind::replaced, "Caractères remplacés par « ? » (absents de Windows-1252)"},
    {Finding::Kind::isbnRepaired, "ISBN rétablis grâce à leur clé"},
    {Finding::Kind::isbnDoubtful, "ISBN non repris"},
    {Finding::Kind::priceRounded, "Prix arrondis"},
    {Finding::Kind::dropped, "Valeurs illisibles, non reprises"},
    {Finding::Kind::sameTitle, "Titres identiques une fois coupés (livres différents)"},
};

std::string plural(int n, const std::string& word) {
    return std::to_string(n) + " " + word + (n > 1 ? "s" : "");
}

} // namespace

std::string renderReport(const Report& r) {
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };
    line("Importation de « " + r.source + " » dans Lirabel 3 : " + r.action);
    line("Format : " + r.format + " ; codage : " + r.encoding);
    if (!r.mapping.empty()) {
        line("Correspondance des champs :");
        for (const std::string& m : r.mapping)
            line("  " + m);
    }
    for (const std::string& n : r.notes)
        line(n);
    line("");
    line("Catalogue avant l'importation : " + plural(r.before, "fiche"));
    line("Fiches lues : " + std::to_string(r.read));
    std::string imported = "Fiches importées : " + std::to_string(r.imported);
    if (r.imported > 0)
        imported += r.firstReference == r.lastReference
                        ? " (référence " + r.firstReference + ")"
                        : " (références " + r.firstReference + " à " + r.lastReference + ")";
    line(imported);
    line("Fiches écartées : " + std::to_string(r.skipped.size() + std::size_t(r.overCapacity)) +
         (r.duplicates ? " (dont " + plural(r.duplicates, "doublon") + ")" : std::string()));
    for (const Rejected& s : r.skipped)
        line("  " + s.where + " : " + s.why);
    if (r.overCapacity > 0)
        line("  " + plural(r.overCapacity, "fiche") +
             (r.overCapacity > 1 ? " ne tiennent pas" : " ne tient pas") +
             " : le catalogue est limité à 40000 fiches");

    for (const Section& s : sections) {
        int books = 0, total = 0;
        std::map<std::string, int> perField;
        std::string last;
        for (const auto& [where, f] : r.findings) {
            if (f.kind != s.kind) continue;
            if (where != last) ++books;
            last = where;
            total += f.kind == Finding::Kind::replaced ? f.count : 1;
            if (f.kind == Finding::Kind::cut) ++perField[fieldName(f.field)];
        }
        if (total == 0) continue;
        std::string head = s.title + std::string(" : ") + std::to_string(total);
        if (!perField.empty()) {
            head += " (";
            bool first = true;
            for (const auto& [name, n] : perField) {
                head += (first ? "" : ", ") + name + " " + std::to_string(n);
                first = false;
            }
            head += ")";
        }
        line(head + ", " + plural(books, "fiche"));
        for (const auto& [where, f] : r.findings)
            if (f.kind == s.kind) line("  " + where + " : " + f.text);
    }
    for (const std::string& l : r.lists)
        line("Liste " + l);
    if (!r.loans.empty()) {
        line("Prêts repris dans Q7prets.txt : " + std::to_string(r.lent));
        for (const std::string& l : r.loans)
            line("  " + l);
    }
    if (!r.backup.empty()) line("Sauvegarde du catalogue d'avant : " + r.backup);
    if (!r.backupFailure.empty()) line(r.backupFailure);
    for (const std::string& w : r.warnings)
        line("Attention : " + w);
    if (!r.written.empty()) line("Rapport écrit dans " + r.written);
    return out;
}

std::string reportFileBytes(const std::string& utf8) {
    std::string bytes;
    bytes.reserve(utf8.size() + utf8.size() / 20);
    for (char c : utf8ToCp1252(utf8)) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

} // namespace q7::import
