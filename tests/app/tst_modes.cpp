// The five modes of the record window, item by item, and what start-up shows.
#include "AppFixture.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

class TestModes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUpShowsMainMenu() {
        AppFixture app;
        app.start();
        auto& u = app.ui();
        QVERIFY(QFile::exists(app.path("Q7.dat")));
        QCOMPARE(u.lblinfo->text(), QString("Menu principal"));
        QVERIFY(!u.cbtitre->isEnabled());
        QCOMPARE(u.cbtitre->currentText(), QString());
        for (QLineEdit* e :
             {static_cast<QLineEdit*>(u.edtprix), u.edtnumero, static_cast<QLineEdit*>(u.edtjour),
              static_cast<QLineEdit*>(u.edtannee)})
            QCOMPARE(e->text(), QString("0"));
        QVERIFY(u.menuChercherpar->menuAction()->isEnabled());
        QVERIFY(u.menuExportation->menuAction()->isEnabled());
        QVERIFY(!u.menuEnregistrer->isEnabled());
        QVERIFY(!u.menuEffacer->isEnabled());
        QCOMPARE(app.state().criterion, q7::Criterion::None);
        // Captions from the settings' defaults.
        QCOMPARE(u.lblutilisateur->text(), QString("Mots clés"));
        QCOMPARE(u.ckbutilisateur->text(), QString("Annoté"));
        QCOMPARE(u.menuext1->text(), QString("CALC.EXE"));
        QCOMPARE(u.menuext2->text(), QString("WORDPAD.EXE"));
        QCOMPARE(u.lbldevise->text(), QString("Euros"));
        QCOMPARE(app.w().windowTitle(), QString("Lirabel 3"));
        app.w().close();
        QVERIFY(!QFile::exists(app.path("Q7.dat"))); // an empty catalogue leaves nothing
    }

    // Expected states by mode, written from the mode table of the window's design.
    void everyItemInEveryMode_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("states"); // per mode 0..4: 1 on, 0 off, - unchanged
        const char* rows[][2] = {
            {"cbtitre", "01-01"},
            {"lblpos3", "01-01"},
            {"ckbsignet", "01-01"},
            {"edtjour", "01-01"},
            {"btbnotes", "01-01"},
            {"btbcontrol", "01-01"},
            {"menuChercherpar", "10111"},
            {"menuChercher", "00110"},
            {"menuEffacer", "00111"},
            {"menuEnregistrer", "01-11"},
            {"menuImpression", "00011"},
            {"menuEtiquettes", "-0-11"},
            {"menuInserer", "01-11"},
            {"menuNotes", "01011"},
            {"menuResume", "01011"},
            {"menuControl", "01011"},
            {"menuanciennum", "01011"},
            {"menuExportation", "10011"},
            {"menuQ7imprestxt", "1--00"},
            {"menusql", "1--00"},
            {"menucsv", "1--00"},
            {"menuHTML", "0--11"},
            {"btbenregistrer", "01-11"},
            {"btbchercher", "00-10"},
            {"smenuliste", "10100"},
            {"smenutrier", "10100"},
            {"smenuoptions", "10100"},
            {"smenuinformations", "10100"},
            {"spbdebut", "00101"},
            {"spbsuivant", "00101"},
            {"spdbenregistrer", "01011"},
            {"spdbnote", "01011"},
            {"spdbresume", "01011"},
            {"spdbajout", "01011"},
            {"spdbchercher", "00011"},
            {"spdbrecliste", "00011"},
            {"spdbimpression", "00011"},
            // Never changed by a mode.
            {"menuNouvelle", "11111"},
            {"menuVide", "11111"},
            {"menuliste", "11111"},
            {"spdbvide", "11111"},
            {"spdbaide", "11111"},
            {"menuext1", "11111"},
        };
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[0]) << QString(r[1]);
    }
    void everyItemInEveryMode() {
        QFETCH(QString, item);
        QFETCH(QString, states);
        AppFixture app({FicheBuilder().numero(1)});
        app.start();
        auto enabled = [&]() -> bool {
            if (auto* m = app.w().findChild<QMenu*>(item)) return m->menuAction()->isEnabled();
            if (auto* a = app.w().findChild<QAction*>(item)) return a->isEnabled();
            return app.w().findChild<QWidget*>(item)->isEnabled();
        };
        for (bool start : {false, true}) {
            for (int mode = 0; mode < 5; ++mode) {
                // Start from everything off, then everything on, to see "unchanged".
                app.w().applyMode(start ? Mode::NewRecord : Mode::MainMenu);
                app.w().applyMode(start ? Mode::Browse : Mode::MainMenu);
                const bool before = enabled();
                app.w().applyMode(static_cast<Mode>(mode));
                const QChar want = states.at(mode);
                const bool expected = want == u'-' ? before : want == u'1';
                QVERIFY2(enabled() == expected,
                         qPrintable(QString("%1 in mode %2").arg(item).arg(mode)));
            }
        }
    }

    void textsOfTheModes() {
        AppFixture app({FicheBuilder().numero(1).set(q7::Field::notes, "note")});
        app.start();
        auto& u = app.ui();
        app.trigger("menuliste");
        QCOMPARE(u.edtnbfiche->text(), QString("1/1"));
        // Red, as dark as it must be to read on the button.
        const QColor filled = u.btbnotes->palette().color(QPalette::Active, QPalette::ButtonText);
        QCOMPARE(filled.hsvHue(), 0);
        QVERIFY(filled.saturation() == 255 && filled.value() >= 180);
        app.w().applyMode(Mode::MainMenu);
        QCOMPARE(u.edtnbfiche->text(), QString("0"));
        QCOMPARE(u.lblinfo->text(), QString("Menu principal"));
        QCOMPARE(u.btbnotes->palette().color(QPalette::Active, QPalette::ButtonText),
                 QApplication::palette(u.btbnotes).color(QPalette::ButtonText));
        app.w().applyMode(Mode::NewRecord);
        QCOMPARE(u.lblinfo->text(), QString("nouvelle fiche"));
        app.w().applyMode(Mode::Save);
        QCOMPARE(u.lblinfo->text(), QString("nouvelle fiche"));
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
