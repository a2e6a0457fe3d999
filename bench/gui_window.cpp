// What the user waits for in the record window, offscreen: from the triggered action to
// the visible result (the message box painted, the window closed), for the whole-file
// commands, at 1, 1 000 and 40 000 records. A scan may cost only a little more than
// in a catalogue of one record; an export or a sort only a little more than the same
// core command, timed in the same runs.
#include "Catalogue.h"
#include "GuiServices.h"
#include "ListValues.h"
#include "Timing.h"

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
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t0, Clock::time_point t1) {
    return std::chrono::duration<double>(t1 - t0).count();
}

// Watches the windows as they come and go: runs a scripted action on a dialog once it
// is on screen, notes when a result window has been painted (and closes it, as a user
// who has read it would) and when a dialog is hidden.
class Stage : public QObject {
public:
    std::map<QString, std::function<void(QWidget&)>> scripts;
    QString resultWindow; // object name, or "QMessageBox" for any message box
    QString shown;        // text of the last message box painted
    Clock::time_point resultAt, hiddenAt;

    void expect(const QString& window) {
        resultWindow = window;
        resultAt = hiddenAt = {};
        closing_ = nullptr;
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget) return false;
        QWidget* window = widget->window();
        if (event->type() == QEvent::Show && widget == window) {
            auto it = scripts.find(window->objectName());
            if (it != scripts.end())
                QTimer::singleShot(0, window, [this, window] {
                    QApplication::processEvents(); // painted before the user acts
                    scripts[window->objectName()](*window);
                });
        } else if (event->type() == QEvent::Hide && widget == window) {
            hiddenAt = Clock::now();
        } else if (event->type() == QEvent::Paint && !closing_ && isResult(*window)) {
            // Noted once the whole window is painted, after this paint event's round.
            closing_ = window;
            QTimer::singleShot(0, window, [this, window] {
                resultAt = Clock::now();
                if (auto* box = qobject_cast<QMessageBox*>(window)) {
                    shown = box->text();
                    box->done(0);
                } else if (auto* dialog = qobject_cast<QDialog*>(window)) {
                    dialog->done(QDialog::Accepted);
                }
            });
        }
        return false;
    }

private:
    bool isResult(QWidget& window) const {
        if (resultWindow == QLatin1String("QMessageBox"))
            return qobject_cast<QMessageBox*>(&window);
        return !resultWindow.isEmpty() && window.objectName() == resultWindow;
    }
    QPointer<QWidget> closing_;
};

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
    Session(int records, int listValues, Stage& stage) : stage_(stage) {
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
        QApplication::processEvents();
        stage_.expect(QStringLiteral("QMessageBox"));
        const auto t0 = Clock::now();
        trigger("menuChercher");
        return checkedResult(t0);
    }

    double wordSearch() {
        Clock::time_point t0;
        stage_.scripts[QStringLiteral("TFormrecmot")] = [&t0](QWidget& dialog) {
            child<QLineEdit>(dialog, "edtrecmot")->setText(QString::fromUtf8(bench::absentWord));
            child<QAbstractButton>(dialog, "rbnotes")->click();
            t0 = Clock::now();
            child<QAbstractButton>(dialog, "btcherchermot")->click();
        };
        stage_.expect(QStringLiteral("QMessageBox"));
        trigger("menumot");
        return checkedResult(t0);
    }

    double loansWindow() {
        stage_.expect(QStringLiteral("formprets"));
        const auto t0 = Clock::now();
        trigger("smenuprets");
        QApplication::processEvents();
        return since(t0, stage_.resultAt);
    }

    double statistics() {
        stage_.expect(QStringLiteral("forminfo"));
        const auto t0 = Clock::now();
        trigger("smenuinformations");
        QApplication::processEvents();
        return since(t0, stage_.resultAt);
    }

    double exportFromWindow(const q7::ExportType& e) {
        Clock::time_point t0;
        stage_.scripts[QStringLiteral("Tformexport")] = [&t0](QWidget& dialog) {
            child<QAbstractButton>(dialog, "rbcourant")->click();
            child<QLineEdit>(dialog, "edtnomtab")->setText(QStringLiteral("livres"));
            t0 = Clock::now();
            child<QAbstractButton>(dialog, "Button1")->click();
        };
        stage_.expect({});
        trigger(e.menuItem);
        return closed(t0);
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
            t0 = Clock::now();
            child<QAbstractButton>(dialog, "bttrier")->click();
        };
        stage_.expect({});
        trigger("smenutrier");
        return closed(t0);
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
        QApplication::processEvents();
        stage_.scripts.clear();
        if (stage_.shown != QStringLiteral("Pas ou plus  d'occurance"))
            qFatal("the search ended on \"%s\"", qPrintable(stage_.shown));
        return since(t0, stage_.resultAt);
    }
    double closed(Clock::time_point t0) {
        QApplication::processEvents();
        stage_.scripts.clear();
        if (stage_.hiddenAt < t0) qFatal("the window did not close");
        return since(t0, stage_.hiddenAt);
    }

    Stage& stage_;
    QTemporaryDir tmp_;
    std::string dir_, master_;
    std::unique_ptr<bench::GuiServices> services_;
    std::unique_ptr<Program> program_;
};

