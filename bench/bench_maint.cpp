// Sorting the catalogue (against a raw copy) and its statistics (against a raw read).
#include "Catalogue.h"
#include "Harness.h"
#include "HeapPeak.h"

#include "maint/CatalogueSort.h"
#include "maint/Statistics.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

q7::Folder folder(bench::Context& c) {
    return q7::Folder(*c.fs, c.dir);
}

void sortOnce(bench::Context& c, const q7::SortChoice& choice, const q7::SortProgress& p = {}) {
    q7::DataFile data(folder(c));
    data.open();
    q7::Fiche buffer;
    q7::sortCatalogue(data, buffer, choice, p);
    data.close();
}

void statisticsOnce(
    bench::Context& c, const q7::FigureSink& sink = [](q7::Figure, const std::string&) {}) {
    q7::DataFile data(folder(c));
    data.open();
    q7::Fiche buffer;
    q7::computeStatistics(data, buffer, sink);
    data.close();
}

// Titles cycling through every letter and the group of other openings: the first-letter
// order at its worst, 27 groups spread over the whole file. Made once, then copied.
void spreadTitles(bench::Context& c) {
    const std::string spread = c.dir + "/spread.dat";
    if (std::filesystem::exists(spread)) {
        c.install(spread);
        return;
    }
    c.resetCatalogue();
    {
        q7::DataFile data(q7::Folder(q7::posixFileSystem(), c.dir));
        data.open();
        q7::Fiche f;
        for (int i = 0; i < data.count(); ++i) {
            data.seek(i);
            data.read(f);
            const int g = i % 27;
            f.setText(q7::Field::titre,
                      g == 26 ? std::string("\xC9t\xE9") : std::string(1, char('A' + g)) + "x");
            data.seek(i);
            data.write(f);
        }
    }
    std::filesystem::copy_file(c.dir + "/Q7.dat", spread);
    c.install(spread);
}

// Sorting an already sorted file costs less: each repetition starts from the generated one.
const auto fresh = [](bench::Context& c) { c.resetCatalogue(); };

Q7_BENCH({"sort: by first letter", bench::Baseline::RawCopy, fresh,
          [](bench::Context& c) {
              sortOnce(c, {q7::SortOrder::FirstLetter, {}});
          },
          1.3, 2});
Q7_BENCH({"sort: by first letter, 27 groups spread", bench::Baseline::RawCopy, spreadTitles,
          [](bench::Context& c) {
              sortOnce(c, {q7::SortOrder::FirstLetter, {}});
          },
          1.3, 2});
Q7_BENCH({"sort: an author to the front", bench::Baseline::RawCopy, fresh,
          [](bench::Context& c) {
              sortOnce(c, {q7::SortOrder::Auteur, q7::utf8ToCp1252(bench::frequentAuthor)});
          },
          1.3, 2});
Q7_BENCH({"sort: subject to the front", bench::Baseline::RawCopy, fresh,
          [](bench::Context& c) {
              sortOnce(c, {q7::SortOrder::Sujet, q7::utf8ToCp1252(bench::someSubject)});
          },
          1.3, 2});
Q7_BENCH({"sort: a series to the front", bench::Baseline::RawCopy, fresh,
          [](bench::Context& c) {
              sortOnce(c, {q7::SortOrder::Collection, q7::utf8ToCp1252(bench::someSeries)});
          },
          1.3, 2});
Q7_BENCH({"statistics", bench::Baseline::RawRead, nullptr,
          [](bench::Context& c) { statisticsOnce(c); }, 1.2});
// Memory does not grow with the catalogue: the most heap each command takes beyond what
// was in use before it, for the first thousand records and for the whole catalogue.
Q7_BENCH(
    {"memory: heap peak of sort and statistics", bench::Baseline::Report, nullptr,
     [](bench::Context& c) {
         const std::string whole = c.dir + "/whole.dat", part = c.dir + "/part.dat";
         std::filesystem::copy_file(c.dir + "/Q7.dat", whole);
         std::filesystem::copy_file(c.dir + "/Q7.dat", part);
         std::filesystem::resize_file(
             part,
             std::min<std::uintmax_t>(1000 * q7::ficheSize, std::filesystem::file_size(whole)));
         const auto peakOf = [&](const std::function<void()>& command) {
             const std::size_t before = bench::heapInUse();
             bench::resetHeapPeak();
             command();
             return (bench::heapPeak() - before) / 1024;
         };
         const std::pair<const char*, std::function<void()>> commands[] = {
             {"sort by first letter",
              [&] {
                  sortOnce(c, {q7::SortOrder::FirstLetter, {}});
              }},
             {"sort, an author to the front",
              [&] {
                  sortOnce(c, {q7::SortOrder::Auteur, q7::utf8ToCp1252(bench::frequentAuthor)});
              }},
             {"statistics", [&] { statisticsOnce(c); }}};
         for (const auto& [name, command] : commands) {
             c.install(part);
             const std::size_t small = peakOf(command);
             c.install(whole);
             const std::size_t large = peakOf(command);
             std::printf("  heap peak of %-30s %6zu KB at 1000 records, %6zu KB at %d\n", name,
                         small, large, c.records);
         }
     }});

} // namespace
