#include "output/ExportTypes.h"

#include "output/ExportFormat.h"
#include "output/PocketPage.h"
#include "output/RecordText.h"

#include <iterator>
#include <stdexcept>

namespace q7 {

namespace {

void writeTxt(std::string& out, const Fiche& f, const ExportContext& c) {
    appendTxtBlock(out, f, c.number, c.captions);
}
void writeSql(std::string& out, const Fiche& f, const ExportContext& c) {
    appendSqlLines(out, f, c.tableName);
}
void writeCsv(std::string& out, const Fiche& f, const ExportContext&) {
    appendCsvLine(out, f);
}
void writeHtml(std::string& out, const Fiche& f, const ExportContext& c) {
    out += htmlPage(f, c.captions, c.extras.cover);
}

// clang-format off
constexpr ExportType table[] = {
    {ExportKind::Txt, "Q7impres.txt", "Exporter en TXT", "menuQ7imprestxt", true, false, writeTxt},
    {ExportKind::Sql, "Q7export.sql", "Exporter en SQL", "menusql", true, true, writeSql},
    {ExportKind::Csv, "Q7export.csv", "Exporter en CSV", "menucsv", true, false, writeCsv},
    {ExportKind::Html, "Q7export.html", "Exporter en HTML", "menuHTML", false, false, writeHtml,
     nullptr, false, true},
    {ExportKind::Pocket, "Q7poche.html", "Catalogue de poche", "menupoche", true, false, nullptr,
     startPocketPage, true},
};
// clang-format on

constexpr bool oneRowPerKindInOrder() {
    if (std::size(table) != static_cast<std::size_t>(ExportKind::End) - 1) return false;
    for (std::size_t i = 0; i < std::size(table); ++i)
        if (table[i].kind != static_cast<ExportKind>(i + 1) ||
            (table[i].writer == nullptr) == (table[i].start == nullptr))
            return false;
    return true;
}
static_assert(oneRowPerKindInOrder(),
              "each export kind has its row, in the kinds' order, and one writer");

} // namespace

std::span<const ExportType> exportTypes() {
    return table;
}

const ExportType& exportType(ExportKind kind) {
    const auto row = static_cast<std::size_t>(kind) - 1;
    if (row >= std::size(table)) throw std::logic_error("not an export kind");
    return table[row];
}

} // namespace q7
