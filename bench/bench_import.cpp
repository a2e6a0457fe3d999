// lirabel3-import on a spreadsheet of 40 000 rows: read, mapped, checked for duplicates
// against the catalogue and appended to it after a backup, as --ajouter does.
#include "Harness.h"

#include "import/Append.h"
#include "import/Importer.h"
#include "store/DataFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// A valid ISBN-13 for book i, as a collector's sheet would hold it.
std::string isbn(int i) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "97820%07d", i);
    int sum = 0;
    for (int k = 0; k < 12; ++k)
        sum += (digits[k] - '0') * (k % 2 ? 3 : 1);
    return std::string(digits) + static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string spreadsheet(int rows) {
    static const char* const authors[] = {"Victor Hugo", "Émile Zola; Paul Alexis", "George Sand",
                                          "Colette", "Jules Verne"};
    std::string csv = "\xEF\xBB\xBFTitre,Auteur,Éditeur,Série,Tome,Année,Pages,Prix,ISBN,Lu,"
                      "Emplacement,Notes\r\n";
    for (int i = 0; i < rows; ++i) {
        char line[400];
        std::snprintf(line, sizeof line,
                      "\"Livre n°%d, édition « revue »\",%s,Gallimard,Folio,%d,%d,%d,\"%d,%02d\","
                      "%s,oui,Salon/Étagère %d/Rang %d,\"Acheté à Paris,\r\nlu "
                      "l'été\"\r\n",
                      i, authors[i % 5], i % 40, 1950 + i % 70, 100 + i % 600, i % 30, i % 100,
                      isbn(i).c_str(), i % 12, i % 5);
        csv += line;
    }
    return csv;
}

struct ImportFolder {
    std::string dir;
    std::string csv;
};

ImportFolder& folder() {
    static ImportFolder f;
    return f;
}

Q7_BENCH(
    {"import 40000 CSV rows (--ajouter)", bench::Baseline::None,
     [](bench::Context& c) {
         ImportFolder& f = folder();
         if (f.csv.empty()) f.csv = spreadsheet(c.records);
         f.dir = c.dir + "/import";
         std::filesystem::remove_all(f.dir);
         std::filesystem::create_directory(f.dir);
         std::ofstream(f.dir + "/livres.csv", std::ios::binary) << f.csv;
     },
     [](bench::Context&) {
         ImportFolder& f = folder();
         std::ifstream in(f.dir + "/livres.csv", std::ios::binary);
         const std::string bytes((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
         const q7::import::SourceFile source =
             q7::import::readSource(bytes, q7::import::Format::automatic, {});
         q7::import::AppendRequest request{&source, "livres.csv", true, std::time(nullptr), {}};
         const q7::import::Report r =
             q7::import::appendImport(q7::Folder(q7::posixFileSystem(), f.dir), request);
         if (r.imported != static_cast<int>(source.books.size())) std::abort();
     },
     0, 0, 2.0});

} // namespace
