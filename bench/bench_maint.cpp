// Sorting the catalogue (against a raw copy) and its statistics (against a raw read).
#include "Catalogue.h"
#include "Harness.h"

#include "maint/CatalogueSort.h"
#include "maint/Statistics.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"

#include <malloc.h>

#include <cstdio>

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
// order at its worst, 27 groups spread over the whole file.
void spreadTitles(bench::Context& c) {
    c.resetCatalogue();
    q7::DataFile data(folder(c));
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
    data.close();
}

// Heap in use, large blocks included.
long long heapInUse() {
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<long long>(m.uordblks + m.hblkhd);
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

// Memory does not grow with the catalogue: the peak of heap in use while each command
// runs, above what was in use before it.
Q7_BENCH({"memory: heap peak of sort and statistics", bench::Baseline::Report, nullptr,
          [](bench::Context& c) {
              const q7::SortChoice choices[] = {
                  {q7::SortOrder::FirstLetter, {}},
                  {q7::SortOrder::Auteur, q7::utf8ToCp1252(bench::frequentAuthor)}};
              for (const auto& choice : choices) {
                  c.resetCatalogue();
                  const long long base = heapInUse();
                  long long peak = base;
                  sortOnce(c, choice, [&](int, int) { peak = std::max(peak, heapInUse()); });
                  std::printf("  heap peak while sorting (%s): %lld KB\n",
                              choice.order == q7::SortOrder::FirstLetter ? "first letter" : "front",
                              (peak - base) / 1024);
              }
              const long long base = heapInUse();
              long long peak = base;
              statisticsOnce(
                  c, [&](q7::Figure, const std::string&) { peak = std::max(peak, heapInUse()); });
              std::printf("  heap peak while computing statistics: %lld KB\n",
                          (peak - base) / 1024);
          }});

} // namespace
