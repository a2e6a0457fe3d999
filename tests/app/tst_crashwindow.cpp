// The record window's writing commands and each export as its window starts it, cut after
// each file step by a crash or a power cut: reopened, every file is old or new, whole, and
// no reference of a deleted book is both offered again and a record's.
#include "AppFixture.h"
#include "CrashReplay.h"
#include "output/ExportTypes.h"
#include "RecordingFileSystem.h"
#include "store/DataFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <cstdio>
#include <fstream>

namespace {

std::vector<q7::Fiche> books(int n) {
    std::vector<q7::Fiche> records;
    for (int i = 1; i <= n; ++i)
        // As the record window saves them (pages and price never empty), of one type for
        // the first chart.
        records.push_back(FicheBuilder()
                              .numero(i)
                              .set(q7::Field::titre, "Livre " + std::to_string(i))
                              .set(q7::Field::type, "Roman")
                              .set(q7::Field::nbpage, "0")
                              .set(q7::Field::prix, "0"));
    return records;
}

// The window on a recording file layer: from its opening of the folder to its closing.
void runWindow(RecordingFileSystem& fs, const std::string& dir,
               const std::function<void(Program&, FakeServices&)>& command) {
    FakeServices fakes(fs, dir);
    Program program(fakes.services);
    program.prin().show();
    QApplication::processEvents();
    command(program, fakes);
    QApplication::processEvents();
}

void trigger(Program& program, const char* action) {
    auto* a = program.prin().findChild<QAction*>(QLatin1String(action));
    if (!a) qFatal("no action %s", action);
    a->trigger();
    QApplication::processEvents();
}

template <typename W> W* child(Program& program, const char* name) {
    auto* w = program.prin().findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no widget %s", name);
    return w;
}

void showThird(Program& program) {
    trigger(program, "menuliste");
    auto* next = child<QAbstractButton>(program, "spbsuivant");
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
}

template <typename W> W* inside(QDialog& dialog, const char* name) {
    auto* w = dialog.findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no widget %s", name);
    return w;
}

void click(QDialog& dialog, const char* button) {
    QTest::mouseClick(inside<QAbstractButton>(dialog, button), Qt::LeftButton);
}

} // namespace

class CrashWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowCommandsOldOrNew() {
        struct Command {
            std::string name;
            const char* changes; // the file the command must have written
            std::function<void(Program&, FakeServices&)> run;
        };
        const Command commands[] = {
            {"fenêtre : enregistrer (fiche changée)", "Q7.dat",
             [](Program& p, FakeServices&) {
                 showThird(p);
                 typeInto(child<QComboBox>(p, "cbtitre"), QStringLiteral("Titre changé"));
                 trigger(p, "menuEnregistrer");
             }},
            {"fenêtre : enregistrer (nouvelle fiche)", "Q7.dat",
             [](Program& p, FakeServices&) {
                 trigger(p, "menuNouvelle");
                 typeInto(child<QComboBox>(p, "cbtitre"), QStringLiteral("Nouveau"));
                 trigger(p, "menuEnregistrer");
             }},
            {"fenêtre : effacer", "Q7ancnum.lst",
             [](Program& p, FakeServices&) {
                 showThird(p);
                 trigger(p, "menuEffacer");
             }},
            {"fenêtre : insérer dans liste (auteur)", "Q7auteur.lst",
             [](Program& p, FakeServices&) {
                 trigger(p, "menuNouvelle");
                 typeInto(child<QComboBox>(p, "cbauteur"), QStringLiteral("Balzac"));
                 trigger(p, "insauteur");
             }},
            {"fenêtre : gestion des listes, enregistrer", "Q7titre.lst",
             [](Program& p, FakeServices& f) {
                 f.modal.script(QStringLiteral("Formliste"), [](QDialog& d) {
                     click(d, "Button1"); // the first list, the titles
                     auto* value = inside<QLineEdit>(d, "edtinserer");
                     value->setFocus();
                     QTest::keyClicks(value, "Germinal");
                     click(d, "btinserer");
                     click(d, "btenregistrer");
                 });
                 trigger(p, "smenuliste");
             }},
            {"fenêtre : reprendre un ancien numéro", "Q7ancnum.lst",
             [](Program& p, FakeServices& f) {
                 trigger(p, "menuNouvelle");
                 f.modal.script(QStringLiteral("formanciennum"),
                                [](QDialog& d) { click(d, "btchoisir"); });
                 trigger(p, "menuanciennum");
                 trigger(p, "menuEnregistrer");
             }},
            {"fenêtre : carnet", "Q7carnet.txt",
             [](Program& p, FakeServices& f) {
                 f.modal.script(QStringLiteral("carnetform"), [](QDialog& d) {
                     auto* memo = inside<QPlainTextEdit>(d, "memcarnet");
                     memo->setFocus();
                     QTest::keyClicks(memo, "Ranger. ");
                     click(d, "btfermer"); // saved: the closing question is answered yes
                 });
                 trigger(p, "smenucarnet");
             }},
            // Named by the collector: the list, the image.
            {"fenêtre : exporter la liste du tableau", "Ma liste.csv",
             [](Program& p, FakeServices& f) {
                 f.dialogs.files.push_back(QString::fromStdString(f.services.workDir) +
                                           "/Ma liste.csv");
                 f.modal.script(QStringLiteral("formvue"),
                                [](QDialog& d) { click(d, "btexporter"); });
                 trigger(p, "menuvue");
             }},
            {"fenêtre : enregistrer le graphique", "Livres.png",
             [](Program& p, FakeServices& f) {
                 f.dialogs.files.push_back(QString::fromStdString(f.services.workDir) +
                                           "/Livres.png");
                 f.modal.script(QStringLiteral("forminfo"),
                                [](QDialog& d) { click(d, "btgraphiques"); });
                 f.modal.script(QStringLiteral("formgraph"),
                                [](QDialog& d) { click(d, "btenregistrer"); });
                 trigger(p, "smenuinformations");
             }},
        };
        std::vector<Command> all(std::begin(commands), std::end(commands));
        // Each export as its window starts it: the whole catalogue from the window as it
        // opens, the record shown from the third.
        for (const q7::ExportType& type : q7::exportTypes())
            all.push_back({std::string("fenêtre : ") + type.caption, type.fileName,
                           [&type](Program& p, FakeServices& f) {
                               if (!type.wholeFile) showThird(p);
                               f.modal.script(QStringLiteral("Tformexport"), [&type](QDialog& d) {
                                   if (type.asksTableName) {
                                       auto* table = inside<QLineEdit>(d, "edtnomtab");
                                       table->setFocus();
                                       QTest::keyClicks(table, "livres");
                                   }
                                   click(d, "Button1");
                               });
                               trigger(p, type.menuItem);
                           }});
        std::string table = "\ncommande | modèle | états | cassants\n";
        int breaking = 0;
        for (const Command& command : all) {
            QTemporaryDir live, scratch;
            const std::string dir = live.path().toStdString();
            writeCatalogue(dir, books(6));
            std::ofstream(dir + "/Q7ancnum.lst", std::ios::binary) << "9\r\n12\r\n";
            std::ofstream(dir + "/Q7auteur.lst", std::ios::binary) << "Hugo\r\nZola\r\n";
            std::ofstream(dir + "/Q7titre.lst", std::ios::binary) << "Nana\r\n";
            std::ofstream(dir + "/Q7carnet.txt", std::ios::binary) << "Penser à ranger.\r\n";
            for (const q7::ExportType& type : q7::exportTypes())
                std::ofstream(dir + "/" + type.fileName, std::ios::binary) << "ancien\r\n";
            std::ofstream(dir + "/Ma liste.csv", std::ios::binary) << "ancienne liste\r\n";
            std::ofstream(dir + "/Livres.png", std::ios::binary) << "ancienne image";
            RecordingFileSystem recorder(dir);
            runWindow(recorder, dir, command.run);
            QVERIFY2(recorder.steps().size() > 2, command.name.c_str());
            const FolderImage now = readFolder(dir);
            const std::string* was = contentOf(recorder.start(), command.changes);
            const std::string* is = contentOf(now, command.changes);
            QVERIFY2(was && is && *was != *is, command.name.c_str());
            CrashRule rule;
            rule.recover = openCatalogue;
            rule.across = referencesFreeOrLost;
            const auto counts = replayCrashes(recorder, rule, scratch.path().toStdString());
            table += crashTableRows(command.name, counts);
            for (const CrashCount& count : counts)
                breaking += count.breaking;
        }
        std::fputs(table.c_str(), stdout);
        QCOMPARE(breaking, 0);
    }
};

QTEST_MAIN(CrashWindowTest)
#include "tst_crashwindow.moc"
