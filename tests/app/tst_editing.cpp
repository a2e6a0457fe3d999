// Creating, saving, checking and deleting records, checked in the bytes on disk.
#include "app/Q7note.h"
#include "app/Q7resume.h"
#include "AppFixture.h"
#include "widgets/MemoEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTest>

#include <sys/stat.h>

using q7::Field;

namespace {
std::vector<q7::Fiche> numbered(int n) {
    std::vector<q7::Fiche> r;
    for (int i = 1; i <= n; ++i)
        r.push_back(FicheBuilder().numero(i).set(Field::titre, "T" + std::to_string(i)));
    return r;
}
QStringList references(const std::vector<q7::Fiche>& records) {
    QStringList out;
    for (const auto& r : records)
        out << QString::fromStdString(r.text(Field::numero));
    return out;
}
} // namespace

class TestEditing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newRecordIsSavedWithItsExactBytes() {
        AppFixture app;
        app.start();
        auto& u = app.ui();
        app.trigger("menuNouvelle");
        QCOMPARE(u.edtnumero->text(), QString("1"));
        QCOMPARE(u.cbtitre->currentText(), QString("Vide")); // no list files
        QCOMPARE(u.edtjour->text(), QString("7"));
        typeInto(u.cbtitre, QString(60, u'é'));
        typeInto(u.cbauteur, "Hugo");
        typeInto(u.cborigine, QString(42, u'o'));
        typeInto(u.cbutilisateur, "€uro→");
        for (QLineEdit* e :
             {static_cast<QLineEdit*>(u.edtprix), static_cast<QLineEdit*>(u.edtnbpage),
              static_cast<QLineEdit*>(u.edtjour), static_cast<QLineEdit*>(u.edtmois),
              static_cast<QLineEdit*>(u.edtannee), static_cast<QLineEdit*>(u.edtanedition)})
            e->clear();
        u.ckblut->setChecked(true);
        u.ckbutilisateur->setChecked(true);
        app.program->windows().note->memo().setPlainText("ligne 1\nligne 2");
        app.program->windows().resume->memo().setPlainText(QString(300, u'r'));
        app.trigger("menuEnregistrer");
        QCOMPARE(u.lblinfo->text(), QString("Menu principal"));
        QVERIFY(!app.state().newRecord);
        QCOMPARE(u.edtprix->text(), QString("0"));
        QCOMPARE(u.edtjour->text(), QString("0"));

