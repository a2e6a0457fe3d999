// What the user waits for in the record window: from the key sent to the focused window
// to the result on screen (the message box or window painted, or the dialog closed) with
// the event loop idle and the display server done drawing, at 1, 1 000 and 40 000
// records. Offscreen by default; QT_QPA_PLATFORM=xcb under a display with a window manager
// adds what the X server and the manager cost. What a command costs in a catalogue of one
// record is its fixed cost: a search, the statistics, an export or a sort may cost only a
// little more than that, an export or a sort only a little more than the core command.
#include "Catalogue.h"
#include "GuiServices.h"
#include "ListValues.h"
#include "Timing.h"
#include "WindowStage.h"

#include "app/Program.h"
#include "app/Q7prin.h"
#include "loans/LoanRegister.h"
#include "maint/CatalogueSort.h"
#include "output/ExportRunner.h"
#include "platform/QtPlatform.h"
#include "platform/QtText.h"
#include "record/FieldTable.h"
#include "store/Cp1252.h"
#include "store/FrenchOrder.h"
#include "store/ListFile.h"
#include "widgets/SortedComboBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

using bench::Clock;
using bench::WindowStage;

double since(Clock::time_point t0, Clock::time_point t1) {
    return std::chrono::duration<double>(t1 - t0).count();
}

// A key as the keyboard gives it: to the window that has the focus, through the
// shortcuts, the focused widget and everything in between.
void press(QWidget& expected, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWindow* focused = QGuiApplication::focusWindow();
    if (!focused || focused != expected.window()->windowHandle())
        qFatal("the key would not reach %s", qPrintable(expected.window()->objectName()));
    QTest::keyClick(focused, key, modifiers);
}

// Gives a window the keyboard, as the user's click would, before the timed key; under a
// window manager, a focus change it is still making could otherwise take it back.
void focus(QWidget& window) {
    for (int tries = 0; tries < 40; ++tries) {
        if (QGuiApplication::focusWindow() != window.windowHandle()) window.activateWindow();
        QTest::qWait(50);
        if (QGuiApplication::focusWindow() == window.windowHandle()) return;
    }
    qFatal("%s never had the keyboard", qPrintable(window.objectName()));
}

template <typename T> T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no %s", name);
    return found;
}

void syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
}

struct Sort {
    const char* name;
    const char* radio;
    const char* field; // the value's drop-down, or none
    const char* value;
    q7::SortOrder order;
};
const Sort sortsToTime[] = {
    {"sort by first letter", "rbalpha", nullptr, "", q7::SortOrder::FirstLetter},
    {"sort, an author to the front", "rbauteur", "cbauteur", bench::frequentAuthor,
     q7::SortOrder::Auteur},
    {"sort, a subject to the front", "rbsujet", "cbsujet", bench::someSubject,
     q7::SortOrder::Sujet},
    {"sort, a series to the front", "rbcollection", "cbcollection", bench::someSeries,
     q7::SortOrder::Collection}};

// One catalogue, its folder and the whole program on it.
class Session {
public:
    // `listValues` > 0: fifteen lists of that many values in no order instead of the
    // collection's own, in the program's order.
    Session(int records, int listValues, WindowStage& stage) : stage_(stage) {
        dir_ = tmp_.path().toStdString();
        master_ = dir_ + "/master.dat";
        bench::generateCatalogue(master_, records);
        if (listValues > 0) {
            bench::writeListFiles(dir_, listValues);
        } else {
            bench::writeCollectionLists(dir_);
            sortLists();
        }
        restore();
        writeLoans(records);
        services_ = std::make_unique<bench::GuiServices>(dir_);
        program_ = std::make_unique<Program>(services_->services);
        program_->prin().show();
        QApplication::processEvents();
    }

    Tformprin& w() { return program_->prin(); }

    // In the drop-downs' order, as the program writes its lists.
    void sortLists() {
        const q7::Folder folder(q7::posixFileSystem(), dir_);
        for (const q7::FieldBinding* list : q7::listManagerOrder()) {
            std::vector<std::string> values = q7::readListFile(folder, list->listFile);
            q7::sortFrench(values);
            q7::writeListFile(folder, list->listFile, values);
        }
    }

    // A busy lender's register: 300 loans, a third of them returned, spread over the
    // catalogue, one reference gone from it.
    void writeLoans(int records) {
        q7::LoanRegister reg;
        for (int i = 0; i < 300; ++i) {
            const int ref = i == 0 ? records + 1 : 1 + int((long(i) * 7919) % records);
            q7::Loan loan{std::to_string(ref),
                          "Titre " + std::to_string(i),
                          "Emprunteur " + std::to_string(i % 40),
                          {1 + i % 28, 1 + i % 12, 2026},
                          std::nullopt,
                          {}};
            if (i % 3 == 0) loan.returned = q7::LoanDate{28, 12, 2026};
            reg.lines.push_back({loan, {}, 0});
        }
        q7::saveRegister(q7::Folder(q7::posixFileSystem(), dir_), reg);
    }

