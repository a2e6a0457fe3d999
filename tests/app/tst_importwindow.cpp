// "Importer..." in the program: the trial, the append, its undo, and files refused, with
// the catalogue kept locked by the program all along.
#include "app/ImportWindow.h"
#include "ImportWindowProbe.h"
#include "store/Errors.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

namespace {

const std::string twoBooks = "Titre;Auteur\r\nLa Peste;Camus Albert\r\nGerminal;Zola Émile\r\n";

// True when a second holder cannot take the catalogue's lock.
bool lockedByTheProgram(const AppFixture& app) {
    q7::DataFile other(app.state().folder);
    try {
        other.open();
    } catch (const q7::LockedError&) {
        return true;
    }
    return false;
}

// What a label showed each time it was painted.
class PaintedTexts : public QObject {
public:
    QStringList texts;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) texts << static_cast<QLabel*>(watched)->text();
        return false;
    }
};

} // namespace

class TestImportWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trialThenImportThenUndo() {
        AppFixture app({FicheBuilder().numero(1).set(q7::Field::titre, "Nana"),
                        FicheBuilder().numero(2).set(q7::Field::titre, "Candide")});
        writeBytes(app.dir() + "/livres.csv", twoBooks);
        app.start();
        app.fakes->dialogs.files.push_back(app.path("livres.csv"));
        bool ran = false;
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            ran = true;
            QCOMPARE(count(d), QString("Le catalogue compte 2 fiches."));
            QVERIFY(!enabled(d, "btimporter"));
            click(d, "btchoisir");
            // The trial says what would come, and changes nothing.
            QVERIFY2(pane(d).contains("essai"), qPrintable(pane(d)));
            QVERIFY2(pane(d).contains("Fiches importées : 2"), qPrintable(pane(d)));
            QCOMPARE(app.records().size(), std::size_t(2));
            QVERIFY(reports(app).isEmpty());
            QVERIFY(enabled(d, "btimporter"));

            click(d, "btimporter");
            const auto after = app.records();
            QCOMPARE(after.size(), std::size_t(4));
            QCOMPARE(after[2].text(q7::Field::titre), std::string("La Peste"));
            QCOMPARE(count(d), QString("Le catalogue compte 4 fiches."));
            QCOMPARE(reports(app).size(), 1);
            QVERIFY(pane(d).contains(reports(app).first()));
            QVERIFY(!enabled(d, "btimporter")); // the same file is not appended twice
            QVERIFY(lockedByTheProgram(app));

