// Opening the catalogue and deleting one record (the whole-file rewrite).
#include "Harness.h"

#include "store/DataFile.h"

namespace {

q7::Folder folder(bench::Context& c) {
    return q7::Folder(*c.fs, c.dir);
}

Q7_BENCH({"open Q7.dat and read its last record", bench::Baseline::None, nullptr,
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
          1.2});

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

// The collector's own case: the catalogue open for the session, one record saved after
// another. The first save of a session is left out (it opens what the next ones reuse).
std::unique_ptr<q7::DataFile> session;

void saveLast(q7::DataFile& data, const char* title) {
    q7::Fiche f;
    data.seek(data.count() - 1);
    data.read(f);
    f.setText(q7::Field::titre, title);
    data.seek(data.count() - 1);
    data.write(f);
}

Q7_BENCH({"save one record, catalogue open (flushed to disk)", bench::Baseline::None,
          [](bench::Context& c) {
              if (session) return;
              session = std::make_unique<q7::DataFile>(folder(c));
              session->open();
              saveLast(*session, "Premier");
          },
          [](bench::Context&) { saveLast(*session, "Changé"); }, 0, 0, 0.015,
          [](bench::Context&) { session.reset(); }});

Q7_BENCH({"save a new record, catalogue open (flushed to disk)", bench::Baseline::None,
          [](bench::Context& c) {
              if (session) return;
              session = std::make_unique<q7::DataFile>(folder(c));
              session->open();
              saveLast(*session, "Premier");
          },
          [](bench::Context&) {
              session->seek(session->count());
              session->write(q7::Fiche());
          },
          0, 0, 0.015,
          [](bench::Context& c) {
              // Back to the catalogue as generated, for the commands that follow.
              session.reset();
              c.resetCatalogue();
          }});

} // namespace
