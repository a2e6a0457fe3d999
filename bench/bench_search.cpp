// A search step that finds nothing reads the whole catalogue.
#include "Catalogue.h"
#include "Harness.h"

#include "search/Match.h"
#include "search/Scan.h"
#include "store/Cp1252.h"

namespace {

void scan(bench::Context& c, const q7::RecordTest& test) {
    q7::DataFile data(q7::Folder(*c.fs, c.dir));
    data.open();
    q7::Fiche buffer;
    if (q7::scanForward(data, buffer, test)) std::abort();
    data.close();
}

Q7_BENCH({"search step, author equal, no hit", bench::Baseline::RawRead, nullptr,
          [](bench::Context& c) {
              const std::string value = q7::utf8ToCp1252(bench::absentAuthor);
              scan(c, [&](const q7::Fiche& f) { return f.view(q7::Field::auteur) == value; });
          },
          1.2});

Q7_BENCH({"search step, word in the notes, no hit", bench::Baseline::RawRead, nullptr,
          [](bench::Context& c) {
              const q7::WordMatcher matches(bench::absentWord);
              scan(c, [&](const q7::Fiche& f) { return matches(f, q7::Field::notes); });
          },
          1.2});

} // namespace
