// The three whole-file exports, against a raw copy of Q7.dat, and the memory they take.
#include "Harness.h"

#include "output/ExportRunner.h"

#include <cstdio>
#include <fstream>

namespace {

void exportAs(bench::Context& c, q7::ExportKind kind, const q7::ExportProgress& progress = {}) {
    q7::DataFile data(q7::Folder(*c.fs, c.dir));
    data.open();
    q7::Fiche buffer;
    q7::runExport(data, buffer, q7::Settings(), *c.fs, {kind, c.dir, "livres"}, progress);
    data.close();
}

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

Q7_BENCH({"export TXT (Q7impres.txt)", bench::Baseline::RawCopy, nullptr,
          [](bench::Context& c) { exportAs(c, q7::ExportKind::Txt); }, 1.5});
Q7_BENCH({"export SQL (Q7export.sql)", bench::Baseline::RawCopy, nullptr,
          [](bench::Context& c) { exportAs(c, q7::ExportKind::Sql); }, 1.5});
Q7_BENCH({"export CSV (Q7export.csv)", bench::Baseline::RawCopy, nullptr,
          [](bench::Context& c) { exportAs(c, q7::ExportKind::Csv); }, 1.5});

// Resident memory while the TXT export runs, above what it was before: it must not
// grow with the catalogue (a block of records in, a block of text out).
Q7_BENCH({"export TXT, resident memory growth", bench::Baseline::Report, nullptr,
          [](bench::Context& c) {
              const long before = residentKb();
              long peak = before;
              exportAs(c, q7::ExportKind::Txt, [&](int done, int) {
                  if (done % 1000 == 0) peak = std::max(peak, residentKb());
              });
              std::printf("  resident growth during the export: %ld kB\n", peak - before);
          }});

} // namespace
