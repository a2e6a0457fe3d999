// lirabel3-import --isbn: a scanned list looked up against the local server and appended
// through the import's usual path.
#include "FakeServices.h"
#include "FicheBuilder.h"
#include "import/CommandLine.h"
#include "import/IsbnList.h"
#include "ReplayServer.h"
#include "store/Cp1252.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace q7;

namespace {

struct Run {
    int code;
    QString out, err;
};

Run run(const std::vector<std::string>& args, FakeSettingsBackend& settings) {
    std::ostringstream out, err;
    import::Console console{out, err, false, std::time(nullptr), &settings};
    const int code = import::runImport(args, console);
    return {code, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

QString field(const Fiche& f, Field which) {
    return QString::fromStdString(cp1252ToUtf8(f.text(which)));
}

} // namespace

class TestImportIsbn : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scannedList();
    void nothingToAsk();
    void toldFromContent_data();
    void toldFromContent();
};

void TestImportIsbn::scannedList() {
    QList<qint64> bnfTimes;
    QElapsedTimer clock;
    clock.start();
    ReplayServer server([&](const QString& t) -> Reply {
        if (t.startsWith(u"/api/SRU")) {
            bnfTimes << clock.elapsed();
            if (t.contains(u"unimarcxchange") && t.contains(u"9782824627151"))
                return {200, recorded("bnf-sru-unimarc-9782824627151.xml")};
            if (t.contains(u"dublincore") && t.contains(u"9782952221702"))
                return {200, recorded("bnf-sru-dc-9782952221702.xml")};
            return {200, recorded("bnf-sru-unimarc-9789999999999-empty.xml")};
        }
        if (t.contains(u"9782070427796"))
            return {200, recorded("openlibrary-9782070427796-apibooks-data.json")};
        return {200, "{}"};
    });
    FakeSettingsBackend settings;
    settings.values["Notices/ordre"] = "bnf,openlibrary";
    settings.values["Notices/bnf"] = (server.base() + "/api/SRU").toStdString();
    settings.values["Notices/openlibrary"] = server.base().toStdString();
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString();
    writeCatalogue(dir, {FicheBuilder().numero(1).set(Field::titre, "Nadja")});
    writeBytes(dir + "/scan.txt", "9782824627151\r\n\r\n978-2-8246-2715-1\r\n978207036002X\r\n"
                                  "2952221707\r\nISBN: 9782070427796\r\n9782070360024\r\n"
                                  "Le Petit Prince\r\n");

    // The options in any order: --isbn names the kind of list, the file comes where it may.
    const Run r = run({"--isbn", "--dossier", dir, "--ajouter", dir + "/scan.txt"}, settings);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    for (const char* said : {"Fiches lues : 7", "ligne 8 : « Le Petit Prince » n'est pas un ISBN",
                             "ligne 1 : 9782824627151 trouvé par BnF (ark:/12148/cb48644442f)",
                             "ligne 3 : 9782824627151 déjà lu plus haut, ignoré",
                             "L'ISBN 978207036002X est incorrect : la clé devrait être 4.",
                             "ligne 5 : 9782952221702 trouvé par BnF (ark:/12148/cb401159952)",
                             "ligne 6 : 9782070427796 trouvé par Open Library (/books/OL16262504M)",
                             "Aucune notice pour l'ISBN 9782070360024 (BnF, Open Library)."})
        QVERIFY2(r.out.contains(QString::fromUtf8(said)), qPrintable(said + ("\n" + r.out)));

    const std::vector<Fiche> records = readCatalogue(dir);
    QCOMPARE(records.size(), std::size_t(4));
    const Fiche& boyfriend = records[1];
    QCOMPARE(field(boyfriend, Field::numero), QString("2"));
    QCOMPARE(field(boyfriend, Field::titre), QString("Le boyfriend"));
    QCOMPARE(field(boyfriend, Field::auteur), QString("Freida McFadden"));
    QCOMPARE(field(boyfriend, Field::edition), QString("City roman"));
    QCOMPARE(field(boyfriend, Field::imprimeur), QString("Impr. Laballery"));
    QCOMPARE(field(boyfriend, Field::anedition), QString("2025"));
    QCOMPARE(field(boyfriend, Field::nbpage), QString("391"));
    QCOMPARE(field(boyfriend, Field::langue), QString("Français"));
    QCOMPARE(field(boyfriend, Field::isbn), QString("9782824627151"));
    QVERIFY(field(boyfriend, Field::resume).startsWith("Comme beaucoup de femmes"));
    QCOMPARE(field(records[2], Field::titre), QString("La horde du contrevent"));
    QCOMPARE(field(records[2], Field::isbn), QString("9782952221702"));
    QCOMPARE(field(records[3], Field::auteur), QString("Pascal Quignard"));

    // At most one request a second to one source.
    for (int i = 1; i < bnfTimes.size(); ++i)
        QVERIFY2(bnfTimes[i] - bnfTimes[i - 1] >= 950,
                 qPrintable(QString::number(bnfTimes[i] - bnfTimes[i - 1])));

    // Scanned again: the catalogue has it, skipped; then the whole import undone.
    writeBytes(dir + "/again.txt", "9782824627151\n");
    const Run again = run({"--dossier", dir, "--ajouter", "--isbn", dir + "/again.txt"}, settings);
    QCOMPARE(again.code, 0);
    QCOMPARE(readCatalogue(dir).size(), std::size_t(4));
    const Run undo = run({"--dossier", dir, "--annuler"}, settings);
    QVERIFY2(undo.code == 0, qPrintable(undo.err));
}

void TestImportIsbn::nothingToAsk() {
    FakeSettingsBackend settings;
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString();
    writeCatalogue(dir, {});
    writeBytes(dir + "/vide.txt", "\r\n\r\n");
    const Run empty = run({"--dossier", dir, "--isbn", dir + "/vide.txt"}, settings);
    QCOMPARE(empty.code, 1);
    QCOMPARE(empty.err, QString("lirabel3-import : Le fichier ne contient aucun ISBN\n"));
    const Run format = run({"--isbn", dir + "/vide.txt", "--format", "csv"}, settings);
    QCOMPARE(format.code, 2);
    QCOMPARE(
        format.err,
        QString("lirabel3-import : --isbn lit une liste d'ISBN : ni --format ni --colonnes\n"));
}

// The import window takes a file for a list of ISBNs only when each line is one.
void TestImportIsbn::toldFromContent_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("list");
    QTest::newRow("scanned") << QByteArray("9782824627151\r\n\r\n2952221707\r\n") << true;
    QTest::newRow("heading, hyphens, X")
        << QByteArray("ISBN-13\n978-2-07-036002-4\n2-7028-6550-X\n") << true;
    QTest::newRow("labelled") << QByteArray("ISBN: 9782070427796\nEAN : 9782070360024\n") << true;
    QTest::newRow("wrong check digit") << QByteArray("978207036002X\n") << true;
    QTest::newRow("UTF-16 from a phone") << QByteArray("\xFF\xFE"
                                                       "9\0"
                                                       "7\0"
                                                       "8\0"
                                                       "2\0"
                                                       "0\0"
                                                       "7\0"
                                                       "0\0"
                                                       "3\0"
                                                       "6\0"
                                                       "0\0"
                                                       "0\0"
                                                       "2\0"
                                                       "4\0"
                                                       "\n\0",
                                                       30)
                                         << true;
    QTest::newRow("spreadsheet") << QByteArray("Titre;ISBN\nNadja;9782070360024\n") << false;
    QTest::newRow("ISBN then title") << QByteArray("9782070360024;Nadja\n") << false;
    QTest::newRow("heading below a book")
        << QByteArray("9782070360024\nISBN\n9782070427796\n") << false;
    QTest::newRow("prices") << QByteArray("12,50\n7\n") << false;
    QTest::newRow("heading only") << QByteArray("ISBN\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestImportIsbn::toldFromContent() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, list);
    QCOMPARE(import::looksLikeIsbnList(std::string_view(bytes.constData(), bytes.size())), list);
}

QTEST_GUILESS_MAIN(TestImportIsbn)
#include "tst_importisbn.moc"
