// lirabel3-import as the user runs it: the catalogue's bytes record by record, the
// backup, the report file, the lock, duplicates on a second run, the undo, the cap.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "import/Append.h"
#include "import/CommandLine.h"
#include "import/LastImport.h"
#include "ImportRun.h"
#include "ImportSamples.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "store/Errors.h"
#include "store/ListFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace q7;
using namespace q7::import;

namespace {

std::vector<Fiche> existingBooks() {
    return {FicheBuilder()
                .set(Field::titre, "Nadja")
                .set(Field::auteur, "André Breton")
                .set(Field::notes, "à garder")
                .numero(1)
                .date(1, 2, 2003),
            FicheBuilder().set(Field::titre, "Les Misérables").set(Field::auteur, "x").numero(3)};
}

// The records the sample spreadsheet in Windows-1252 must give, byte for byte.
std::vector<Fiche> expectedFromCp1252(int firstReference) {
    auto book = FicheBuilder()
                    .set(Field::titre, "L'Écume des jours")
                    .set(Field::auteur, "Boris Vian")
                    .set(Field::edition, "Pauvert")
                    .set(Field::anedition, "1963")
                    .set(Field::isbn, "2070360180")
                    .set(Field::prix, "6,5")
                    .set(Field::nbpage, "0")
                    .set(Field::notes, "Première édition")
                    .numero(firstReference)
                    .date(5, 3, 2024)
                    .build();
    auto zazie = FicheBuilder()
                     .set(Field::titre, "Zazie dans le métro")
                     .set(Field::auteur, "Raymond Queneau")
                     .set(Field::edition, "Gallimard")
                     .set(Field::anedition, "1959")
                     .set(Field::prix, "7")
                     .set(Field::nbpage, "0")
                     .numero(firstReference + 1)
                     .date(5, 3, 2024)
                     .build();
    return {book, zazie};
}

} // namespace

class TestImportCommand : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    std::string dir_;
    std::string csv_;

    std::string catalogue() const { return readBytes(dir_ + "/Q7.dat"); }

