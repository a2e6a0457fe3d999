// A whole Q7.dat: opened, scanned for statistics and charts, exported, and sorted in
// every order.
// Every sort keeps every record and any tail, puts the groups in their order, and
// keeps the stored order inside each group.
#include "FuzzCheck.h"
#include "maint/CatalogueSort.h"
#include "maint/ChartFigures.h"
#include "maint/Statistics.h"
#include "MemoryFileSystem.h"
#include "output/ExportRunner.h"
#include "store/Backup.h"
#include "store/DataFile.h"

#include <algorithm>

using namespace q7;

namespace {

std::vector<std::string> recordsOf(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at + ficheSize <= bytes.size(); at += ficheSize)
        out.push_back(bytes.substr(at, ficheSize));
    return out;
}

Fiche asFiche(const std::string& bytes) {
    Fiche f;
    std::copy(bytes.begin(), bytes.end(), f.bytes.begin());
    return f;
}

// The group each record falls in, under `choice`: smaller groups come first.
int groupOf(const Fiche& f, const SortChoice& choice) {
    switch (choice.order) {
    case SortOrder::FirstLetter: return titleGroup(f);
    case SortOrder::Auteur: return f.view(Field::auteur) == choice.value ? 0 : 1;
    case SortOrder::Sujet: return f.view(Field::sujet) == choice.value ? 0 : 1;
    case SortOrder::Collection: return f.view(Field::collection) == choice.value ? 0 : 1;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> before = recordsOf(bytes);
    const std::string tail = bytes.substr(before.size() * ficheSize);

    MemoryFileSystem fs;
    fs.put("/m/Q7.dat", bytes);
    fs.put("/m/Q7.tmp", "left by a crash");
    const Folder folder(fs, "/m");
    DataFile catalogue(folder);
    catalogue.open();
    FUZZ_CHECK(!fs.exists("/m/Q7.tmp"));
    FUZZ_CHECK(catalogue.count() == int(before.size()));
    FUZZ_CHECK(catalogue.tailBytes() == tail.size());

    Fiche buffer;
    try {
        int figures = 0;
        computeStatistics(catalogue, buffer, [&](Figure, const std::string&) { ++figures; });
        FUZZ_CHECK(figures == 8);
    } catch (const ConversionError&) {
        // A page count or price that is not a number: reported, nothing changed.
    }
    {
        // The charts never stop on a record: every book is counted once somewhere.
        const CollectionFigures figures = collectFigures(catalogue, buffer);
        FUZZ_CHECK(figures.records() == int(before.size()));
        const ChartData read = figures.chart(Chart::lut);
        FUZZ_CHECK(read.bars.size() == 2 &&
                   read.bars[0].value + read.bars[1].value == before.size());
        for (const ChartInfo& info : chartTable())
            FUZZ_CHECK(figures.chart(info.chart).bars.size() <= 81);
        for (const Chart ranked : {Chart::type, Chart::auteur, Chart::position})
            FUZZ_CHECK(figures.chart(ranked).bars.size() <= topCount + 1);
    }
    runExport(catalogue, buffer, Settings(), fs, {ExportKind::Csv, "/m", {}});
    const std::string csv = fs.bytes("/m/Q7export.csv");
    FUZZ_CHECK(std::count(csv.begin(), csv.end(), '\n') >= std::ptrdiff_t(before.size()));

    std::vector<SortChoice> choices = {{SortOrder::FirstLetter, {}}};
    if (!before.empty()) {
        const Fiche first = asFiche(before.front());
        choices.push_back({SortOrder::Auteur, std::string(first.view(Field::auteur))});
        choices.push_back({SortOrder::Sujet, std::string(first.view(Field::sujet))});
        choices.push_back({SortOrder::Collection, std::string(first.view(Field::collection))});
    }
    for (const SortChoice& choice : choices) {
        const std::vector<std::string> was = recordsOf(fs.bytes("/m/Q7.dat"));
        sortCatalogue(catalogue, buffer, choice);
        FUZZ_CHECK(catalogue.position() == 0 && catalogue.count() == int(before.size()));
        const std::string now = fs.bytes("/m/Q7.dat");
        FUZZ_CHECK(now.size() == bytes.size());
        FUZZ_CHECK(now.substr(now.size() - tail.size()) == tail);
        const std::vector<std::string> after = recordsOf(now);
        // Every record, once: the sorted file is the old one, group by group.
        std::vector<std::string> expected = was;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const std::string& a, const std::string& b) {
                             return groupOf(asFiche(a), choice) < groupOf(asFiche(b), choice);
                         });
        FUZZ_CHECK(after == expected);
    }
    // One backup per sort that had something to keep, never more than ten.
    if (!bytes.empty()) {
        const auto kept = fs.list("/m/Sauvegardes");
        FUZZ_CHECK(!kept.empty() && kept.size() <= std::size_t(backupsKept));
    }
    catalogue.close();
    FUZZ_CHECK(fs.exists("/m/Q7.dat") == !bytes.empty());
    return 0;
}
