// Value list files: reading the fifteen lists as the record window does at each new
// record, and writing one back safely.
#include "Harness.h"
#include "ListValues.h"

#include "store/FileSystem.h"
#include "store/ListFile.h"

namespace {

q7::Folder folder(bench::Context& c) {
    return q7::Folder(*c.fs, c.dir);
}

Q7_BENCH({"lists: read 15 files of 5000 values", bench::Baseline::None,
          [](bench::Context& c) { bench::writeListFiles(c.dir, 5000); },
          [](bench::Context& c) {
              std::size_t total = 0;
              for (const q7::FieldBinding* list : q7::listManagerOrder())
                  total += q7::readListFile(folder(c), list->listFile).size();
              if (total != 15 * 5000) std::abort();
          }});

Q7_BENCH({"lists: write a list of 5000 values (safe replace)", bench::Baseline::None,
          [](bench::Context& c) { bench::writeListFiles(c.dir, 5000); },
          [](bench::Context& c) {
              const auto values = q7::readListFile(folder(c), "Q7auteur.lst");
              q7::writeListFile(folder(c), "Q7auteur.lst", values);
          }});

} // namespace
