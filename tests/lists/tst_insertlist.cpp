// "Inserer dans liste" and the clickable captions of the record window: the field's
// text joins its list file, which keeps all its former values.
#include "ListTestSupport.h"
#include "store/Cp1252.h"
#include "widgets/ClickLabel.h"

#include <QApplication>
#include <QMenu>

using q7::Field;
using q7::lit;

namespace {
void clickLabel(QLabel* label) {
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
}
} // namespace

class TestInsertList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insertsTheFieldText_data() {
        QTest::addColumn<QString>("trigger"); // menu item, or label when it starts with "lbl"
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before"); // "-" when missing
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("duplicate author kept twice")
            << "insauteur"
            << "cbauteur"
            << "Q7auteur.lst" << QByteArray("Hugo\r\nZola\r\n") << "Hugo"
            << QByteArray("Hugo\r\nHugo\r\nZola\r\n") << QStringList{"Hugo", "Hugo", "Zola"};
        QTest::newRow("empty title by its caption")
            << "lbltitre"
            << "cbtitre"
            << "Q7titre.lst" << QByteArray("Nana\r\n") << "" << QByteArray("\r\nNana\r\n")
            << QStringList{"", "Nana"};
        QTest::newRow("missing origin created by its caption")
            << "lblorigine"
            << "cborigine"
            << "Q7origine.lst" << QByteArray("-") << "Brocante" << QByteArray("Brocante\r\n")
            << QStringList{"Brocante"};
        QTest::newRow("file in no order comes back sorted")
            << "insCollections"
            << "cbcollection"
            << "Q7collection.lst" << QByteArray("b\nc") << "A" << QByteArray("A\r\nb\r\nc\r\n")
            << QStringList{"A", "b", "c"};
        QTest::newRow("accented, case-blind")
            << "lbledition"
            << "cbedition"
            << "Q7edition.lst" << QByteArray(lit("Gallimard\r\nÉditions de Minuit\r\n").c_str())
            << "éditions P.O.L"
            << QByteArray(lit("Éditions de Minuit\r\néditions P.O.L\r\nGallimard\r\n").c_str())
            << QStringList{"Éditions de Minuit", "éditions P.O.L", "Gallimard"};
        QTest::newRow("position 3") << "inspos3"
                                    << "cbpos3"
                                    << "Q7pos3.lst" << QByteArray("-") << "Grenier"
                                    << QByteArray("Grenier\r\n") << QStringList{"Grenier"};
        QTest::newRow("printer by its caption")
            << "lblimprimeur"
            << "cbimprimeur"
            << "Q7imprimeur.lst" << QByteArray("Firmin-Didot\r\n") << "Aubin"
            << QByteArray("Aubin\r\nFirmin-Didot\r\n") << QStringList{"Aubin", "Firmin-Didot"};
        QTest::newRow("subject") << "inssujet"
                                 << "cbsujet"
                                 << "Q7sujet.lst" << QByteArray("x\r\n") << "y"
                                 << QByteArray("x\r\ny\r\n") << QStringList{"x", "y"};
    }
    void insertsTheFieldText() {
        QFETCH(QString, trigger);
        QFETCH(QString, field);
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(QString, typed);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, offered);
        AppFixture app;
        if (before != "-") writeBytes(app.dir() + "/" + file.toStdString(), before.toStdString());
        app.start();
        app.trigger("menuNouvelle");
        auto* cb = app.w().findChild<SortedComboBox*>(field);
        if (before == "-") QCOMPARE(cb->currentText(), QString("Vide"));
        typeInto(cb, typed);
        if (trigger.startsWith("lbl"))
            clickLabel(app.w().findChild<ClickLabel*>(trigger));
        else
            app.trigger(trigger.toLatin1().constData());
        QCOMPARE(QByteArray::fromStdString(readBytes(app.dir() + "/" + file.toStdString())), after);
        QCOMPARE(cb->values(), offered);
        QCOMPARE(cb->currentText(), typed);
        QVERIFY(app.dialogs().boxes().isEmpty());
        QCOMPARE(app.records().size(), std::size_t(0)); // nothing saved to the catalogue
    }

    // Browsing does not load the lists, and the list manager may have changed a file
    // since its field was loaded: the file keeps its values all the same.
    // The drop-downs are loaded at each new record and each criterion: a file changed on
    // disk is read anew, an unchanged one keeps its proposals; the typed text stays.
    void dropDownsFollowTheirFiles() {
        AppFixture app;
        writeBytes(app.dir() + "/Q7auteur.lst", "Zola\r\nHugo\r\n");
        app.start();
        app.trigger("menuNouvelle");
        auto* authors = app.ui().cbauteur;
        QCOMPARE(authors->values(), QStringList({"Hugo", "Zola"}));
        authors->setEditText("Sand");
        app.trigger("Auteur");
        QCOMPARE(authors->values(), QStringList({"Hugo", "Zola"}));
        QCOMPARE(authors->currentText(), QString("Sand"));
        QCOMPARE(authors->currentIndex(), -1);
        writeBytes(app.dir() + "/Q7auteur.lst", lit("Balzac\r\nÉluard\r\n"));
        app.trigger("Auteur");
        QCOMPARE(authors->values(), QStringList({"Balzac", "Éluard"}));
        QCOMPARE(authors->currentText(), QString("Sand"));
        // Inserted from the window, then changed on disk again: read anew.
        app.trigger("menuNouvelle");
        app.trigger("insauteur");
        writeBytes(app.dir() + "/Q7auteur.lst", "Balzac\r\nSagan\r\nZweig\r\n");
        app.trigger("Auteur");
        QCOMPARE(authors->values(), QStringList({"Balzac", "Sagan", "Zweig"}));
    }

    void fileKeepsValuesTheFieldNeverSaw() {
        AppFixture app({FicheBuilder().numero(1).set(Field::auteur, "Verne")});
        writeBytes(app.dir() + "/Q7auteur.lst", "Hugo\r\nZola\r\n");
        app.start();
        app.trigger("menuNouvelle"); // loads Hugo, Zola
        app.trigger("menuRetour");
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            choose(u, 1);
            insertValue(u, "Sand");
            u.btenregistrer->click();
        });
        app.trigger("menuliste"); // browse mode: no loading
        QCOMPARE(app.ui().cbauteur->values(), QStringList({"Hugo", "Zola"}));
        QCOMPARE(app.ui().cbauteur->currentText(), QString("Verne"));
        // Back from the modal window, the record window is the active one again.
        app.w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app.w()));
        QTest::keyClick(app.ui().cbauteur->lineEdit(), Qt::Key_A,
                        Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(readBytes(app.dir() + "/Q7auteur.lst"),
                 std::string("Hugo\r\nSand\r\nVerne\r\nZola\r\n"));
        QCOMPARE(app.ui().cbauteur->values(), QStringList({"Hugo", "Sand", "Verne", "Zola"}));
        QCOMPARE(app.ui().cbauteur->currentText(), QString("Verne"));
    }

    void userFieldFollowsTheRenamedCaption() {
        AppFixture app;
        app.start();
        QCOMPARE(app.ui().menuinsertutil->text(), QString("Mots clés"));
        app.fakes->settings.set("textutilisateur", lit("Pièce"));
        app.program->settings().run("lec");
        QCOMPARE(app.ui().menuinsertutil->text(), QString("Pièce"));
        QCOMPARE(app.ui().lblutilisateur->text(), QString("Pièce"));
        app.trigger("menuNouvelle");
        typeInto(app.ui().cbutilisateur, "Salon");
        app.trigger("menuinsertutil");
        typeInto(app.ui().cbutilisateur, "Bureau");
        clickLabel(app.ui().lblutilisateur);
        QCOMPARE(readBytes(app.dir() + "/Q7utilisat.lst"), std::string("Bureau\r\nSalon\r\n"));
        QCOMPARE(QDir(app.tmp.path()).entryList(QDir::Files),
                 QStringList({"Q7.dat", "Q7utilisat.lst"}));
    }

    void availabilityFollowsTheModes() {
        AppFixture app(
            {FicheBuilder().numero(1).set(Field::titre, "Nana").set(Field::auteur, "Zola")});
        app.start();
        auto& u = app.ui();
        // Main menu: neither the submenu nor the captions, nor the shortcut.
        QVERIFY(QTest::qWaitForWindowActive(&app.w()));
        QVERIFY(!u.menuInserer->menuAction()->isEnabled());
        QVERIFY(!u.lbltitre->isEnabled());
        u.cbtitre->setEditText("Nana");
        QTest::keyClick(&app.w(), Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
        clickLabel(u.lbltitre);
        QVERIFY(!QFile::exists(app.path("Q7titre.lst")));

        // Search by author, before a hit: the submenu works, the title's caption does not.
        app.trigger("Auteur");
        QVERIFY(u.menuInserer->menuAction()->isEnabled());
        QVERIFY(!u.lbltitre->isEnabled());
        u.cbtitre->setEditText("Nana");
        clickLabel(u.lbltitre);
        QVERIFY(!QFile::exists(app.path("Q7titre.lst")));
        app.trigger("institre");
        QCOMPARE(readBytes(app.dir() + "/Q7titre.lst"), std::string("Nana\r\n"));

        // After a hit the captions work as well.
        u.cbauteur->setEditText("Zola");
        QTest::mouseClick(u.btbchercher, Qt::LeftButton);
        QCOMPARE(u.edtcptfiche->text(), QString("1"));
        QVERIFY(u.lbltitre->isEnabled());
        clickLabel(u.lbltitre);
        QCOMPARE(readBytes(app.dir() + "/Q7titre.lst"), std::string("Nana\r\nNana\r\n"));

        // Browse and new-record modes offer both, and the shortcut.
        for (const char* mode : {"menuliste", "menuNouvelle"}) {
            app.trigger(mode);
            QVERIFY(u.menuInserer->menuAction()->isEnabled());
            u.cbtitre->setEditText(mode);
            QTest::keyClick(u.cbtitre->lineEdit(), Qt::Key_T,
                            Qt::ControlModifier | Qt::AltModifier);
            QVERIFY(readBytes(app.dir() + "/Q7titre.lst").find(mode) != std::string::npos);
            for (QLabel* l :
                 {static_cast<QLabel*>(u.lbltitre), static_cast<QLabel*>(u.lblauteur),
                  static_cast<QLabel*>(u.lblsujet), static_cast<QLabel*>(u.lbledition),
                  static_cast<QLabel*>(u.lblimprimeur), static_cast<QLabel*>(u.lblcollection),
                  static_cast<QLabel*>(u.lblorigine), static_cast<QLabel*>(u.lblutilisateur)}) {
                QVERIFY2(l->isEnabled(), qPrintable(l->objectName()));
                QCOMPARE(l->cursor().shape(), Qt::CrossCursor);
            }
        }
    }

    void submenuHasTheTwelveItemsWithTheirKeys() {
        AppFixture app;
        app.start();
        QStringList items;
        for (QAction* a : app.ui().menuInserer->actions())
            items << (a->isSeparator() ? QString("--")
                                       : a->text() + " " + a->shortcut().toString());
        QCOMPARE(items, QStringList({"Titres Ctrl+Alt+T", "Auteurs Ctrl+Alt+A", "Sujets Ctrl+Alt+S",
                                     "Collections Ctrl+Alt+C", "Editions Ctrl+Alt+E",
                                     "Imprimeurs Ctrl+Alt+I", "Origine Ctrl+Alt+O", "position 1 ",
                                     "position 2 ", "position 3 ", "position 4 ", "--",
                                     "Mots clés Ctrl+Alt+U"}));
    }

    // A write that fails leaves the list file whole, the drop-down as it was, and says so.
    void failedWriteKeepsTheList_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("nth");
        QTest::addColumn<bool>("diskFull");
        // The first opening reads the list; the second creates the new file beside it.
        QTest::newRow("reading") << int(FaultyFileSystem::Op::Read) << 1 << false;
        QTest::newRow("creating") << int(FaultyFileSystem::Op::Open) << 2 << false;
        QTest::newRow("writing") << int(FaultyFileSystem::Op::Write) << 1 << false;
        QTest::newRow("syncing") << int(FaultyFileSystem::Op::Sync) << 1 << false;
        QTest::newRow("renaming") << int(FaultyFileSystem::Op::Rename) << 1 << false;
        QTest::newRow("disk full") << 0 << 0 << true;
    }
    void failedWriteKeepsTheList() {
        QFETCH(int, op);
        QFETCH(int, nth);
        QFETCH(bool, diskFull);
        AppFixture app;
        writeBytes(app.dir() + "/Q7auteur.lst", "Hugo\r\nZola\r\n");
        app.start();
        app.trigger("menuNouvelle");
        typeInto(app.ui().cbauteur, "Sand");
        app.fs.onlyFor("Q7auteur.lst");
        if (diskFull)
            app.fs.diskFullAfter(4);
        else
            app.fs.failNth(FaultyFileSystem::Op(op), nth);
        app.trigger("insauteur");
        app.fs.reset();
        QCOMPARE(readBytes(app.dir() + "/Q7auteur.lst"), std::string("Hugo\r\nZola\r\n"));
        QVERIFY(!QFile::exists(app.path("Q7auteur.lst.tmp")));
        QCOMPARE(app.ui().cbauteur->values(), QStringList({"Hugo", "Zola"}));
        QCOMPARE(app.ui().cbauteur->currentText(), QString("Sand"));
        QCOMPARE(app.dialogs().boxes(),
                 QStringList{diskFull ? "error:Disque plein." : "error:Erreur E/S 5."});
    }
};

QTEST_MAIN(TestInsertList)
#include "tst_insertlist.moc"