struct ScanFigures {
    bench::Samples author, word, statistics, loans;
};

int missed = 0;

void count(bench::Verdict v) {
    missed += v == bench::Verdict::Missed;
}

// A rewrite from the window against the same core command, one run of each in turn.
void againstCore(const std::string& name, int runs, bool goal, const std::function<double()>& core,
                 const std::function<double()>& window) {
    bench::Samples inWindow, inCore;
    for (int i = 0; i < runs; ++i) {
        inCore.add(core());
        inWindow.add(window());
    }
    bench::printTimes(name + " -> window closed", inWindow);
    count(bench::printRatio("core command", inWindow.median() / inCore.median(),
                            inCore.median() * 1e3, goal ? 1.5 : 0));
}

} // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise: QT_QPA_PLATFORM=xcb on a display (Xvfb) adds the
    // cost of the X server.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    if (argc == 4 && QByteArray(argv[1]) == "--write") {
        // The same catalogue and lists in a folder, for timing the program from outside.
        bench::generateCatalogue(std::string(argv[2]) + "/Q7.dat", std::atoi(argv[3]));
        bench::writeCollectionLists(argv[2]);
        return 0;
    }
    QApplication app(argc, argv);
    const int runs = bench::runsFromArguments(argc, argv, 9);
    Stage stage;
    app.installEventFilter(&stage);

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
    ScanFigures single;
    // "--records N": only 1 and N records; "--lists N": big value lists in no order.
    std::vector<int> sizes{1, 1000, q7::maxRecords};
    int listValues = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--records") sizes = {1, std::atoi(argv[i + 1])};
        if (QByteArray(argv[i]) == "--lists") listValues = std::atoi(argv[i + 1]);
    }
    if (listValues > 0) std::printf("value lists: 15 files of %d values in no order\n", listValues);
    for (int records : sizes) {
        Session session(records, listValues, stage);
        const bool full = records == q7::maxRecords;
        std::printf("\n%d records (%.1f MB), triggered -> shown or closed\n", records,
                    records * 1048 / 1e6);
        ScanFigures scans;
        for (int i = 0; i < runs; ++i) {
            scans.author.add(session.authorSearch());
            scans.word.add(session.wordSearch());
            scans.statistics.add(session.statistics());
            scans.loans.add(session.loansWindow());
        }
        const std::pair<const char*, bench::Samples ScanFigures::*> rows[] = {
            {"author search, no hit -> message", &ScanFigures::author},
            {"word search, no hit -> message", &ScanFigures::word},
            {"statistics -> window painted", &ScanFigures::statistics},
            {"loans window, 300 loans -> painted", &ScanFigures::loans}};
        for (const auto& [name, member] : rows) {
            const bench::Samples& t = scans.*member;
            bench::printTimes(name, t);
            if (records == 1) continue;
            const double base = (single.*member).median();
            count(bench::printExcess("over 1 record", (t.median() - base) * 1e3, base * 1e3,
                                     full ? 30 : 0));
        }
        if (records == 1) {
            single = scans;
            continue;
        }
        for (const q7::ExportType& e : q7::exportTypes())
            if (e.wholeFile)
                againstCore(
                    std::string("export ") + e.fileName, runs, full,
                    [&] { return session.exportInCore(e); },
                    [&] { return session.exportFromWindow(e); });
        for (const Sort& sort : sortsToTime)
            againstCore(
                sort.name, runs, full, [&] { return session.sortInCore(sort); },
                [&] { return session.sortFromWindow(sort); });
    }
    std::printf("\ngoals missed: %d\n", missed);
    return missed == 0 ? 0 : 1;
}
