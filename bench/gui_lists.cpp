// The value lists in the real widgets: the record window's drop-downs loaded from
// fifteen big lists (at each new record and each criterion choice), one value inserted
// into a big list, and a big list chosen in the list manager. Offscreen, no display.
#include "ListValues.h"

#include "app/Program.h"
#include "app/Q7prin.h"
#include "lists/ListFile.h"
#include "lists/Q7liste.h"
#include "platform/QtDialogs.h"
#include "platform/QtPlatform.h"
#include "platform/QtSettingsBackend.h"
#include "platform/QtText.h"
#include "widgets/SortedComboBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

class NoPrinter : public Printer {
public:
    void setFontSize(int) override {}
    void setBold(bool) override {}
    void setColor(const QColor&) override {}
    void begin() override {}
    void drawText(int, int, const QString&) override {}
    void drawTextWithin(int, int, int, const QString&) override {}
    void end() override {}
};

double bestOf(int reps, const std::function<void()>& f) {
    double best = 1e9;
    for (int i = 0; i < reps; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

bool report(const char* name, double seconds, double goal) {
    const bool ok = goal == 0 || seconds <= goal;
    std::printf("%-52s %9.2f ms%s\n", name, seconds * 1e3,
                goal == 0 ? ""
                : ok      ? "  (goal met)"
                          : "  (GOAL MISSED)");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int values = argc > 1 ? std::atoi(argv[1]) : 5000;
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString();
    bench::writeListFiles(dir, values);

    QtDialogs dialogs(QStringLiteral("q7bench_gui"));
    NoPrinter printer;
    QtLauncher launcher;
    QtClock clock;
    QtCursor cursor;
    QtSettingsBackend settings(tmp.filePath(QStringLiteral("wutfn.ini")));
    QtModalShower modal;
    Services services{dialogs,  printer,
                      launcher, clock,
                      cursor,   settings,
                      modal,    q7::posixFileSystem(),
                      dir,      QStringLiteral("q7bench_gui"),
                      {}};
    Program program(services);
    Tformprin& w = program.prin();

    std::printf("value lists: 15 files of %d values\n", values);
    bool ok = true;
    const auto load = [&] { w.loadValueLists(); };
    ok &= report("load the 15 lists, first time", bestOf(1, load), 0.2);
    ok &= report("load the 15 lists (files in no order)", bestOf(5, load), 0.2);
    // As the program writes them: in the drop-downs' order.
    for (const q7::FieldBinding* list : q7::listManagerOrder()) {
        QStringList sorted;
        for (const std::string& v : q7::readListFile(program.state().folder, list->listFile))
            sorted << fromBytes(v);
        SortedComboBox::sortValues(sorted);
        std::vector<std::string> lines;
        for (const QString& v : sorted)
            lines.push_back(toBytes(v));
        q7::writeListFile(program.state().folder, list->listFile, lines);
    }
    ok &= report("load the 15 lists (files as the program writes them)", bestOf(5, load), 0.2);
    ok &= report("insert one author into its list (Ctrl+Alt+A)",
                 bestOf(5,
                        [&] {
                            w.findChild<SortedComboBox*>(QStringLiteral("cbauteur"))
                                ->setEditText(QStringLiteral("Zoé Oldenbourg"));
                            w.findChild<QAction*>(QStringLiteral("insauteur"))->trigger();
                        }),
                 0);
    TFormliste& liste = *program.windows().liste;
    liste.FormActivate();
    liste.findChild<QComboBox*>(QStringLiteral("cbactiveliste"))->setCurrentIndex(1);
    ok &= report("list manager: choose a list", bestOf(5, [&] { liste.Button1Click(); }), 0);
    return ok ? 0 : 1;
}
