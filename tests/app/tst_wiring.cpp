// The record window reaches the windows of the other subsystems.
#include "AppFixture.h"
#include "maint/Q7info.h"
#include "output/Q7etiq.h"
#include "output/Q7export.h"
#include "search/Q7recmot.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestWiring : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportMenuSetsTheKindAndExports() {
        AppFixture app({FicheBuilder().numero(1), FicheBuilder().numero(2)});
        app.start();
        app.fakes->modal.script("Tformexport", [](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Exporter en CSV"));
            d.findChild<QPushButton*>("Button1")->click();
        });
        app.trigger("menucsv");
        QCOMPARE(readBytes(app.dir() + "/Q7export.csv").substr(0, 3), std::string("';;"));
    }

    void labelsFromTheToolBarAndPrint() {
        AppFixture app({FicheBuilder().numero(7)});
        app.start();
        app.trigger("menuliste");
        app.trigger("spdbajout");
        app.trigger("Ajouterdansliste1");
        app.fakes->modal.script(
            "TFormetiq", [](QDialog& d) { d.findChild<QPushButton*>("btimprimer")->click(); });
        app.trigger("spdbimpression");
        QCOMPARE(app.fakes->printer.pages.size(), std::size_t(1));
        QCOMPARE(app.fakes->printer.pages[0].size(), std::size_t(6));
        QCOMPARE(app.fakes->printer.pages[0][1].text, QString("| 7        |"));
    }

    void recordPrintoutAndTextFile() {
        AppFixture app(
            {FicheBuilder().numero(1), FicheBuilder().numero(2).set(q7::Field::titre, "Nana")});
        app.start();
        app.trigger("menuliste");
        QTest::mouseClick(app.ui().spbsuivant, Qt::LeftButton);
        app.ui().cbtitre->setEditText("Nana (écran)");
        app.trigger("menuimprimerfiche");
        const auto& page = app.fakes->printer.pages.at(0);
        QCOMPARE(page.size(), std::size_t(27));
        QCOMPARE(page[0].text, QString("=== Fiche n°2 ==="));
        QCOMPARE(page[1].text, QString("Titre  =Nana (écran)"));
        app.trigger("menuimpfiche");
        const std::string file = readBytes(app.dir() + "/Q7fiche.txt");
        QVERIFY(file.find("Titre     = Nana\r\n") != std::string::npos);
    }

    void optionsApplyEverywhere() {
        AppFixture app;
        app.start();
        app.fakes->modal.script("formoption", [](QDialog& d) {
            d.findChild<QLineEdit*>("edttxtutil")->setText("Thème");
            d.findChild<QLineEdit*>("edtdevise")->setText("Francs suisses");
            d.findChild<QPushButton*>("btappliquer")->click();
        });
        app.trigger("smenuoptions");
        QCOMPARE(app.ui().lblutilisateur->text(), QString("Thème"));
        QCOMPARE(app.ui().menuinsertutil->text(), QString("Thème"));
        QCOMPARE(app.ui().lbldevise->text(), QString("Francs sui"));
        QCOMPARE(app.program->windows().recmot->findChild<QRadioButton*>("rbutilisateur")->text(),
                 QString("Thème"));
        QCOMPARE(app.program->windows().info->findChild<QLabel*>("lbldevise")->text(),
                 QString("Francs sui"));
        QCOMPARE(app.fakes->settings.values["textutilisateur"], q7::lit("Thème"));
    }

    void externalProgramsAndCompanions() {
        AppFixture app;
        app.fakes->settings.set("appext_manip", "/usr/bin/gnome-calculator");
        app.start();
        app.fakes->launcher.installed = {"kcalc"}; // no text editor
        app.fakes->launcher.failing = {"C:\\Program Files\\Accessoires\\WORDPAD.EXE"};
        app.trigger("menuext1");
        app.trigger("spdbapplication");
        app.trigger("menuext2");
        QCOMPARE(app.fakes->launcher.started,
                 QStringList({"/usr/bin/gnome-calculator", "/usr/bin/gnome-calculator",
                              "C:\\Program Files\\Accessoires\\WORDPAD.EXE"}));
        // What could not be started is named.
        QCOMPARE(app.dialogs().boxes(),
                 QStringList({"error:Le programme « C:\\Program Files\\Accessoires\\WORDPAD.EXE » "
                              "n'a pas pu être lancé : choisissez-en un autre dans Gestion › "
                              "Options."}));
        app.dialogs().log.clear();
        app.trigger("smenucarnet");
        app.trigger("Apropos1");
        app.trigger("menuaide"); // no help file: the message, no window
        QCOMPARE(app.fakes->modal.shown, QStringList({"carnetform", "aproposform"}));
        QVERIFY(app.dialogs().boxes().last().contains("Q7aide.txt"));
    }

    // The Windows defaults stand for the desktop's programs when one is installed; a
    // collector's own choice is started as it is, even where a desktop program exists.
    void externalProgramDefaults_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("setting"); // "" = the default
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("started");
        QTest::newRow("calculator") << "menuext1"
                                    << "" << QStringList{"xcalc", "kcalc"} << "/usr/bin/kcalc";
        QTest::newRow("editor") << "menuext2"
                                << "" << QStringList{"mousepad"} << "/usr/bin/mousepad";
        QTest::newRow("none installed") << "menuext1"
                                        << "" << QStringList{} << "C:\\WINDOWS\\CALC.EXE";
        QTest::newRow("chosen") << "menuext2"
                                << "emacs notes.txt" << QStringList{"gedit"} << "emacs notes.txt";
    }
    void externalProgramDefaults() {
        QFETCH(QString, item);
        QFETCH(QString, setting);
        QFETCH(QStringList, installed);
        QFETCH(QString, started);
        AppFixture app;
        const char* key = item == "menuext1" ? "appext_manip" : "appext_gest";
        if (!setting.isEmpty()) app.fakes->settings.set(key, setting.toStdString());
        app.start();
        const auto stored = app.fakes->settings.values;
        app.fakes->launcher.installed = installed;
        app.trigger(qPrintable(item));
        QCOMPARE(app.fakes->launcher.started, QStringList{started});
        QVERIFY(app.fakes->settings.values == stored); // nothing written back
    }

    void statisticsShowTheCurrencyAndTheSortRewrites() {
        AppFixture app({FicheBuilder()
                            .numero(1)
                            .set(q7::Field::titre, "zèbre")
                            .set(q7::Field::nbpage, "1")
                            .set(q7::Field::prix, "1"),
                        FicheBuilder()
                            .numero(2)
                            .set(q7::Field::titre, "Abeille")
                            .set(q7::Field::nbpage, "1")
                            .set(q7::Field::prix, "1")});
        app.fakes->settings.set("devise", "CHF");
        app.start();
        QCOMPARE(app.program->windows().info->findChild<QLabel*>("lbldevise")->text(),
                 QString("CHF"));
        app.fakes->modal.script("formfic",
                                [](QDialog& d) { d.findChild<QPushButton*>("bttrier")->click(); });
        app.trigger("smenutrier");
        QCOMPARE(app.records()[0].text(q7::Field::titre), std::string("Abeille"));
        QCOMPARE(app.state().data.position(), 0);
    }
};

QTEST_MAIN(TestWiring)
#include "tst_wiring.moc"
