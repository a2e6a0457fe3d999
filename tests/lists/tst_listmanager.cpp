// "Gestion des listes": choosing, removing, inserting and saving a list, as a user does.
#include "ListTestSupport.h"
#include "store/Cp1252.h"

#include <QApplication>

using q7::lit;

namespace {
constexpr int titre = 0, auteur = 1, type = 6, langue = 7, user = 9;
}

class TestListManager : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void selectorOffersTheFifteenEntries() {
        AppFixture app;
        app.fakes->settings.set("textutilisateur", "Lieu");
        app.start();
        inListManager(app, [](TFormliste& d, Ui::TFormliste& u) {
            QCOMPARE(d.windowTitle(), QString("Gestion des listes"));
            QVERIFY(!u.cbactiveliste->isEditable()); // no typed file names
            QStringList entries;
            for (int i = 0; i < u.cbactiveliste->count(); ++i)
                entries << u.cbactiveliste->itemText(i);
            QCOMPARE(entries,
                     QStringList({"Titre", "Auteur", "Sujet", "Collection", "Edition", "Imprimeur",
                                  "Type", "Langue", "Origine", "Lieu", "Etat", "Position 1",
                                  "Position 2", "Position 3", "Position 4"}));
            QCOMPARE(u.cbactiveliste->currentIndex(), 0);
            QCOMPARE(u.edtinserer->maxLength(), 50);
        });
    }

    // Every list file the program reads comes back, saved, in the written form: sorted
    // case-blind in French, CR LF after every line.
    void fileReadThenSaved_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CR LF") << QByteArray("b\r\na\r\n") << QStringList{"a", "b"}
                               << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone LF") << QByteArray("b\na\n") << QStringList{"a", "b"}
                                 << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone CR") << QByteArray("b\ra") << QStringList{"a", "b"}
                                 << QByteArray("a\r\nb\r\n");
        QTest::newRow("mixed ends") << QByteArray("c\r\nb\na\r") << QStringList{"a", "b", "c"}
                                    << QByteArray("a\r\nb\r\nc\r\n");
        QTest::newRow("no final line end")
            << QByteArray("y\r\nx") << QStringList{"x", "y"} << QByteArray("x\r\ny\r\n");
        // The bytes from the NUL on are not shown, and not thrown away either.
        QTest::newRow("NUL ends the text")
            << QByteArray("b\r\na\0z\r\n", 8) << QStringList{"a", "b"}
            << QByteArray("a\r\nb\r\n\0z\r\n", 10);
        QTest::newRow("empty lines are values")
            << QByteArray("b\r\n\r\n\n") << QStringList{"", "", "b"} << QByteArray("\r\n\r\nb\r\n");
        QTest::newRow("CR then CR LF")
            << QByteArray("a\r\r\nb") << QStringList{"", "a", "b"} << QByteArray("\r\na\r\nb\r\n");
        QTest::newRow("blanks kept")
            << QByteArray(" a \r\n") << QStringList{" a "} << QByteArray(" a \r\n");
        QTest::newRow("duplicates kept")
            << QByteArray("a\r\nb\r\na\r\n") << QStringList{"a", "a", "b"}
            << QByteArray("a\r\na\r\nb\r\n");
        QTest::newRow("case-blind, stable")
            << QByteArray("b\r\nA\r\na\r\nB\r\n") << QStringList{"A", "a", "b", "B"}
            << QByteArray("A\r\na\r\nb\r\nB\r\n");
        QTest::newRow("French accents")
            << QByteArray(lit("ez\r\néa\r\nEa\r\n").c_str()) << QStringList{"Ea", "éa", "ez"}
            << QByteArray(lit("Ea\r\néa\r\nez\r\n").c_str());
        QByteArray high;
        for (int b = 0x80; b <= 0x9F; ++b)
            high += char(b);
        QTest::newRow("bytes 0x80 to 0x9F")
            << high + "\r\n"
            << QStringList{QString::fromStdString(q7::cp1252ToUtf8(high.toStdString()))}
            << high + "\r\n";
        QTest::newRow("empty file") << QByteArray() << QStringList{} << QByteArray();
    }
    void fileReadThenSaved() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        QFETCH(QByteArray, saved);
        AppFixture app;
        writeBytes(app.dir() + "/Q7auteur.lst", file.toStdString());
        app.start();
        inListManager(app, [&](TFormliste&, Ui::TFormliste& u) {
            choose(u, auteur);
            QCOMPARE(lines(u.lstbliste), shown);
            u.btenregistrer->click();
        });
        QCOMPARE(QByteArray::fromStdString(readBytes(app.dir() + "/Q7auteur.lst")), saved);
        QVERIFY(app.dialogs().boxes().isEmpty());
        QVERIFY(!QFile::exists(app.path("Q7auteur.lst.tmp")));
    }

    void missingListIsTheLineCetteListeEstVide() {
        AppFixture app;
        app.start();
        inListManager(app, [](TFormliste& d, Ui::TFormliste& u) {
            choose(u, type);
            QCOMPARE(lines(u.lstbliste), QStringList{"Cette liste est vide"});
            u.btenregistrer->click();
            QVERIFY(u.btenregistrer->isEnabled());
            QCOMPARE(d.focusWidget(), u.btfermer);
        });
        QCOMPARE(readBytes(app.dir() + "/Q7type.lst"), std::string("Cette liste est vide\r\n"));
    }

    void removingTheLastLineDisablesRetirerUntilInserer() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7auteur.lst", "Hugo\r\nZola\r\n");
        app.start();
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            QVERIFY(u.btretirer->isEnabled());
            choose(u, type);
            u.btretirer->click(); // nothing selected: nothing removed
            QCOMPARE(u.lstbliste->count(), 1);
            clickLine(u.lstbliste, 0);
            u.btretirer->click();
            QCOMPARE(u.lstbliste->count(), 0);
            QVERIFY(!u.btretirer->isEnabled());
            choose(u, auteur);
            QCOMPARE(lines(u.lstbliste), QStringList({"Hugo", "Zola"}));
            QVERIFY(!u.btretirer->isEnabled());
        });
        // The state lasts from one showing to the next.
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            QVERIFY(!u.btretirer->isEnabled());
            choose(u, auteur);
            insertValue(u, "Sand");
            QVERIFY(u.btretirer->isEnabled());
            QCOMPARE(u.edtinserer->text(), QString("Sand")); // the edit keeps its text
            clickLine(u.lstbliste, 2);
            u.btretirer->click();
            QCOMPARE(lines(u.lstbliste), QStringList({"Hugo", "Sand"}));
        });
        QCOMPARE(readBytes(app.dir() + "/Q7auteur.lst"),
                 std::string("Hugo\r\nZola\r\n")); // not saved
    }

    void insertedValuesSavedInCaseBlindOrder() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7langue.lst", "");
        app.start();
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            choose(u, langue);
            QCOMPARE(u.lstbliste->count(), 0);
            insertValue(u, "b", true);
            insertValue(u, "A");
            insertValue(u, "a", true);
            insertValue(u, "A"); // again: no check for duplicates
            insertValue(u, "");  // nor for empty values
            QCOMPARE(lines(u.lstbliste), QStringList({"", "A", "a", "A", "b"}));
            u.btenregistrer->click();
        });
        QCOMPARE(readBytes(app.dir() + "/Q7langue.lst"), std::string("\r\nA\r\na\r\nA\r\nb\r\n"));
    }

    void emptiedListSavesZeroBytesAndTheFieldOffersNothing() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7titre.lst", "Nana\r\n");
        app.start();
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            choose(u, titre);
            clickLine(u.lstbliste, 0);
            u.btretirer->click();
            u.btenregistrer->click();
        });
        QVERIFY(QFile::exists(app.path("Q7titre.lst")));
        QCOMPARE(readBytes(app.dir() + "/Q7titre.lst"), std::string());
        app.trigger("menuNouvelle");
        QCOMPARE(app.ui().cbtitre->count(), 0);
        QCOMPARE(app.ui().cbtitre->currentText(), QString()); // the file exists: no "Vide"
        QCOMPARE(app.ui().cbauteur->currentText(), QString("Vide"));
    }

    // The list box belongs to the list it was loaded from: choosing another entry or
    // opening the window again empties it, and an empty, unloaded list box is never
    // written over a list.
    void listBoxStaysTiedToItsList() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7titre.lst", "Nana\r\nGerminal\r\n");
        writeBytes(app.dir() + "/Q7auteur.lst", "Zola\r\n");
        app.start();
        inListManager(app, [](TFormliste& d, Ui::TFormliste& u) {
            choose(u, titre);
            insertValue(u, "Au Bonheur des dames");
            u.cbactiveliste->setCurrentIndex(auteur);
            QCOMPARE(u.lstbliste->count(), 0);
            u.btenregistrer->click();
            QVERIFY(d.isVisible());
        });
        QCOMPARE(app.dialogs().log,
                 QStringList({"beep", "message:Aucune liste n'est chargée : "
                                      "choisissez d'abord une liste avec « Choisir »."}));
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            QCOMPARE(u.cbactiveliste->currentIndex(), titre);
            QCOMPARE(u.lstbliste->count(), 0);
            insertValue(u, "x");
            u.btenregistrer->click();
        });
        QCOMPARE(readBytes(app.dir() + "/Q7titre.lst"), std::string("Nana\r\nGerminal\r\n"));
        QCOMPARE(readBytes(app.dir() + "/Q7auteur.lst"), std::string("Zola\r\n"));
        QVERIFY(!QFile::exists(app.path("Q7.lst")));
    }

    void escapeAndFermerCloseWithoutSaving() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7sujet.lst", "Histoire\r\n");
        app.start();
        for (bool escape : {true, false}) {
            bool closed = false;
            inListManager(app, [&](TFormliste& d, Ui::TFormliste& u) {
                choose(u, 2);
                insertValue(u, "Roman");
                if (escape)
                    QTest::keyClick(u.lstbliste, Qt::Key_Escape);
                else
                    u.btfermer->click();
                closed = !d.isVisible();
                QCOMPARE(u.cbactiveliste->count(), 0); // rebuilt at the next opening
            });
            QVERIFY(closed);
        }
        QCOMPARE(readBytes(app.dir() + "/Q7sujet.lst"), std::string("Histoire\r\n"));
    }

    void userListFollowsTheRenamedCaption() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7utilisat.lst", "Salon\r\n");
        app.start();
        app.fakes->settings.set("textutilisateur", lit("Pièce"));
        app.program->settings().run("lec");
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            QCOMPARE(u.cbactiveliste->itemText(user), QString("Pièce"));
            choose(u, user);
            QCOMPARE(lines(u.lstbliste), QStringList{"Salon"});
            insertValue(u, "Bureau");
            u.btenregistrer->click();
        });
        QCOMPARE(readBytes(app.dir() + "/Q7utilisat.lst"), std::string("Bureau\r\nSalon\r\n"));
        QVERIFY(!QFile::exists(app.path(QString::fromUtf8("Q7Pièce.lst"))));
    }

    void namesFoundWhateverTheirCase() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7AUTEUR.LST", "Zola\r\n");
        app.start();
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            choose(u, auteur);
            QCOMPARE(lines(u.lstbliste), QStringList{"Zola"});
            insertValue(u, "Hugo");
            u.btenregistrer->click();
        });
        QCOMPARE(readBytes(app.dir() + "/Q7AUTEUR.LST"), std::string("Hugo\r\nZola\r\n"));
        QVERIFY(!QFile::exists(app.path("Q7auteur.lst")));
    }

    void offeredInMainMenuModeOnly() {
        AppFixture app({FicheBuilder().numero(1)});
        app.start();
        QVERIFY(app.ui().smenuliste->isEnabled());
        QCOMPARE(app.ui().smenuliste->shortcut(), QKeySequence("Ctrl+L"));
        app.trigger("menuNouvelle");
        QVERIFY(!app.ui().smenuliste->isEnabled());
        app.trigger("menuliste");
        QVERIFY(!app.ui().smenuliste->isEnabled());
        app.trigger("menuRetour");
        QTest::keyClick(app.ui().cbtitre, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(app.fakes->modal.shown, QStringList{"Formliste"});
    }
};

QTEST_MAIN(TestListManager)
#include "tst_listmanager.moc"