private Q_SLOTS:
    void init() {
        QVERIFY(tmp_.isValid());
        QDir(tmp_.path()).removeRecursively();
        QDir().mkpath(tmp_.path());
        dir_ = tmp_.path().toStdString();
        csv_ = dir_ + "/livres.csv";
        writeBytes(csv_, samples::spreadsheetCp1252());
        writeCatalogue(dir_, existingBooks());
    }

    void trialWritesNothing() {
        const std::string before = catalogue();
        const Run r = run({"--dossier", dir_, csv_});
        QCOMPARE(r.code, 0);
        QVERIFY(has(r.out, "essai"));
        QVERIFY(has(r.out, "Fiches importées : 2 (références 4 à 5)"));
        QVERIFY(has(r.out, "codage : Windows-1252"));
        QCOMPARE(catalogue(), before);
        QCOMPARE(QDir(tmp_.path()).entryList(QDir::Files).size(), 2); // Q7.dat and the CSV
    }

    void appendKeepsTheCatalogueAndAddsRecordsByteForByte() {
        const std::string before = catalogue();
        const Run r = run({"--ajouter", "--dossier", dir_, csv_});
        QCOMPARE(r.code, 0);
        const std::vector<Fiche> records = readCatalogue(dir_);
        QCOMPARE(records.size(), std::size_t(4));
        QCOMPARE(catalogue().substr(0, before.size()), before);
        // N + 1 = 3 is taken by the second record: 4 and 5.
        const std::vector<Fiche> expected = expectedFromCp1252(4);
        QCOMPARE(records[2].bytes, expected[0].bytes);
        QCOMPARE(records[3].bytes, expected[1].bytes);

        // The catalogue as it was is kept in Sauvegardes.
        const QStringList backups =
            QDir(tmp_.path() + QStringLiteral("/Sauvegardes")).entryList(QDir::Files);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(readBytes(dir_ + "/Sauvegardes/" + backups[0].toStdString()), before);

        // The report: Windows-1252 with CR LF, beside the catalogue.
        const std::string report = readBytes(dir_ + "/Q7import-20240305-101500.txt");
        QVERIFY(has(report, lit("Fiches importées : 2 (références 4 à 5)\r\n")));
        QVERIFY(has(report, lit("Fiches lues : 2\r\n")));
        QVERIFY(!has(report, "\n\n") && !has(report, "\xC3"));
        QVERIFY(has(r.out, "Fiches importées : 2"));
    }

    void refusedWhileTheProgramHoldsTheFolder() {
        const std::string before = catalogue();
        DataFile program(Folder(posixFileSystem(), dir_));
        program.open();
        const Run r = run({"--ajouter", "--dossier", dir_, csv_});
        QCOMPARE(r.code, 1);
        QVERIFY(has(r.err, "fermez le programme"));
        QCOMPARE(catalogue(), before);
        QVERIFY(!QDir(tmp_.path() + QStringLiteral("/Sauvegardes")).exists());
        QCOMPARE(run({"--annuler", "--dossier", dir_}).code, 1);
        // A trial reads only: it works beside the open program.
        QCOMPARE(run({"--dossier", dir_, csv_}).code, 0);
    }

    void secondImportSkipsDuplicates() {
        QCOMPARE(run({"--ajouter", "--dossier", dir_, csv_}).code, 0);
        const std::string once = catalogue();
        const Run again = run({"--ajouter", "--dossier", dir_, csv_}, march5() + 60);
        QCOMPARE(again.code, 0);
        QCOMPARE(catalogue(), once);
        QVERIFY(has(again.out, "Fiches importées : 0"));
        QVERIFY(has(again.out, "Fiches écartées : 2 (dont 2 doublons)"));
        QVERIFY(has(again.out,
                    "ligne 2 : « L'Écume des jours » est un doublon de « L'Écume des jours » "
                    "(fiche 3 du catalogue, référence 4) : même ISBN\n"));
    }

    void undoGivesBackTheCatalogueAndItsLists() {
        writeListFile(Folder(posixFileSystem(), dir_), "Q7auteur.lst", {lit("Zola")});
        const std::string before = catalogue();
        QCOMPARE(run({"--ajouter", "--listes", "--dossier", dir_, csv_}).code, 0);
        QCOMPARE(readListFile(Folder(posixFileSystem(), dir_), "Q7auteur.lst"),
                 (std::vector<std::string>{"Boris Vian", "Raymond Queneau", "Zola"}));
        const Run undo = run({"--annuler", "--dossier", dir_}, march5() + 60);
        QCOMPARE(undo.code, 0);
        QVERIFY(has(undo.out, "2 fiche(s) retirée(s)"));
        QCOMPARE(catalogue(), before);
        QCOMPARE(readListFile(Folder(posixFileSystem(), dir_), "Q7auteur.lst"),
                 std::vector<std::string>{"Zola"});
        // Nothing more to undo.
        const Run twice = run({"--annuler", "--dossier", dir_});
        QCOMPARE(twice.code, 1);
        QVERIFY(has(twice.err, "Aucune importation à annuler"));
    }

    // The lists come back exactly as they were: a list another program ordered keeps its
    // order, and a list the import made goes away.
    void undoGivesTheListsBackByteForByte_data() {
        QTest::addColumn<QByteArray>("authors");  // Q7auteur.lst before; empty = none
        QTest::addColumn<QStringList>("between"); // its values after the import
        QTest::newRow("none") << QByteArray() << QStringList{"Boris Vian", "Raymond Queneau"};
        QTest::newRow("in order") << QByteArray("Abel\r\nZola\r\n")
                                  << QStringList{"Abel", "Boris Vian", "Raymond Queneau", "Zola"};
        QTest::newRow("another order")
            << QByteArray("Zola\r\nAbel\r\n")
            << QStringList{"Boris Vian", "Raymond Queneau", "Zola", "Abel"};
        QTest::newRow("empty file")
            << QByteArray("") << QStringList{"Boris Vian", "Raymond Queneau"};
    }
    void undoGivesTheListsBackByteForByte() {
        QFETCH(QByteArray, authors);
        QFETCH(QStringList, between);
        const Folder folder(posixFileSystem(), dir_);
        if (!authors.isNull()) writeBytes(dir_ + "/Q7auteur.lst", authors.toStdString());
        const auto lists = [this] {
            std::map<QString, std::string> out;
            for (const QString& name :
                 QDir(QString::fromStdString(dir_)).entryList({"*.lst"}, QDir::Files))
                out[name] = readBytes(dir_ + "/" + name.toStdString());
            return out;
        };
        const auto before = lists();
        QCOMPARE(run({"--ajouter", "--listes", "--dossier", dir_, csv_}).code, 0);
        std::vector<std::string> expected;
        for (const QString& v : between)
            expected.push_back(utf8ToCp1252(v.toStdString()));
        QCOMPARE(readListFile(folder, "Q7auteur.lst"), expected);
        QVERIFY(lists() != before);
        QCOMPARE(run({"--annuler", "--dossier", dir_}, march5() + 60).code, 0);
        QVERIFY(lists() == before);
    }

    // An import that added nothing is the last one all the same: undoing it changes
    // nothing and never takes back the import before it.
    void undoNamesItsImportAndNeverReachesBack() {
        QCOMPARE(run({"--ajouter", "--dossier", dir_, csv_}).code, 0);
        const std::string once = catalogue();
        QCOMPARE(run({"--ajouter", "--dossier", dir_, csv_}, march5() + 60).code, 0);
        const Run undo = run({"--annuler", "--dossier", dir_}, march5() + 120);
        QCOMPARE(undo.code, 0);
        QVERIFY(has(undo.out, "L'importation du 05/03/2024 à ") &&
                has(undo.out, " de « livres.csv » (0 fiche(s) ajoutée(s)) n'avait rien ajouté"));
        QCOMPARE(catalogue(), once);
        const Run again = run({"--annuler", "--dossier", dir_});
        QCOMPARE(again.code, 1);
        QVERIFY(has(again.err, "Aucune importation à annuler"));
        QCOMPARE(catalogue(), once);
    }

    void undoSaysWhichImport() {
        QCOMPARE(run({"--ajouter", "--dossier", dir_, csv_}).code, 0);
        const Run undo = run({"--annuler", "--dossier", dir_}, march5() + 60);
        QCOMPARE(undo.code, 0);
        QVERIFY(has(undo.out, " de « livres.csv » (2 fiche(s) ajoutée(s)) est annulée : 2 fiche(s) "
                              "retirée(s)"));
    }

    void undoRefusedOnceTheCatalogueChanged_data() {
        QTest::addColumn<bool>("appendOne");
        QTest::newRow("a record added since") << true;
        QTest::newRow("a record changed since") << false;
    }
    void undoRefusedOnceTheCatalogueChanged() {
        QFETCH(bool, appendOne);
        QCOMPARE(run({"--ajouter", "--dossier", dir_, csv_}).code, 0);
        {
            DataFile program(Folder(posixFileSystem(), dir_));
            program.open();
            Fiche f;
            program.seek(appendOne ? program.count() : 0);
            f.setText(Field::titre, "saisi depuis");
            program.write(f);
        }
        const std::string changed = catalogue();
        const Run undo = run({"--annuler", "--dossier", dir_});
        QCOMPARE(undo.code, 1);
        QVERIFY(has(undo.err, "Le catalogue a changé depuis l'importation du 05/03/2024"));
        QCOMPARE(catalogue(), changed);
    }

    void failedAppendLeavesTheCatalogueAsItWas() {
        const std::string before = catalogue();
        FaultyFileSystem fs;
        fs.onlyFor("Q7.dat");
        fs.diskFullAfter(1000); // less than one record
        const SourceFile source = readSource(samples::spreadsheetCp1252(), Format::csv, {});
        AppendRequest request{&source, "livres.csv", false, march5(), {}};
        QVERIFY_THROWS_EXCEPTION(Error, appendImport(Folder(fs, dir_), request));
        QCOMPARE(catalogue(), before);
        QVERIFY(!QFile::exists(tmp_.path() + QStringLiteral("/") +
                               QString::fromStdString(lastImportFileName)));
        QCOMPARE(QDir(tmp_.path() + QStringLiteral("/Sauvegardes")).entryList(QDir::Files).size(),
                 0);
    }

    void capacityStopsBeforeFortyThousand() {
        std::vector<Fiche> full(maxRecords - 1);
        writeCatalogue(dir_, full);
        const Run r = run({"--ajouter", "--dossier", dir_, csv_});
        QCOMPARE(r.code, 0);
        QVERIFY(has(r.out, "Fiches importées : 1 (référence 40000)"));
        QVERIFY(has(r.out, "1 fiche ne tient pas : le catalogue est limité à 40000 fiches"));
        QCOMPARE(catalogue().size(), std::size_t(maxRecords) * ficheSize);
    }

    void tellicoArchiveAndGcstarThroughTheCommand_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("firstTitle");
        QTest::newRow("tc") << QByteArray::fromStdString(samples::zipped(samples::tellicoXml()))
                            << QStringLiteral("livres.tc")
                            << QStringLiteral("Les Trois Mousquetaires");
        QTest::newRow("gcs") << QByteArray::fromStdString(samples::gcstar())
                             << QStringLiteral("livres.gcs") << QStringLiteral("Le Petit Prince");
    }
    void tellicoArchiveAndGcstarThroughTheCommand() {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, firstTitle);
        const std::string path = dir_ + "/" + name.toStdString();
        writeBytes(path, file.toStdString());
        QCOMPARE(run({"--ajouter", "--dossier", dir_, path}).code, 0);
        const std::vector<Fiche> records = readCatalogue(dir_);
        QCOMPARE(records.size(), std::size_t(4));
        QCOMPARE(records[2].text(Field::titre), lit(firstTitle.toStdString()));
    }

    void wrongCommandLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QStringList{QStringLiteral("--ajouter")} << 2
                                 << QStringLiteral("Quel fichier importer");
        QTest::newRow("two actions")
            << QStringList{QStringLiteral("--essai"), QStringLiteral("--ajouter"),
                           QStringLiteral("a.csv")}
            << 2 << QStringLiteral("une seule action");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--vite"), QStringLiteral("a.csv")} << 2
            << QStringLiteral("Option inconnue");
        QTest::newRow("unknown format")
            << QStringList{QStringLiteral("--format"), QStringLiteral("xls"),
                           QStringLiteral("a.csv")}
            << 2 << QStringLiteral("Format inconnu");
        QTest::newRow("missing file") << QStringList{QStringLiteral("absent.csv")} << 1
                                      << QStringLiteral("« absent.csv » n'existe pas");
        QTest::newRow("missing folder")
            << QStringList{QStringLiteral("--dossier"), QStringLiteral("/nulle/part"),
                           QStringLiteral("a.csv")}
            << 1 << QStringLiteral("n'existe pas");
    }
    void wrongCommandLines() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        std::vector<std::string> a;
        for (const QString& s : args)
            a.push_back(s.toStdString());
        const Run r = run(a);
        QCOMPARE(r.code, code);
        QVERIFY2(has(r.err, message.toStdString()), r.err.c_str());
    }

    void theProgramItself() {
        QProcess p;
        p.start(QStringLiteral(LIRABEL3_IMPORT), {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        const QByteArray help = p.readAllStandardOutput();
        QVERIFY(help.contains("--annuler"));
        // Worded as lirabel3 --help words it.
        QVERIFY2(help.startsWith("Utilisation :"), help.left(40).constData());
        p.start(QStringLiteral(LIRABEL3_IMPORT),
                {QStringLiteral("--ajouter"), QStringLiteral("--dossier"), tmp_.path(),
                 QString::fromStdString(csv_)});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(readCatalogue(dir_).size(), std::size_t(4));
    }
};

QTEST_GUILESS_MAIN(TestImportCommand)
#include "tst_importcli.moc"