        FicheBuilder b;
        b.set(Field::titre, QString(55, u'é').toStdString())
            .set(Field::auteur, "Hugo")
            .set(Field::sujet, "Vide")
            .set(Field::collection, "Vide")
            .set(Field::edition, "Vide")
            .set(Field::imprimeur, "Vide")
            .set(Field::type, "Vide")
            .set(Field::langue, "Vide")
            .set(Field::etat, "Vide")
            .set(Field::numero, "1")
            .set(Field::isbn, "0")
            .set(Field::origine, std::string(35, 'o'))
            .set(Field::txtutil, "€uro?")
            .set(Field::prix, "0")
            .set(Field::nbpage, "0")
            .set(Field::pos1, "Vide")
            .set(Field::pos2, "Vide")
            .set(Field::pos3, "Vide")
            .set(Field::pos4, "Vide")
            .flag(q7::Flag::lut)
            .flag(q7::Flag::cocheutil)
            .set(Field::notes, "ligne 1\r\nligne 2")
            .set(Field::resume, std::string(255, 'r'));
        const q7::Fiche expected = b.build();
        const auto saved = app.records();
        QCOMPARE(saved.size(), std::size_t(1));
        QCOMPARE(saved[0].bytes, expected.bytes);
        QCOMPARE(int(saved[0].bytes[228 + 1]), 0x80); // the euro sign
    }

    void proposalFollowsTheCount() {
        AppFixture app(numbered(10));
        app.start();
        app.trigger("menuNouvelle");
        QCOMPARE(app.ui().edtnumero->text(), QString("11"));
    }

    void unchangedSaveKeepsTailsAndPadding() {
        q7::Fiche r = FicheBuilder()
                          .numero(1)
                          .set(Field::titre, "Les Miserables")
                          .set(Field::prix, "9,5")
                          .set(Field::nbpage, "120")
                          .date(1, 2, 2003)
                          .build();
        r.setText(Field::titre, "Nana"); // leftovers after the length
        r.bytes[530] = 0xAB;             // padding
        r.bytes[531] = 0xCD;
        r.bytes[377 + 5] = 'z'; // inside numero's tail
        r.setText(Field::notes, "a\xA0"
                                "b\r\nc"); // a no-break space and a line end
        AppFixture app({FicheBuilder().numero(0), r, FicheBuilder().numero(2)});
        app.start();
        app.trigger("menuliste");
        QTest::mouseClick(app.ui().spbsuivant, Qt::LeftButton);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("2/3"));
        app.trigger("menuEnregistrer");
        QCOMPARE(app.dialogs().boxes(), QStringList{"confirm:Enregistrer les modifiications ?"});
        QCOMPARE(app.records()[1].bytes, r.bytes);
    }

    void declinedOrRefusedSavesWriteNothing_data() {
        QTest::addColumn<QString>("situation");
        QTest::newRow("no to the question") << "no";
        QTest::newRow("empty reference") << "empty";
        QTest::newRow("search before a hit") << "search";
    }
    void declinedOrRefusedSavesWriteNothing() {
        QFETCH(QString, situation);
        AppFixture app(numbered(2));
        app.start();
        const std::string before = readBytes(app.dir() + "/Q7.dat");
        auto& u = app.ui();
        if (situation == "search") {
            app.trigger("Titres");
        } else {
            app.trigger("menuliste");
            u.cbtitre->setEditText("Changé");
        }
        if (situation == "no") app.dialogs().answers = {false};
        if (situation == "empty") u.edtnumero->clear();
        app.trigger("menuEnregistrer");
        QCOMPARE(readBytes(app.dir() + "/Q7.dat"), before);
        const QStringList boxes = app.dialogs().boxes();
        QCOMPARE(boxes.size(), 1);
        if (situation == "no") QCOMPARE(u.lblinfo->text(), QString("Menu principal"));
        if (situation == "empty")
            QCOMPARE(boxes[0], QString("message:Le champs réference est vide !"));
        if (situation == "search") QVERIFY(boxes[0].startsWith("message:Aucune fiche"));
    }

    // Browsing from a new record abandons it: saving then changes the book shown.
    void browsingFromANewRecordSavesTheBookShown() {
        AppFixture app(numbered(2));
        app.fakes->settings.set("confirmemod", "0");
        app.start();
        app.trigger("menuNouvelle");
        app.trigger("menuliste");
        app.ui().cbtitre->setEditText("Changé");
        app.trigger("menuEnregistrer");
        QCOMPARE(app.records().size(), std::size_t(2));
        QCOMPARE(app.records()[0].text(Field::titre), std::string("Chang\xE9"));
        QCOMPARE(app.records()[1].bytes, numbered(2)[1].bytes);
    }

    void pastedDateIsAConversionError() {
        AppFixture app(numbered(1));
        app.fakes->settings.set("confirmemod", "0");
        app.start();
        app.trigger("menuliste");
        app.ui().edtmois->setText("1a");
        app.trigger("menuEnregistrer");
        QCOMPARE(app.dialogs().boxes(),
                 QStringList{"error:'1a' n'est pas une valeur entière correcte."});
        QCOMPARE(app.records()[0].bytes, numbered(1)[0].bytes);
    }

    void deletingTheThirdOfFive() {
        AppFixture app(numbered(5));
        app.start();
        app.trigger("menuliste");
        QTest::mouseClick(app.ui().spbsuivant, Qt::LeftButton);
        QTest::mouseClick(app.ui().spbsuivant, Qt::LeftButton);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("3/5"));
        app.trigger("menuEffacer");
        QCOMPARE(references(app.records()), QStringList({"1", "2", "4", "5"}));
        QCOMPARE(readBytes(app.dir() + "/Q7ancnum.lst"), std::string("3\r\n"));
        QCOMPARE(app.dialogs().boxes(),
                 QStringList({"confirm:Effacer cette fiche O/N ?", "message:Fiche éffacée"}));
        QCOMPARE(app.state().data.position(), 0);
        QVERIFY(!QFile::exists(app.path("Q7.tmp")));
    }

    // The catalogue a delete replaces is kept; when it cannot be, the delete still
    // happens and says so once, after its own message.
    void deletingKeepsABackup_data() {
        QTest::addColumn<bool>("blocked"); // a file stands where the backup folder goes
        QTest::newRow("kept") << false;
        QTest::newRow("cannot be kept") << true;
    }
    void deletingKeepsABackup() {
        QFETCH(bool, blocked);
        AppFixture app(numbered(2));
        const std::string before = readBytes(app.dir() + "/Q7.dat");
        if (blocked) writeBytes(app.dir() + "/Sauvegardes", "x");
        app.start();
        app.trigger("menuliste");
        app.trigger("menuEffacer");
        QCOMPARE(references(app.records()), QStringList({"2"}));
        const QStringList boxes = app.dialogs().boxes();
        QCOMPARE(boxes.size(), blocked ? 3 : 2);
        QCOMPARE(boxes.at(1), QString("message:Fiche éffacée"));
        const QStringList kept = QDir(app.path("Sauvegardes")).entryList(QDir::Files);
        if (blocked) {
            QVERIFY(
                boxes.at(2).startsWith("message:La commande a été faite, mais sans sauvegarde"));
        } else {
            QCOMPARE(kept.size(), 1);
            QCOMPARE(readBytes(app.dir() + "/Sauvegardes/" + kept.first().toStdString()), before);
        }
        // Told once: the next command says nothing of it.
        app.dialogs().clear();
        app.trigger("menuliste");
        QCOMPARE(app.dialogs().boxes(), QStringList());
    }

    void deletingRemovesTheShownRecordNotItsTwin() {
        auto records = numbered(3);
        records[2].setText(Field::numero, "1"); // same reference as the first
        AppFixture app(records);
        app.fakes->settings.set("confirmesup", "0");
        app.start();
        app.trigger("menuliste");
        app.trigger("spdbrecliste");
        QTest::mouseClick(app.ui().spbfin, Qt::LeftButton);
        app.trigger("menuEffacer");
        const auto left = app.records();
        QCOMPARE(left.size(), std::size_t(2));
        QCOMPARE(left[0].text(Field::titre), std::string("T1"));
        QCOMPARE(left[1].text(Field::titre), std::string("T2"));
    }

    void deletingTheOnlyRecordLeavesNoFileAtTheEnd() {
        AppFixture app(numbered(1));
        app.start();
        app.trigger("menuliste");
        app.trigger("menuEffacer");
        QCOMPARE(QFileInfo(app.path("Q7.dat")).size(), 0);
        app.w().close();
        QVERIFY(!QFile::exists(app.path("Q7.dat")));
    }

    void failedDeleteLeavesTheCatalogueWhole_data() {
        QTest::addColumn<int>("op");
        QTest::newRow("write of Q7.tmp") << int(FaultyFileSystem::Op::Write);
        QTest::newRow("rename") << int(FaultyFileSystem::Op::Rename);
        QTest::newRow("sync") << int(FaultyFileSystem::Op::Sync);
    }
    void failedDeleteLeavesTheCatalogueWhole() {
        QFETCH(int, op);
        AppFixture app(numbered(5));
        app.start();
        const std::string before = readBytes(app.dir() + "/Q7.dat");
        app.trigger("menuliste");
        app.fs.onlyFor("Q7.");
        app.fs.failNth(FaultyFileSystem::Op(op), 1);
        app.trigger("menuEffacer");
        QCOMPARE(readBytes(app.dir() + "/Q7.dat"), before);
        QVERIFY(!QFile::exists(app.path("Q7.tmp")));
        QVERIFY(!QFile::exists(app.path("Q7ancnum.lst")));
        QVERIFY(app.dialogs().boxes().last().startsWith("error:Erreur E/S 5."));
    }

    void capacity_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("39999") << 39999 << true;
        QTest::newRow("40000") << 40000 << false;
    }
    void capacity() {
        QFETCH(int, count);
        QFETCH(bool, accepted);
        {
            std::string bytes(std::size_t(count) * q7::ficheSize, '\0');
            AppFixture app;
            writeBytes(app.dir() + "/Q7.dat", bytes);
            app.start();
            app.trigger("menuNouvelle");
            QCOMPARE(app.state().newRecord, accepted);
            if (accepted) {
                app.trigger("menuEnregistrer");
                QCOMPARE(app.state().data.count(), 40000);
            } else {
                QCOMPARE(app.dialogs().boxes(),
                         QStringList{"message:Capacité maximum de 40000 fiches ateinte ! si vous "
                                     "voulez depasser cette capcité contacter l'auteur"});
                QCOMPARE(app.ui().lblinfo->text(), QString("Menu principal"));
            }
        }
    }

    void referenceCheck() {
        auto records = numbered(3);
        records[2].setText(Field::numero, "2");
        AppFixture app(records);
        app.start();
        app.trigger("menuliste");
        QTest::mouseClick(app.ui().spbsuivant, Qt::LeftButton); // 2/3, reference "2"
        app.trigger("menuControl");
        // Two equal records, but the field is emptied at the first.
        QCOMPARE(app.dialogs().boxes(), QStringList{"message:Cette réference éxiste deja !"});
        QCOMPARE(app.ui().edtnumero->text(), QString());
        QCOMPARE(app.state().data.position(), 2);
        // During the very first entry nothing is reported, and P is ready for the append.
        AppFixture empty;
        empty.start();
        empty.trigger("menuNouvelle");
        empty.trigger("menuControl");
        QVERIFY(empty.dialogs().boxes().isEmpty());
    }

    void quitAsksDuringAnEntry() {
        AppFixture app;
        app.start();
        app.trigger("menuNouvelle");
        app.dialogs().answers = {false};
        app.trigger("menuQuitter");
        QVERIFY(app.w().isVisible());
        QCOMPARE(app.dialogs().boxes(), QStringList{"confirm:Une fiche est en cours ! Quitter ?"});
        app.dialogs().clear();
        app.w().close(); // the close box does not ask
        QVERIFY(app.dialogs().boxes().isEmpty());
        QVERIFY(!app.w().isVisible());
    }

    void notesWindowLoadingRules() {
        AppFixture app({FicheBuilder().numero(1).set(Field::notes, "un\r\ndeux")});
        app.start();
        auto& notes = *app.program->windows().note;
        app.trigger("menuliste");
        app.fakes->modal.script("Tformnote", [&](QDialog&) {
            QCOMPARE(notes.memo().toPlainText(), QString("un\ndeux"));
            notes.memo().setPlainText("changé");
        });
        app.trigger("menuNotes");
        app.trigger("menuNotes"); // outside an entry: reloaded from the record
        QCOMPARE(notes.memo().toPlainText(), QString("un\ndeux"));
        // During an entry the memo starts empty and keeps what is typed.
        app.trigger("menuNouvelle");
        QCOMPARE(notes.memo().toPlainText(), QString());
        notes.memo().setPlainText("gardé");
        app.trigger("menuNotes");
        QCOMPARE(notes.memo().toPlainText(), QString("gardé"));
        QCOMPARE(app.program->windows().resume->memo().toPlainText(), QString());
        app.trigger("menuEnregistrer");
        QCOMPARE(app.records()[1].text(Field::notes), q7::utf8ToCp1252("gardé"));
    }

    void memoLimitCountsLineEndsTwice() {
        MemoEdit memo;
        memo.show();
        QTest::keyClicks(&memo, QString(300, u'a'));
        QCOMPARE(memo.toPlainText().size(), 255);
        memo.clear();
        QTest::keyClicks(&memo, QString(250, u'a'));
        QTest::keyClick(&memo, Qt::Key_Return);
        QTest::keyClick(&memo, Qt::Key_Return);
        QTest::keyClicks(&memo, "bcd");
        QCOMPARE(MemoEdit::storedLength(memo.toPlainText()), 255);
        QCOMPARE(memo.toPlainText(), QString(250, u'a') + "\n\nb");
        // Pasting is cut the same way.
        memo.clear();
        QApplication::clipboard()->setText(QString(100, u'x') + "\n" + QString(200, u'y'));
        memo.paste();
        QCOMPARE(MemoEdit::storedLength(memo.toPlainText()), 255);
        QCOMPARE(memo.storedText(), std::string(100, 'x') + "\r\n" + std::string(153, 'y'));
    }

    void unusableCatalogueIsReported_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("box");
        QTest::newRow("read-only Q7.dat") << "readonly"
                                          << "error:Accès refusé.";
        QTest::newRow("locked by a running copy")
            << "locked"
            << "error:Le catalogue Q7.dat de ce dossier est déjà ouvert par un autre Lirabel 3.";
        QTest::newRow("partial record")
            << "partial"
            << "message:Le fichier Q7.dat se termine par 100 octets qui ne forment pas une fiche "
               "entière : ils sont ignorés et resteront tels quels.";
    }
    void unusableCatalogueIsReported() {
        QFETCH(QString, situation);
        QFETCH(QString, box);
        if (situation == "readonly" && ::geteuid() == 0) QSKIP("root ignores file permissions");
        AppFixture app(numbered(2));
        std::unique_ptr<q7::DataFile> other;
        if (situation == "readonly") ::chmod(app.path("Q7.dat").toLocal8Bit(), 0444);
        if (situation == "locked") {
            other = std::make_unique<q7::DataFile>(q7::Folder(q7::posixFileSystem(), app.dir()));
            other->open();
        }
        if (situation == "partial")
            writeBytes(app.dir() + "/Q7.dat", std::string(2 * 1048 + 100, '\0'));
        app.start();
        QCOMPARE(app.dialogs().boxes(), QStringList{box});
        QCOMPARE(app.w().catalogueOpen(), situation == "partial");
    }

    // A journal that is not this catalogue's is set aside and said once, at the start.
    void strayJournalIsSaidOnce() {
        AppFixture app(numbered(2));
        QVERIFY(QDir(app.tmp.path()).mkdir("Q7.jnl"));
        app.start();
        const QStringList boxes = app.dialogs().boxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].startsWith("message:Un journal d'écriture qui est un dossier a été "
                                    "trouvé et mis de côté : Q7-journal-"));
        QVERIFY(boxes[0].endsWith(".jnl. Rien n'a été modifié."));
        QVERIFY(app.w().catalogueOpen());
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
