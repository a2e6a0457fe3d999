// Readers of other programs' files and the mapping onto the record, checked on the bytes
// the record would hold.
#include "FicheBuilder.h"
#include "import/BookMapper.h"
#include "import/Catalogue.h"
#include "import/CsvReader.h"
#include "import/Importer.h"
#include "import/Values.h"
#include "ImportSamples.h"
#include "output/ExportFormat.h"
#include "record/ExportColumns.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;
using namespace q7::import;

namespace {
const Date today{5, 3, 2024};

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}
// A field as stored, for comparing with a UTF-8 literal.
QByteArray field(const Fiche& f, Field which) {
    return bytes(f.text(which));
}
QByteArray cp(const char* utf8) {
    return bytes(lit(utf8));
}

Plan planOf(const std::string& file, Existing existing = {}) {
    return planImport(readSource(file, Format::automatic, {}), existing, today);
}

int findings(const Report& r, Finding::Kind kind) {
    int n = 0;
    for (const auto& f : r.findings)
        n += f.second.kind == kind;
    return n;
}
} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void spreadsheetWithBom() {
        const Plan plan = planOf(samples::spreadsheetUtf8Bom());
        const Report& r = plan.report;
        QCOMPARE(QString::fromStdString(r.encoding), QStringLiteral("UTF-8 avec BOM"));
        QCOMPARE(QString::fromStdString(r.format), QStringLiteral("CSV (séparateur « , »)"));
        QCOMPARE(r.read, 3);
        QCOMPARE(plan.records.size(), std::size_t(3));

        const Fiche& a = plan.records[0];
        QCOMPARE(field(a, Field::titre), cp("Les Misérables"));
        QCOMPARE(field(a, Field::auteur), cp("Hugo, Victor"));
        QCOMPARE(field(a, Field::edition), cp("Gallimard"));
        QCOMPARE(field(a, Field::collection), cp("Folio classique, 3"));
        QCOMPARE(field(a, Field::anedition), cp("1995"));
        QCOMPARE(field(a, Field::nbpage), cp("1664"));
        QCOMPARE(field(a, Field::prix), cp("9,5"));
        QCOMPARE(field(a, Field::isbn), cp("9782070408504"));
        QCOMPARE(field(a, Field::pos1), cp("Salon"));
        QCOMPARE(field(a, Field::pos2), cp("Étagère 3"));
        QCOMPARE(field(a, Field::pos3), cp("Rang 2"));
        QCOMPARE(field(a, Field::resume), cp("Jean Valjean, forçat,\r\nse rachète."));
        QCOMPARE(field(a, Field::numero), cp("1"));
        QVERIFY(a.flagIsOne(Flag::lut));
        QVERIFY(!a.flagIsOne(Flag::plusauteur));
        QCOMPARE(int(a.jour()), 5);
        QCOMPARE(int(a.mois()), 3);
        QCOMPARE(a.annee(), 2024);

        const Fiche& b = plan.records[1];
        QCOMPARE(field(b, Field::titre), cp("Le \"Grand\" Meaulnes"));
        QCOMPARE(field(b, Field::prix), cp("16"));
        QCOMPARE(field(b, Field::anedition), cp("1971"));
        QVERIFY(!b.flagIsOne(Flag::lut));

        // Line 6 (a quoted line break and a blank line before it): two authors, a character outside
        // the code page, and an ISBN the spreadsheet ruined.
        const Fiche& c = plan.records[2];
        QCOMPARE(field(c, Field::titre), cp("Œuvres ? complètes"));
        QCOMPARE(field(c, Field::auteur), cp("Victor Hugo"));
        QVERIFY(c.flagIsOne(Flag::plusauteur));
        QCOMPARE(field(c, Field::notes), cp("Autres auteurs : Alexandre Dumas"));
        QCOMPARE(field(c, Field::isbn), QByteArray());
        QCOMPARE(field(c, Field::prix), cp("0"));
        QCOMPARE(field(c, Field::nbpage), cp("0"));
        QCOMPARE(findings(r, Finding::Kind::replaced), 1);
        QCOMPARE(findings(r, Finding::Kind::isbnDoubtful), 1);
        QCOMPARE(findings(r, Finding::Kind::priceRounded), 1);
        bool namedLine = false;
        for (const auto& [where, f] : r.findings)
            namedLine = namedLine || (where == "ligne 6" && f.kind == Finding::Kind::isbnDoubtful);
        QVERIFY(namedLine);
    }

    void spreadsheetInWindows1252() {
        const Plan plan = planOf(samples::spreadsheetCp1252());
        QCOMPARE(QString::fromStdString(plan.report.encoding), QStringLiteral("Windows-1252"));
        QCOMPARE(QString::fromStdString(plan.report.format),
                 QStringLiteral("CSV (séparateur « ; »)"));
        QCOMPARE(plan.records.size(), std::size_t(2));
        QCOMPARE(field(plan.records[0], Field::titre), cp("L'Écume des jours"));
        QCOMPARE(field(plan.records[0], Field::notes), cp("Première édition"));
        QCOMPARE(field(plan.records[0], Field::prix), cp("6,5"));
        QCOMPARE(field(plan.records[1], Field::prix), cp("7"));
        QCOMPARE(field(plan.records[1], Field::edition), cp("Gallimard"));
    }

    void quotingAndSeparators_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("tab") << QByteArray("titre\tauteur\nA, B\tX\nC\tY\n")
                             << QStringList{QStringLiteral("A, B"), QStringLiteral("C")};
        QTest::newRow("separator inside quotes")
            << QByteArray("title;author\n\"A; B\";X\n") << QStringList{QStringLiteral("A; B")};
        QTest::newRow("line break inside quotes")
            << QByteArray("title,notes\n\"A\",\"one\ntwo\"\nB,\n")
            << QStringList{QStringLiteral("A"), QStringLiteral("B")};
        QTest::newRow("quote inside a bare cell")
            << QByteArray("title\nL'\"ami\"\n") << QStringList{QStringLiteral("L'\"ami\"")};
        QTest::newRow("no line end at the end")
            << QByteArray("title\nA") << QStringList{QStringLiteral("A")};
        QTest::newRow("cr only") << QByteArray("title\rA\rB")
                                 << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    }
    void quotingAndSeparators() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, titles);
        const Plan plan = planOf(file.toStdString());
        QStringList got;
        for (const Fiche& f : plan.records)
            got << QString::fromStdString(cp1252ToUtf8(f.text(Field::titre)));
        QCOMPARE(got, titles);
    }

    void unclosedQuoteIsReportedNotSwallowed() {
        const Plan plan = planOf("title,author\nA,X\n\"B,Y\nC,Z\n");
        QCOMPARE(plan.records.size(), std::size_t(1));
        QCOMPARE(plan.report.skipped.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(plan.report.skipped[0].where), QStringLiteral("ligne 3"));
    }

    void unknownHeaderAsksForColumns() {
        QVERIFY_THROWS_EXCEPTION(Error, planOf("foo,bar\n1,2\n"));
        Existing none;
        Columns byPosition = parseColumns("titre,-,isbn");
        const Plan p =
            planImport(readSource("A,zz,2070360180\n", Format::csv, byPosition), none, today);
        QCOMPARE(p.records.size(), std::size_t(1));
        QCOMPARE(field(p.records[0], Field::isbn), cp("2070360180"));
        Columns byHeader = parseColumns("Nom du livre=titre");
        const Plan h = planImport(readSource("Nom du livre,Auteur\nB,Y\n", Format::csv, byHeader),
                                  none, today);
        QCOMPARE(field(h.records[0], Field::titre), cp("B"));
        QCOMPARE(field(h.records[0], Field::auteur), cp("Y"));
        QVERIFY_THROWS_EXCEPTION(Error, parseColumns("titre,couleur"));
    }

    void ownExportRoundTrips() {
        const auto record = [](const char* title, const char* isbn) {
            return FicheBuilder()
                .set(Field::titre, title)
                .set(Field::auteur, "Zola")
                .set(Field::collection, "Les Rougon-Macquart, 7")
                .set(Field::txtutil, "mine")
                .set(Field::prix, "12,5")
                .set(Field::nbpage, "480")
                .set(Field::anedition, "1877")
                .set(Field::isbn, isbn)
                .set(Field::pos4, "bas")
                .flag(Flag::jacquette)
                .flag(Flag::hs)
                .date(0, 0, 0)
                .build();
        };
        const Fiche original = record("Été; suite", "2070360180");
        const Fiche second = record("L'Assommoir", "");
        std::string file;
        appendCsvLine(file, original);
        appendCsvLine(file, second);
        const Plan plan = planOf(file);
        QCOMPARE(QString::fromStdString(plan.report.format),
                 QStringLiteral("export CSV de Lirabel 3"));
        // The ";" in the first title shifts its values: said, not guessed.
        QCOMPARE(plan.report.skipped.size(), std::size_t(1));
        QCOMPARE(plan.records.size(), std::size_t(1));
        // Byte for byte what was exported, with the reference the import gave.
        const Fiche& back = plan.records[0];
        Fiche expected = second;
        expected.setText(Field::numero, "1");
        for (int i = 0; i < fieldCount; ++i)
            QCOMPARE(field(back, Field(i)), field(expected, Field(i)));
        QCOMPARE(back.bytes, expected.bytes);
    }

    // Each value of the program's own CSV comes back to its own field or flag: the
    // import reads the columns by the export's own table.
    void ownExportColumnsComeBack_data() {
        QTest::addColumn<int>("column");
        for (std::size_t i = 0; i < exportColumns.size(); ++i)
            if (exportColumns[i].holds != ExportColumn::Holds::Text ||
                exportColumns[i].field != Field::numero) // the import gives its own
                QTest::newRow(exportColumns[i].name) << int(i);
    }
    void ownExportColumnsComeBack() {
        QFETCH(int, column);
        const ExportColumn& c = exportColumns[std::size_t(column)];
        // As the record window saves a book: a title, "0" for no price and no pages.
        FicheBuilder b;
        b.set(Field::titre, "Base").set(Field::prix, "0").set(Field::nbpage, "0").numero(1);
        switch (c.holds) {
        case ExportColumn::Holds::Text:
            b.set(c.field, c.field == Field::prix        ? "7,5"
                           : c.field == Field::nbpage    ? "312"
                           : c.field == Field::anedition ? "1999"
                           : c.field == Field::isbn      ? "2070360180"
                                                         : "Valeur à elle");
            break;
        case ExportColumn::Holds::Date: b.date(5, 6, 2007); break;
        case ExportColumn::Holds::Flag: b.flag(c.flag); break;
        }
        std::string file;
        appendCsvLine(file, b);
        const Plan plan = planOf(file);
        QCOMPARE(plan.records.size(), std::size_t(1));
        QCOMPARE(plan.records[0].bytes, b.build().bytes);
    }

    void tellicoBareAndZipped_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("bare xml") << bytes(samples::tellicoXml());
        QTest::newRow("tc archive") << bytes(samples::zipped(samples::tellicoXml()));
    }
    void tellicoBareAndZipped() {
        QFETCH(QByteArray, file);
        const Plan plan = planOf(file.toStdString());
        QCOMPARE(plan.records.size(), std::size_t(2));
        const Fiche& f = plan.records[0];
        QCOMPARE(field(f, Field::titre), cp("Les Trois Mousquetaires"));
        QCOMPARE(field(f, Field::auteur), cp("Alexandre Dumas"));
        QVERIFY(f.flagIsOne(Flag::plusauteur));
        QCOMPARE(field(f, Field::notes), cp("Autres auteurs : Auguste Maquet\r\nTrès bon état"));
        QCOMPARE(field(f, Field::edition), cp("Éditions Gallimard"));
        QCOMPARE(field(f, Field::anedition), cp("1844"));
        QCOMPARE(field(f, Field::isbn), cp("207036822X"));
        QCOMPARE(field(f, Field::langue), cp("Français"));
        QCOMPARE(field(f, Field::sujet), cp("Roman, Aventure"));
        QCOMPARE(field(f, Field::txtutil), cp("cape, épée"));
        QCOMPARE(field(f, Field::collection), cp("D'Artagnan, 1"));
        QCOMPARE(field(f, Field::type), cp("Broché"));
        QCOMPARE(field(f, Field::pos1), cp("Bureau"));
        QCOMPARE(field(f, Field::pos2), cp("Étagère haute"));
        QCOMPARE(field(f, Field::resume), cp("Un jeune Gascon\r\nmonte à Paris."));
        QVERIFY(f.flagIsOne(Flag::lut));
        QCOMPARE(int(f.jour()), 9);
        QCOMPARE(int(f.mois()), 4);
        QCOMPARE(f.annee(), 2021);
        QCOMPARE(field(plan.records[1], Field::auteur), cp("Jules Verne"));
        QCOMPARE(int(plan.records[1].jour()), 5); // no date: today
        bool customNamed = false;
        for (const std::string& m : plan.report.mapping)
            customNamed = customNamed || m == "champ « rayon » (Emplacement) → pos1 à pos4";
        QVERIFY(customNamed);
    }

    void brokenFilesSayWhy_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("format");
        QTest::newRow("truncated tellico")
            << bytes(samples::tellicoXml().substr(0, 900)) << int(Format::tellico);
        QTest::newRow("tellico of videos")
            << QByteArray("<tellico><collection type=\"3\"></collection></tellico>")
            << int(Format::tellico);
        QTest::newRow("zip without tellico.xml")
            << bytes(samples::zipped(samples::tellicoXml(), "other.xml")) << int(Format::automatic);
        QTest::newRow("gcstar of films")
            << QByteArray("<collection type=\"GCfilms\"><item title=\"x\"/></collection>")
            << int(Format::gcstar);
        QTest::newRow("not xml at all") << QByteArray("titre,auteur\nA,B\n") << int(Format::gcstar);
    }
    void brokenFilesSayWhy() {
        QFETCH(QByteArray, file);
        QFETCH(int, format);
        QVERIFY_THROWS_EXCEPTION(Error, readSource(file.toStdString(), Format(format), {}));
    }

    void gcstarItems() {
        const Plan plan = planOf(samples::gcstar());
        QCOMPARE(QString::fromStdString(plan.report.format), QStringLiteral("GCstar"));
        QCOMPARE(plan.records.size(), std::size_t(2));
        const Fiche& f = plan.records[0];
        QCOMPARE(field(f, Field::titre), cp("Le Petit Prince"));
        QCOMPARE(field(f, Field::auteur), cp("Antoine de Saint-Exupéry"));
        QVERIFY(!f.flagIsOne(Flag::plusauteur));
        QCOMPARE(field(f, Field::anedition), cp("1943"));
        QCOMPARE(field(f, Field::sujet), cp("Conte, Philosophie"));
        QCOMPARE(field(f, Field::txtutil), cp("conte, enfance"));
        QCOMPARE(field(f, Field::type), cp("Poche"));
        QCOMPARE(field(f, Field::pos2), cp("Table de nuit"));
        QCOMPARE(field(f, Field::resume), cp("Un aviateur rencontre un petit prince."));
        QCOMPARE(field(f, Field::notes), cp("Offert par Zoé"));
        QCOMPARE(field(f, Field::nbpage), cp("96"));
        QVERIFY(f.flagIsOne(Flag::lut));
        QCOMPARE(int(f.jour()), 12);
        QCOMPARE(int(f.mois()), 5);
        QCOMPARE(f.annee(), 2020);
        QVERIFY(!plan.records[1].flagIsOne(Flag::lut));
    }

    void duplicatesAndReferences() {
        Existing existing;
        existing.add(
            FicheBuilder().set(Field::titre, "Nadja").set(Field::auteur, "Breton").numero(1));
        existing.add(
            FicheBuilder().set(Field::titre, "Autre").set(Field::isbn, "2070360180").numero(3));
        existing.add(FicheBuilder().set(Field::titre, "x").numero(4));
        const std::string file = "titre,auteur,isbn\n"
                                 "NADJA,breton,\n"                // same title and author
                                 "Écume,Vian,978-2-07-036018-5\n" // same book by its ISBN-13
                                 "Neuf,A,\n"
                                 "Neuf,A,\n" // twice in the file
                                 "Autre livre,B,\n";
        const Plan plan = planOf(file, existing);
        QCOMPARE(plan.report.duplicates, 3);
        QCOMPARE(plan.records.size(), std::size_t(2));
        // N + 1 = 4 is taken: 5, then 6.
        QCOMPARE(field(plan.records[0], Field::numero), cp("5"));
        QCOMPARE(field(plan.records[1], Field::numero), cp("6"));
        QCOMPARE(QString::fromStdString(plan.report.skipped[2].where), QStringLiteral("ligne 5"));
        QVERIFY(plan.report.skipped[2].why.find("ligne 4") != std::string::npos);
    }

    // The references the record window offers again are never given to an imported book,
    // nor those a cover is named after (an imported book would take a cover not its own).
    void freedReferencesAreNotGiven() {
        QTemporaryDir dir;
        const auto put = [&dir](const QString& name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        put(QStringLiteral("Q7ancnum.lst"), "2\r\n3\r\n");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Couvertures")));
        put(QStringLiteral("Couvertures/5.jpg"), "jpeg");
        put(QStringLiteral("Couvertures/7.JPG"), "jpeg"); // as a camera names it
        put(QStringLiteral("Couvertures/Sans titre.png"), "png");
        Existing existing;
        existing.add(FicheBuilder().set(Field::titre, "x").numero(1));
        reserveFreedReferences(Folder(posixFileSystem(), dir.path().toStdString()), existing);
        const Plan plan = planOf("titre,auteur\nA,B\nC,D\nE,F\n", existing);
        QCOMPARE(plan.records.size(), std::size_t(3));
        QCOMPARE(field(plan.records[0], Field::numero), cp("4"));
        QCOMPARE(field(plan.records[1], Field::numero), cp("6"));
        QCOMPARE(field(plan.records[2], Field::numero), cp("8"));
    }

    // A book is skipped only when it surely repeats another: same ISBN, or same title,
    // first author and volume. Each skip names both books.
    void duplicatesOnlyWhenSure_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("skipped");
        QTest::newRow("one title, two authors")
            << QByteArray("titre,auteur\nNadja,Breton\nNadja,Dupont\n")
            << QStringList{QStringLiteral("Nadja"), QStringLiteral("Nadja")} << QStringList{};
        QTest::newRow("one title, no author")
            << QByteArray("titre,auteur\nPoèmes,\nPoèmes,\n")
            << QStringList{QStringLiteral("Poèmes"), QStringLiteral("Poèmes")} << QStringList{};
        QTest::newRow("volumes without a series go to the title")
            << QByteArray("titre,auteur,tome\nLes Misérables,Hugo,I\nLes Misérables,Hugo,II\n"
                          "Les Misérables,Hugo,tome III\n")
            << QStringList{QStringLiteral("Les Misérables, tome I"),
                           QStringLiteral("Les Misérables, tome II"),
                           QStringLiteral("Les Misérables, tome III")}
            << QStringList{};
        QTest::newRow("volumes of a series")
            << QByteArray("titre,auteur,série,tome\nDune,Herbert,Dune,1\nDune,Herbert,Dune,2\n")
            << QStringList{QStringLiteral("Dune"), QStringLiteral("Dune")} << QStringList{};
        QTest::newRow("one volume however written")
            << QByteArray("titre,auteur,tome\nLes Misérables,Hugo,II\nLES MISERABLES,hugo,2.0\n")
            << QStringList{QStringLiteral("Les Misérables, tome II")}
            << QStringList{QStringLiteral(
                   "ligne 3 : « LES MISERABLES, tome 2 » est un doublon de « Les Misérables, "
                   "tome II » (ligne 2 du fichier) : même titre, même premier auteur et même "
                   "tome")};
        QTest::newRow("the title says the volume already")
            << QByteArray("titre,auteur,tome\n\"Les Misérables, tome 2\",Hugo,2\n")
            << QStringList{QStringLiteral("Les Misérables, tome 2")} << QStringList{};
        // What tells these books apart lies past the title's 55 characters.
        const QString vendee = QStringLiteral("Vendéens et Républicains dans la guerre de Vendée ");
        QTest::newRow("volumes past the title's length")
            << QByteArray("titre,auteur\n"
                          "Vendéens et Républicains dans la guerre de Vendée TOME 1,Chassin\n"
                          "Vendéens et Républicains dans la guerre de Vendée tome II,Chassin\n")
            << QStringList{vendee + QStringLiteral("TOME "), vendee + QStringLiteral("tome ")}
            << QStringList{};
        const QString annuaire =
            QStringLiteral("ANNUAIRE DE L'ARCHÉOLOGUE FRANÇAIS PUBLIÉ SOUS LES AUSP");
        const QByteArray annuaireRow("ANNUAIRE DE L'ARCHÉOLOGUE FRANÇAIS PUBLIÉ SOUS LES AUSPICES "
                                     "DE LA SOCIÉTÉ 1878,Société française d'archéologie\n");
        QTest::newRow("one long book twice")
            << QByteArray("titre,auteur\n") + annuaireRow + annuaireRow << QStringList{annuaire}
            << QStringList{QStringLiteral("ligne 3 : « ") + annuaire +
                           QStringLiteral(" » est un doublon de « ") + annuaire +
                           QStringLiteral(" » (ligne 2 du fichier) : même titre, même premier "
                                          "auteur et même tome")};
        QTest::newRow("same isbn, other title")
            << QByteArray("titre,auteur,isbn\nA,X,2070360180\nB,,9782070360185\n")
            << QStringList{QStringLiteral("A")}
            << QStringList{QStringLiteral(
                   "ligne 3 : « B » est un doublon de « A » (ligne 2 du fichier) : même ISBN")};
    }
    void duplicatesOnlyWhenSure() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, skipped);
        const Plan plan = planOf(file.toStdString());
        QStringList got, why;
        for (const Fiche& f : plan.records)
            got << QString::fromStdString(cp1252ToUtf8(f.text(Field::titre)));
        for (const Rejected& r : plan.report.skipped)
            why << QString::fromStdString(r.where + " : " + r.why);
        QCOMPARE(got, titles);
        QCOMPARE(why, skipped);
    }

    // A library's catalogue: long titles whose volumes or years lie past the title's
    // length, two books really given twice. Only those two are skipped; the report says
    // which imported titles came out alike.
    void longTitlesOfALibrary() {
        std::string file = "Titre;Auteur;Editeur;Date\n";
        const auto row = [&file](const std::string& title, const std::string& author) {
            file += title + ";" + author + ";Imprimerie Clouzot;1900\n";
        };
        const std::string bulletin =
            "Bulletin de la Société historique et scientifique des Deux-Sèvres, vol. ";
        const std::string memoires = "Mémoires de la Société des antiquaires de l'Ouest, tome ";
        const std::string familles =
            "Dictionnaire historique et généalogique des familles du Poitou, ";
        const std::string annuaire = "ANNUAIRE DE L'ARCHÉOLOGUE FRANÇAIS PUBLIÉ SOUS LES "
                                     "AUSPICES DE LA SOCIÉTÉ ";
        for (const char* year : {"1878", "1879", "1880"})
            row(annuaire + year, "Société française d'archéologie");
        row("Histoire des communes des Deux-Sèvres : le Pays Niortais I", "Favreau");
        row("Histoire des communes des Deux-Sèvres : le Pays Niortais II", "Favreau");
        row("Vendéens et Républicains dans la guerre de Vendée TOME 1", "Chassin");
        row("Vendéens et Républicains dans la guerre de Vendée TOME 2", "Chassin"); // line 8
        for (const char* v : {"3", "4", "5"})
            row(bulletin + v, "Société historique");
        row(memoires + "XII", "Société des antiquaires");
        row(memoires + "XIII", "Société des antiquaires");
        row(familles + "2", "Beauchet-Filleau");
        row(familles + "3", "Beauchet-Filleau");
        row(annuaire + "1879", "Société française d'archéologie"); // line 16, given twice
        for (int i = 1; i <= 762; ++i)
            row("Monographie de la commune n° " + std::to_string(i), "Auteur " + std::to_string(i));
        row("Monographie de la commune n° 12", "Auteur 12"); // line 779, given twice
        const Plan plan = planOf(file);
        QCOMPARE(plan.report.read, 778);
        QStringList skipped;
        for (const Rejected& r : plan.report.skipped)
            skipped << QString::fromStdString(r.where);
        QCOMPARE(skipped, (QStringList{QStringLiteral("ligne 16"), QStringLiteral("ligne 779")}));
        QCOMPARE(plan.records.size(), std::size_t(776));
        const std::string report = renderReport(plan.report);
        QVERIFY2(report.find("  ligne 8 : titre coupé à 55 caractères, identique à celui de la "
                             "ligne 7 : les deux sont importés\n") != std::string::npos,
                 report.c_str());
        QVERIFY(report.find("  ligne 4 : titre coupé à 55 caractères, identique à celui de la "
                            "ligne 2") != std::string::npos);
    }

    // The catalogue keeps titles cut: each of its books answers for one book of the file,
    // so the volumes an earlier import lost come in, and a second import of the same file
    // brings nothing twice.
    void catalogueBooksWithCutTitles() {
        const std::string title = "Vendéens et Républicains dans la guerre de Vendée TOME ";
        Existing existing;
        existing.add(
            FicheBuilder().set(Field::titre, title).set(Field::auteur, "Chassin").numero(1));
        std::string rows;
        for (const char* v : {"1", "2", "3"})
            rows += title + v + ",Chassin\n";
        Plan plan = planOf("titre,auteur\n" + rows, existing);
        QCOMPARE(plan.report.duplicates, 1);
        QCOMPARE(plan.records.size(), std::size_t(2));
        Existing again;
        again.add(FicheBuilder().set(Field::titre, title).set(Field::auteur, "Chassin").numero(1));
        for (const Fiche& f : plan.records)
            again.add(f);
        plan = planOf("titre,auteur\n" + rows + rows, again);
        QCOMPARE(plan.report.duplicates, 6);
        QCOMPARE(plan.records.size(), std::size_t(0));
    }

    // A "Date" column holds a year of edition or a registration date: each cell says which.
    void dateColumnIsYearOrRegistration() {
        const Plan plan = planOf("titre,date\nA,1999\nB,05/03/2001\nC,c1951\n");
        QCOMPARE(plan.records.size(), std::size_t(3));
        QCOMPARE(field(plan.records[0], Field::anedition), cp("1999"));
        QCOMPARE(plan.records[0].annee(), 2024); // today
        QCOMPARE(field(plan.records[1], Field::anedition), QByteArray());
        QCOMPARE(plan.records[1].annee(), 2001);
        QCOMPARE(field(plan.records[2], Field::anedition), cp("1951"));
    }

    void volumeThatDoesNotFitIsReported() {
        const std::string title(50, 'a');
        const Plan plan = planOf("titre,auteur,tome\n" + title + ",X,12\n");
        QCOMPARE(field(plan.records[0], Field::titre), cp(title.c_str()));
        QCOMPARE(findings(plan.report, Finding::Kind::dropped), 1);
        QVERIFY(renderReport(plan.report).find("« 12 » non repris : numéro de tome") !=
                std::string::npos);
    }

    void capacityStopsTheImport() {
        Existing existing;
        existing.count = maxRecords - 2;
        const Plan plan = planOf("titre\nA\nB\nC\nD\n", existing);
        QCOMPARE(plan.records.size(), std::size_t(2));
        QCOMPARE(plan.report.overCapacity, 2);
        QVERIFY(renderReport(plan.report).find("2 fiches ne tiennent pas") != std::string::npos);
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
