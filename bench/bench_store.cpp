// Opening the catalogue and deleting one record (the whole-file rewrite).
#include "Harness.h"

#include "store/DataFile.h"

namespace {

q7::Folder folder(bench::Context& c) {
    return q7::Folder(q7::posixFileSystem(), c.dir);
}

Q7_BENCH({"open Q7.dat and read its last record", bench::Baseline::RawRead, nullptr,
          [](bench::Context& c) {
              q7::DataFile data(folder(c));
              data.open();
              q7::Fiche f;
              data.seek(data.count() - 1);
              data.read(f);
              data.close();
          }});

Q7_BENCH({"delete one record (rewrite through Q7.tmp)", bench::Baseline::RawCopy, nullptr,
          [](bench::Context& c) {
              q7::DataFile data(folder(c));
              data.open();
              const int victim = data.count() / 2;
              auto w = data.beginRewrite();
              q7::Fiche f;
              for (int i = 0; i < data.count(); ++i) {
                  data.read(f);
                  if (i != victim) w->append(f);
              }
              data.commitRewrite(std::move(w));
              data.close();
          },
          2});

// A save writes one record over the last one and waits for the disk: the flush is
// what the collector waits for, far from any whole-file work.
Q7_BENCH({"save one record (flushed to disk)", bench::Baseline::None, nullptr,
          [](bench::Context& c) {
              q7::DataFile data(folder(c));
              data.open();
              q7::Fiche f;
              data.seek(data.count() - 1);
              data.read(f);
              f.setText(q7::Field::titre, "Changé");
              data.seek(data.count() - 1);
              data.write(f);
              data.close();
          }});

} // namespace