    void trigger(const char* name) {
        auto* action = w().findChild<QAction*>(QLatin1String(name));
        if (!action) qFatal("no action %s", name);
        action->trigger();
    }

    // Puts the generated catalogue back in place, on the disk, without reopening it.
    void restore() {
        std::filesystem::copy_file(master_, dir_ + "/Q7.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        syncFile(dir_ + "/Q7.dat");
    }

    double authorSearch() {
        trigger("Auteur");
        child<QComboBox>(w(), "cbauteur")->setEditText(QString::fromUtf8(bench::absentAuthor));
        focus(w());
        stage_.expect(QStringLiteral("QMessageBox"));
        const auto t0 = Clock::now();
        press(w(), Qt::Key_C, Qt::ControlModifier); // "&Chercher"
        return checkedResult(t0);
    }

    // The dialog's own key for "&Chercher", or Return for its default button.
    double wordSearch(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        Clock::time_point t0;
        stage_.scripts[QStringLiteral("TFormrecmot")] = [&](QWidget& dialog) {
            child<QLineEdit>(dialog, "edtrecmot")->setText(QString::fromUtf8(bench::absentWord));
            child<QAbstractButton>(dialog, "rbnotes")->click();
            child<QLineEdit>(dialog, "edtrecmot")->setFocus();
            focus(dialog);
            t0 = Clock::now();
            press(dialog, key, modifiers);
        };
        stage_.expect(QStringLiteral("QMessageBox"));
        trigger("menumot");
        return checkedResult(t0);
    }

    double loansWindow() {
        stage_.expect(QStringLiteral("formprets"));
        const auto t0 = Clock::now();
        trigger("smenuprets"); // no key of its own
        return settled(t0);
    }

    double statistics() {
        focus(w());
        stage_.expect(QStringLiteral("forminfo"));
        const auto t0 = Clock::now();
        press(w(), Qt::Key_I, Qt::ControlModifier);
        return settled(t0);
    }

    double exportFromWindow(const q7::ExportType& e) {
        Clock::time_point t0;
        stage_.scripts[QStringLiteral("Tformexport")] = [&t0](QWidget& dialog) {
            child<QAbstractButton>(dialog, "rbcourant")->click();
            child<QLineEdit>(dialog, "edtnomtab")->setText(QStringLiteral("livres"));
            focus(dialog);
            t0 = Clock::now();
            press(dialog, Qt::Key_E, Qt::AltModifier); // "&Exporter"
        };
        stage_.expect({});
        trigger(e.menuItem);
        return settled(t0);
    }

    double exportInCore(const q7::ExportType& e) {
        AppState& s = program_->state();
        return bench::seconds([&] {
            s.data.seek(0);
            q7::runExport(s.data, s.buffer, s.settings, s.folder.fs(), {e.kind, dir_, "livres"});
        });
    }

    double sortFromWindow(const Sort& sort) {
        restore();
        Clock::time_point t0;
        stage_.scripts[QStringLiteral("formfic")] = [&t0, &sort](QWidget& dialog) {
            child<QAbstractButton>(dialog, sort.radio)->click();
            if (sort.field)
                child<QComboBox>(dialog, sort.field)->setEditText(QString::fromUtf8(sort.value));
            focus(dialog);
            t0 = Clock::now();
            press(dialog, Qt::Key_T, Qt::AltModifier); // "&Trier"
        };
        stage_.expect({});
        trigger("smenutrier");
        return settled(t0);
    }

    double sortInCore(const Sort& sort) {
        restore();
        AppState& s = program_->state();
        return bench::seconds([&] {
            q7::sortCatalogue(s.data, s.buffer, {sort.order, q7::utf8ToCp1252(sort.value)});
        });
    }

private:
    double checkedResult(Clock::time_point t0) {
        const double t = settled(t0);
        if (stage_.shown() != QStringLiteral("Pas ou plus  d'occurance"))
            qFatal("the search ended on \"%s\"", qPrintable(stage_.shown()));
        return t;
    }
    double settled(Clock::time_point t0) {
        QApplication::processEvents();
        stage_.scripts.clear();
        return since(t0, stage_.settledAt());
    }

    WindowStage& stage_;
    QTemporaryDir tmp_;
    std::string dir_, master_;
    std::unique_ptr<bench::GuiServices> services_;
    std::unique_ptr<Program> program_;
};

int missed = 0;

void count(bench::Verdict v) {
    missed += v == bench::Verdict::Missed;
}

// Each command's median by catalogue size, for the closing table.
struct Medians {
    std::vector<std::string> commands;
    std::map<std::string, std::map<int, double>> byRecords;