            click(d, "btannuler");
            QCOMPARE(app.records().size(), std::size_t(2));
            QCOMPARE(count(d), QString("Le catalogue compte 2 fiches."));
            QVERIFY2(pane(d).contains("annulée"), qPrintable(pane(d)));
            QVERIFY(lockedByTheProgram(app));
        });
        app.trigger("menuImporter");
        QVERIFY(ran);
        // The program goes on with the catalogue it holds: browsing sees both books.
        QCOMPARE(app.state().data.count(), 2);
        app.trigger("menuliste");
        QCOMPARE(app.ui().cbtitre->currentText(), QString("Nana"));
    }

    // Enter in the file field runs the trial; the import takes its own button, even when
    // Enter is pressed again.
    void enterRunsTheTrialOnly() {
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/livres.csv", twoBooks);
        app.start();
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            auto* file = d.findChild<QLineEdit*>("edtfichier");
            QCOMPARE(d.focusWidget(), file);
            typeText(file, app.path("livres.csv"));
            QTest::keyClick(file, Qt::Key_Return);
            QVERIFY2(pane(d).contains("Fiches importées : 2"), qPrintable(pane(d)));
            QTest::keyClick(file, Qt::Key_Return);
            QTest::keyClick(file, Qt::Key_Enter);
            QVERIFY(d.isVisible());
        });
        app.trigger("menuImporter");
        QCOMPARE(app.records().size(), std::size_t(1));
    }

    void filesRefused_data() {
        QTest::addColumn<QString>("name"); // in the working folder
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << "absent.csv" << QByteArray() << "n'existe pas";
        QTest::newRow("a folder") << "Sauvegardes" << QByteArray() << "est un dossier";
        // Refused at once, as on the command line: never waited on, never read.
        QTest::newRow("a pipe without writer") << "tube" << QByteArray() << "fichier ordinaire";
        QTest::newRow("an endless device") << "/dev/zero" << QByteArray() << "fichier ordinaire";
        QTest::newRow("not a catalogue")
            << "image.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
            << "ne peut pas être importé";
    }
    void filesRefused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        AppFixture app({FicheBuilder().numero(1)});
        QDir(app.tmp.path()).mkdir("Sauvegardes");
        if (!bytes.isEmpty()) writeBytes(app.path(name).toStdString(), bytes.toStdString());
        if (name == "tube")
            QCOMPARE(::mkfifo(QFile::encodeName(app.path(name)).constData(), 0600), 0);
        app.start();
        app.fakes->dialogs.files.push_back(name.startsWith('/') ? name : app.path(name));
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            click(d, "btchoisir");
            QVERIFY2(pane(d).contains(said), qPrintable(pane(d)));
            QVERIFY(pane(d).contains(name));
            QVERIFY(!enabled(d, "btimporter"));
            click(d, "btimporter"); // disabled: nothing happens
        });
        app.trigger("menuImporter");
        QCOMPARE(app.records().size(), std::size_t(1));
        QVERIFY(reports(app).isEmpty());
        QCOMPARE(app.dialogs().log.count("beep"), 1);
    }

    // Nothing to undo, or the catalogue changed since: said, and nothing is lost.
    void undoFromTheMenu() {
        AppFixture app({FicheBuilder().numero(1)});
        app.start();
        app.trigger("menuAnnulerImport");
        QVERIFY(app.dialogs().boxes().join("|").contains("Aucune importation à annuler"));

        writeBytes(app.dir() + "/livres.csv", twoBooks);
        app.fakes->dialogs.files.push_back(app.path("livres.csv"));
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            click(d, "btchoisir");
            click(d, "btimporter");
        });
        app.trigger("menuImporter");
        QCOMPARE(app.records().size(), std::size_t(3));
        // A record saved after the import: the undo is refused, the records stay.
        app.trigger("menuNouvelle");
        typeInto(app.ui().cbtitre, "Nouveau");
        app.trigger("menuEnregistrer");
        QCOMPARE(app.records().size(), std::size_t(4));
        app.dialogs().log.clear();
        app.trigger("menuAnnulerImport");
        // The question names the import, and Enter keeps the books.
        const QString question = app.dialogs().boxes().value(0);
        QVERIFY2(question.startsWith("confirm-non:Défaire l'importation du ") &&
                     question.endsWith(" de « livres.csv » (2 fiche(s) ajoutée(s)) ? Ses fiches "
                                       "sont retirées du catalogue."),
                 qPrintable(question));
        QVERIFY2(app.dialogs().boxes().join("|").contains("l'annulation est refusée"),
                 qPrintable(app.dialogs().boxes().join("|")));
        QCOMPARE(app.records().size(), std::size_t(4));
    }

    // A large file: the hourglass while the trial, the import and the undo run, and the
    // books counted on the line under the report.
    void aLargeFileShowsItsProgress() {
        AppFixture app({FicheBuilder().numero(1)});
        std::string csv = "Titre;Auteur\r\n";
        for (int i = 1; i <= 2500; ++i)
            csv += "Livre " + std::to_string(i) + ";Auteur " + std::to_string(i) + "\r\n";
        writeBytes(app.dir() + "/livres.csv", csv);
        app.start();
        app.fakes->dialogs.files.push_back(app.path("livres.csv"));
        FakeCursor& cursor = app.fakes->cursor;
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            d.show();
            PaintedTexts painted;
            d.findChild<QLabel*>("lblcompte")->installEventFilter(&painted);
            for (const char* button : {"btchoisir", "btimporter", "btannuler"}) {
                cursor.maxDepth = 0;
                painted.texts.clear();
                click(d, button);
                QCOMPARE(cursor.maxDepth, 1);
                QCOMPARE(cursor.depth, 0);
                if (button != std::string("btannuler"))
                    QVERIFY2(painted.texts.contains("Livres examinés : 2000 sur 2500..."),
                             qPrintable(painted.texts.join('|')));
            }
            QCOMPARE(count(d), QString("Le catalogue compte 1 fiche."));
            d.hide();
        });
        app.trigger("menuImporter");
        QCOMPARE(app.records().size(), std::size_t(1));
    }

    // Offered in the main menu only, where no record is being typed.
    void offeredInTheMainMenu() {
        AppFixture app({FicheBuilder().numero(1)});
        app.start();
        QVERIFY(app.ui().menuImporter->isEnabled());
        app.trigger("menuNouvelle");
        QVERIFY(!app.ui().menuImporter->isEnabled());
        QVERIFY(!app.ui().menuAnnulerImport->isEnabled());
        app.trigger("menuRetour");
        QVERIFY(app.ui().menuAnnulerImport->isEnabled());
    }
};

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
