// The value lists in the real widgets: the record window's drop-downs loaded from
// fifteen big lists (at each new record and each criterion choice), one value inserted
// into a big list, and a big list chosen in the list manager. Offscreen, no display.
#include "GuiServices.h"
#include "ListValues.h"
#include "Timing.h"

#include "app/Program.h"
#include "app/Q7prin.h"
#include "lists/Q7liste.h"
#include "platform/QtText.h"
#include "store/FrenchOrder.h"
#include "store/ListFile.h"
#include "widgets/SortedComboBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

bench::Samples timed(int runs, const std::function<void()>& f) {
    bench::Samples t;
    for (int i = 0; i < runs; ++i)
        t.add(bench::seconds(f));
    return t;
}

// Goals in seconds, on the median.
bool report(const char* name, const bench::Samples& t, double goal) {
    bench::printTimes(name, t);
    if (goal == 0) return true;
    const bool ok = t.median() <= goal;
    std::printf("    goal <= %.0f ms  %s\n", goal * 1e3, ok ? "met" : "MISSED");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int values = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 5000;
    const int runs = bench::runsFromArguments(argc, argv, 7);
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString();
    bench::writeListFiles(dir, values);

    bench::GuiServices services(dir);
    Program program(services.services);
    Tformprin& w = program.prin();

    std::printf("value lists: 15 files of %d values; median of %d runs [min - max]; load %s\n",
                values, runs, bench::loadAverage().c_str());
    bool ok = true;
    const auto load = [&] { w.loadValueLists(); };
    ok &= report("load the 15 lists, first time", timed(1, load), 0.2);
    ok &= report("load the 15 lists (files in no order)", timed(runs, load), 0.2);
    // As the program writes them: in the drop-downs' order.
    for (const q7::FieldBinding* list : q7::listManagerOrder()) {
        QStringList sorted;
        for (const std::string& v : q7::readListFile(program.state().folder, list->listFile))
            sorted << fromBytes(v);
        q7::sortFrench(sorted);
        std::vector<std::string> lines;
        for (const QString& v : sorted)
            lines.push_back(toBytes(v));
        q7::writeListFile(program.state().folder, list->listFile, lines);
    }
    ok &= report("load the 15 lists (files as the program writes them)", timed(runs, load), 0.2);
    ok &= report("insert one author into its list (Ctrl+Alt+A)",
                 timed(runs,
                       [&] {
                           w.findChild<SortedComboBox*>(QStringLiteral("cbauteur"))
                               ->setEditText(QStringLiteral("Zoé Oldenbourg"));
                           w.findChild<QAction*>(QStringLiteral("insauteur"))->trigger();
                       }),
                 0);
    TFormliste& liste = *program.windows().liste;
    liste.FormActivate();
    liste.findChild<QComboBox*>(QStringLiteral("cbactiveliste"))->setCurrentIndex(1);
    ok &= report("list manager: choose a list", timed(runs, [&] { liste.Button1Click(); }), 0);
    return ok ? 0 : 1;
}