    void note(const std::string& command, int records, double median) {
        if (!byRecords.count(command)) commands.push_back(command);
        byRecords[command][records] = median;
    }
    double at(const std::string& command, int records) const {
        return byRecords.at(command).at(records);
    }
};
Medians medians;

// A rewrite from the window against the same core command, one run of each in turn.
void againstCore(const std::string& name, int records, int runs, bool goal,
                 const std::function<double()>& core, const std::function<double()>& window) {
    bench::Samples inWindow, inCore;
    for (int i = 0; i < runs; ++i) {
        inCore.add(core());
        inWindow.add(window());
    }
    bench::printTimes(name + " -> closed", inWindow);
    medians.note(name, records, inWindow.median());
    count(bench::printRatio("core command", inWindow.median() / inCore.median(),
                            inCore.median() * 1e3, goal ? 1.5 : 0));
}

// What a command costs whatever the catalogue's size, beside what it costs at each size.
void printFixedCosts(const std::vector<int>& sizes) {
    std::printf("\nkey -> result, medians in ms   %19s", "1 record (fixed)");
    for (std::size_t i = 1; i < sizes.size(); ++i)
        std::printf("  %8d rec.", sizes[i]);
    std::printf("\n");
    for (const std::string& command : medians.commands) {
        std::printf("%-46s %9.1f", command.c_str(), medians.at(command, sizes[0]) * 1e3);
        for (std::size_t i = 1; i < sizes.size(); ++i)
            std::printf("  %12.1f", medians.at(command, sizes[i]) * 1e3);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessAsked();
    if (argc == 4 && QByteArray(argv[1]) == "--write") {
        // The same catalogue and lists in a folder, for timing the program from outside.
        bench::generateCatalogue(std::string(argv[2]) + "/Q7.dat", std::atoi(argv[3]));
        bench::writeCollectionLists(argv[2]);
        return 0;
    }
    QApplication app(argc, argv);
    const int runs = bench::runsFromArguments(argc, argv, 9);
    WindowStage stage;

    std::printf("the record window on \"%s\"; median of %d runs [min - max]; load %s\n",
                qPrintable(QGuiApplication::platformName()), runs, bench::loadAverage().c_str());
    // Starting an external program returns at once: the collector goes on while it runs.
    bench::Samples launch;
    for (int i = 0; i < runs; ++i)
        launch.add(bench::seconds([] {
            if (!QtLauncher().startDetached(QStringLiteral("/bin/sleep 2"))) qFatal("not started");
        }));
    bench::printTimes("external program (sleep 2) started -> back", launch);
    count(bench::printExcess("over returning at once", launch.median() * 1e3, 0, 100));
    // "--records N": only 1 and N records; "--lists N": big value lists in no order.
    std::vector<int> sizes{1, 1000, q7::maxRecords};
    int listValues = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--records") sizes = {1, std::atoi(argv[i + 1])};
        if (QByteArray(argv[i]) == "--lists") listValues = std::atoi(argv[i + 1]);
    }
    if (listValues > 0) std::printf("value lists: 15 files of %d values in no order\n", listValues);
    const char* const author = "author search, no hit -> message";
    const char* const word = "word search (Alt+C), no hit -> message";
    using Command = std::pair<const char*, std::function<double(Session&)>>;
    const Command scans[] = {
        {author, [](Session& s) { return s.authorSearch(); }},
        {word, [](Session& s) { return s.wordSearch(Qt::Key_C, Qt::AltModifier); }},
        {"word search (Return), no hit -> message",
         [](Session& s) { return s.wordSearch(Qt::Key_Return, Qt::NoModifier); }},
        {"statistics (Ctrl+I) -> window painted", [](Session& s) { return s.statistics(); }},
        {"loans window, 300 loans -> painted", [](Session& s) { return s.loansWindow(); }}};
    for (int records : sizes) {
        Session session(records, listValues, stage);
        const bool full = records == q7::maxRecords;
        std::printf("\n%d records (%.1f MB), key -> result on screen, all quiet\n", records,
                    records * 1048 / 1e6);
        std::map<const char*, bench::Samples> times;
        for (int i = 0; i < runs; ++i)
            for (const auto& [name, run] : scans)
                times[name].add(run(session));
        for (const auto& [name, run] : scans) {
            const bench::Samples& t = times[name];
            bench::printTimes(name, t);
            medians.note(name, records, t.median());
            if (records == sizes[0]) continue;
            const double base = medians.at(name, sizes[0]);
            count(bench::printExcess("over 1 record", (t.median() - base) * 1e3, base * 1e3,
                                     full ? 30 : 0));
        }
        const double byAuthor = times[author].median();
        count(bench::printExcess("word search over author search",
                                 (times[word].median() - byAuthor) * 1e3, byAuthor * 1e3,
                                 full ? 30 : 0));
        for (const q7::ExportType& e : q7::exportTypes())
            if (e.wholeFile)
                againstCore(
                    std::string("export ") + e.fileName + " (Alt+E)", records, runs, full,
                    [&] { return session.exportInCore(e); },
                    [&] { return session.exportFromWindow(e); });
        for (const Sort& sort : sortsToTime)
            againstCore(
                std::string(sort.name) + " (Alt+T)", records, runs, full,
                [&] { return session.sortInCore(sort); },
                [&] { return session.sortFromWindow(sort); });
    }
    printFixedCosts(sizes);
    std::printf("\ngoals missed: %d\n", missed);
    return missed == 0 ? 0 : 1;
}
