// The export files and Q7fiche.txt, compared byte for byte with files written out here
// line by line (Latin-1 through Qt, not the program's code page).
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "output/ExportFormat.h"
#include "output/ExportRunner.h"
#include "output/OutputFile.h"
#include "output/RecordText.h"
#include "store/DataFile.h"
#include "store/Errors.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <filesystem>

using namespace q7;

Q_DECLARE_METATYPE(q7::ExportKind)

namespace {

// Lines given in UTF-8, each ended by CR LF, as single-byte text.
QByteArray lines(const QStringList& text) {
    QByteArray out;
    for (const QString& l : text)
        out += l.toLatin1() + "\r\n";
    return out;
}

QByteArray bytesOf(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

// A record touching every field, with characters each format must carry or escape.
Fiche fullRecord() {
    using F = Field;
    return FicheBuilder()
        .set(F::titre, "L'Été; <dur> & \"chaud\"")
        .set(F::auteur, "Zola")
        .set(F::sujet, "Roman")
        .set(F::collection, "Folio")
        .set(F::edition, "Gallimard")
        .set(F::txtutil, "clé")
        .set(F::imprimeur, "Firmin")
        .set(F::type, "Poche")
        .set(F::langue, "Français")
        .set(F::etat, "Bon")
        .set(F::isbn, "2-07-036002-4")
        .set(F::numero, "A12")
        .set(F::pos1, "Salon")
        .set(F::pos2, "Étagère 2")
        .set(F::pos4, "x")
        .set(F::origine, "Don")
        .set(F::prix, "7,5")
        .set(F::anedition, "1998")
        .set(F::nbpage, "412")
        .set(F::notes, "Ligne 1\r\nLigne 2")
        .set(F::resume, "Un résumé")
        .flag(Flag::plutome)
        .flag(Flag::lut)
        .flag(Flag::hs)
        .flag(Flag::cocheutil)
        .flag(Flag::jacquette, 2) // only a byte of exactly 1 reads as "oui"
        .date(5, 3, 2004);
}

const QStringList fullFieldLines = {
    "Titre     = L'Été; <dur> & \"chaud\"",
    "Auteur    = Zola",
    "Sujet     = Roman",
    "Colection = Folio",
    "Edition   = Gallimard  Année d'edition = 1998",
    "Imprimeur = Firmin  Nombre de pages = 412",
    "Type  = Poche  Langue = Français",
    "Origine = Don",
    "Mots clés = clé",
    "Etat = Bon  Prix = 7,5",
    "ISBN  = 2-07-036002-4  Reference = A12",
    "Date d'enregistrement = 5:3:2004",
    "Plusieurs tomes = oui  Plusieurs auteurs = non  Ouvrage lu = oui",
    "Hors serie = oui    Annoté = oui  Signet = non  Jacquette = non",
    "Position n°1 = Salon",
    "Position n°2 = Étagère 2",
    "Position n°3 = ",
    "Position n°4 = x",
};

QByteArray fullTxtBlock(int n) {
    return lines(QStringList{QString("===== Fiche n°%1 =====").arg(n)} + fullFieldLines +
                 QStringList{"= Notes =", "Ligne 1\r\nLigne 2", "= Résumé =", "Un résumé", " "});
}

// The block of a record holding a title only.
QByteArray titleTxtBlock(int n, const QString& title) {
    return lines({QString("===== Fiche n°%1 =====").arg(n),
                  "Titre     = " + title,
                  "Auteur    = ",
                  "Sujet     = ",
                  "Colection = ",
                  "Edition   =   Année d'edition = ",
                  "Imprimeur =   Nombre de pages = ",
                  "Type  =   Langue = ",
                  "Origine = ",
                  "Mots clés = ",
                  "Etat =   Prix = ",
                  "ISBN  =   Reference = ",
                  "Date d'enregistrement = 0:0:0",
                  "Plusieurs tomes = non  Plusieurs auteurs = non  Ouvrage lu = non",
                  "Hors serie = non    Annoté = non  Signet = non  Jacquette = non",
                  "Position n°1 = ",
                  "Position n°2 = ",
                  "Position n°3 = ",
                  "Position n°4 = ",
                  "= Notes =",
                  "",
                  "= Résumé =",
                  "",
                  " "});
}

QByteArray titleCsvLine(const QString& title) {
    return lines({"'" + title + QString(16, ';') + "0:0:0;non;non;non;non;non;non;non;;;;'"});
}

QByteArray titleSqlLines(const QString& table, const QString& title) {
    QString values = "VALUES('" + title + "'";
    for (int i = 0; i < 15; ++i)
        values += ",''";
    values += ",'0:0:0'";
    for (int i = 0; i < 7; ++i)
        values += ",'non'";
    for (int i = 0; i < 4; ++i)
        values += ",''";
    return lines({"INSERT INTO'" + table + "'", values + ");"});
}

int lineCount(const QByteArray& b) {
    return int(b.count("\r\n"));
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;
    std::string dir() const { return tmp.path().toStdString(); }
    Settings captions;

    // Exports the catalogue of `records` as `kind` into the temporary folder.
    QByteArray exportRecords(const std::vector<Fiche>& records, ExportKind kind,
                             const std::string& table = "livres") {
        writeCatalogue(dir(), records);
        DataFile data(Folder(posixFileSystem(), dir()));
        data.open();
        Fiche buffer;
        runExport(data, buffer, captions, posixFileSystem(), {kind, dir(), table});
        return bytesOf(readBytes(dir() + "/" + exportFileName(kind)));
    }

private Q_SLOTS:
    void fullRecordInEachFormat_data() {
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("txt") << ExportKind::Txt << fullTxtBlock(1);
        QTest::newRow("sql") << ExportKind::Sql
                             << lines({"INSERT INTO'l''inventaire'",
                                       "VALUES('L''Été; <dur> & \"chaud\"','Zola','Roman','Folio',"
                                       "'Gallimard','1998','Firmin','412','Poche','Français','Don',"
                                       "'clé','Bon','7,5','2-07-036002-4','A12','5:3:2004','oui',"
                                       "'non','oui','oui','oui','non','non','Salon','Étagère 2','',"
                                       "'x');"});
        QTest::newRow("csv") << ExportKind::Csv
                             << lines({"'L'Été; <dur> & \"chaud\";Zola;Roman;Folio;Gallimard;1998;"
                                       "Firmin;412;Poche;Français;Don;clé;Bon;7,5;2-07-036002-4;"
                                       "A12;5:3:2004;oui;non;oui;oui;oui;non;non;Salon;Étagère 2;;"
                                       "x'"});
    }
    void fullRecordInEachFormat() {
        QFETCH(ExportKind, kind);
        QFETCH(QByteArray, expected);
        const QByteArray file = exportRecords({fullRecord()}, kind, "l'inventaire");
        QCOMPARE(file, expected);
        // The code page, never UTF-8: "é" is one byte.
        QVERIFY(file.contains('\xE9'));
        QVERIFY(!file.contains("\xC3\xA9"));
    }

    void lineCountsGrowWithTheCatalogue_data() {
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<int>("perRecord");
        QTest::newRow("txt") << ExportKind::Txt << 24;
        QTest::newRow("sql") << ExportKind::Sql << 2;
        QTest::newRow("csv") << ExportKind::Csv << 1;
    }
    void lineCountsGrowWithTheCatalogue() {
        QFETCH(ExportKind, kind);
        QFETCH(int, perRecord);
        for (int n : {1, 3, 7}) {
            std::vector<Fiche> records;
            QByteArray expected;
            for (int i = 1; i <= n; ++i) {
                const QString title = QString("Livre %1").arg(i);
                records.push_back(FicheBuilder().set(Field::titre, title.toStdString()));
                expected += kind == ExportKind::Txt   ? titleTxtBlock(i, title)
                            : kind == ExportKind::Sql ? titleSqlLines("livres", title)
                                                      : titleCsvLine(title);
            }
            const QByteArray file = exportRecords(records, kind);
            QCOMPARE(lineCount(file), perRecord * n);
            QCOMPARE(file, expected);
        }
    }

    void allEmptyRecord() {
        const Fiche empty;
        QCOMPARE(exportRecords({empty}, ExportKind::Csv),
                 QByteArray("'") + QByteArray(16, ';') + "0:0:0" + QByteArray(";non").repeated(7) +
                     ";;;;'\r\n");
        const QByteArray sql = exportRecords({empty}, ExportKind::Sql, " ");
        // A table name of one space is a name.
        QVERIFY(sql.startsWith("INSERT INTO' '\r\nVALUES("));
        const QByteArray values = sql.split('\n').at(1).chopped(3).mid(7); // inside ( );
        const QList<QByteArray> quoted = values.split(',');
        QCOMPARE(quoted.size(), 28);
        QCOMPARE(quoted.count("''"), 20);
        QCOMPARE(quoted.at(16), QByteArray("'0:0:0'"));
    }

    void secondExportReplacesTheFirst() {
        exportRecords({FicheBuilder().set(Field::titre, "Premier"),
                       FicheBuilder().set(Field::titre, "Second")},
                      ExportKind::Csv);
        QCOMPARE(exportRecords({FicheBuilder().set(Field::titre, "Seul")}, ExportKind::Csv),
                 titleCsvLine("Seul"));
    }

    void lengthBytesBeyondCapacity() {
        // A damaged length byte is read as the field's capacity, never beyond it.
        Fiche f = FicheBuilder().set(Field::titre, "abc").set(Field::numero, "12345678");
        f.bytes[fieldInfo(Field::titre).offset] = 200;
        f.bytes[fieldInfo(Field::numero).offset] = 255;
        const QByteArray title = QByteArray("abc") + QByteArray(52, '\0');
        QCOMPARE(exportRecords({f}, ExportKind::Csv),
                 "'" + title + ";;;;;;;;;;;;;;;12345678;0:0:0" + QByteArray(";non").repeated(7) +
                     ";;;;'\r\n");
    }

    void fullValuesAreNotCut() {
        // Every text field at its capacity: more than 255 characters before the date.
        FicheBuilder b;
        QString expected = "'";
        const Field order[] = {
            Field::titre,   Field::auteur,    Field::sujet,     Field::collection,
            Field::edition, Field::anedition, Field::imprimeur, Field::nbpage,
            Field::type,    Field::langue,    Field::origine,   Field::txtutil,
            Field::etat,    Field::prix,      Field::isbn,      Field::numero};
        for (Field k : order) {
            const QString v(int(fieldInfo(k).capacity), QChar('a' + int(k)));
            b.set(k, v.toStdString());
            expected += v + ";";
        }
        expected += "0:0:0;non;non;non;non;non;non;non;;;;'";
        QCOMPARE(exportRecords({b}, ExportKind::Csv), lines({expected}));
    }

    void htmlPageOfTheBuffer() {
        const QByteArray expected = lines({
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 TRANSITIONAL//EN\">",
            "<HTML>",
            "<!-- DATE DE CREATION: 00/00/00 -->",
            "<HEAD>",
            "<TITLE></TITLE>",
            "<META NAME=\"Description\" CONTENT=\"\">",
            "<META NAME=\"Keywords\" CONTENT=\"\">",
            "<META NAME=\"Author\" CONTENT=\"\">",
            "<META NAME=\"Generator\" CONTENT=\"Lirabel3\">",
            "</HEAD>",
            "<BODY>",
            "<TABLE WIDTH=\"100%\">",
            "<TR>",
            "<TD WIDTH=\"50%\">Titre</TD>",
            "<TD WIDTH=\"50%\">L'Été; &lt;dur&gt; &amp; &quot;chaud&quot;</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"50%\">Auteur</TD>",
            "<TD WIDTH=\"50%\">Zola</TD>",
            "<TR>",
            "<TD WIDTH=\"50%\">Sujet</TD>",
            "<TD WIDTH=\"50%\">Roman</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"50%\">Collection</TD>",
            "<TD WIDTH=\"50%\">Folio</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"50%\">Edition</TD>",
            "<TD WIDTH=\"50%\">Gallimard</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"25%\">Etat</TD>",
            "<TD WIDTH=\"25%\">Bon</TD>",
            "<TD WIDTH=\"25%\">Réference</TD>",
            "<TD WIDTH=\"25%\">A12</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"50%\">Mots clés</TD>",
            "<TD WIDTH=\"50%\">clé</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"25%\">Année d'édition</TD>",
            "<TD WIDTH=\"25%\">1998</TD>",
            "<TD WIDTH=\"25%\">Nombre de pages</TD>",
            "<TD WIDTH=\"25%\">412</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"50%\">Prix</TD>",
            "<TD WIDTH=\"50%\">7,5</TD>",
            "</TR>",
            "</TABLE>",
            "</BODY>",
            "</HTML>",
        });
        // Two records; the buffer holds the first, read as browsing does.
        writeCatalogue(dir(), {fullRecord(), FicheBuilder().set(Field::titre, "Autre")});
        DataFile data(Folder(posixFileSystem(), dir()));
        data.open();
        Fiche buffer;
        data.read(buffer);
        runExport(data, buffer, captions, posixFileSystem(), {ExportKind::Html, dir(), {}});
        QCOMPARE(bytesOf(readBytes(dir() + "/Q7export.html")), expected);
        QCOMPARE(data.position(), 1);
        QCOMPARE(buffer.bytes, fullRecord().bytes);
    }

    // The page of a book with a cover shows it last, said by the book's title, and links
    // the picture itself; the rest of the page is as without.
    void htmlPageLinksTheCover() {
        writeCatalogue(dir(), {fullRecord()});
        std::filesystem::create_directory(dir() + "/Couvertures");
        writeBytes(dir() + "/Couvertures/A12.jpg", "jpeg");
        DataFile data(Folder(posixFileSystem(), dir()));
        data.open();
        Fiche buffer;
        data.read(buffer);
        runExport(data, buffer, captions, posixFileSystem(), {ExportKind::Html, dir(), {}});
        const QByteArray page = bytesOf(readBytes(dir() + "/Q7export.html"));
        QVERIFY(page.endsWith(lines({
            "<TD WIDTH=\"50%\">7,5</TD>",
            "</TR>",
            "<TR>",
            "<TD WIDTH=\"50%\">Couverture</TD>",
            "<TD WIDTH=\"50%\"><A HREF=\"Couvertures/A12.jpg\"><IMG SRC=\"Couvertures/A12.jpg\" "
            "ALT=\"L'Été; &lt;dur&gt; &amp; &quot;chaud&quot;, couverture\" "
            "HEIGHT=\"300\"></A></TD>",
            "</TR>",
            "</TABLE>",
            "</BODY>",
            "</HTML>",
        })));
    }

    void wholeFileExportLeavesTheLastRecord() {
        std::vector<Fiche> records;
        for (int i = 1; i <= 5; ++i)
            records.push_back(FicheBuilder().numero(i));
        writeCatalogue(dir(), records);
        DataFile data(Folder(posixFileSystem(), dir()));
        data.open();
        data.seek(3);
        Fiche buffer;
        std::vector<std::pair<int, int>> steps;
        runExport(data, buffer, captions, posixFileSystem(), {ExportKind::Txt, dir(), {}},
                  [&](int done, int total) { steps.emplace_back(done, total); });
        QCOMPARE(data.position(), 5);
        QCOMPARE(buffer.text(Field::numero), std::string("5"));
        QCOMPARE(steps.size(), std::size_t(5));
        QCOMPARE(steps.back(), std::make_pair(5, 5));
        QVERIFY(bytesOf(readBytes(dir() + "/Q7impres.txt"))
                    .startsWith("===== Fiche n\xB0"
                                "1 "));
    }

    // A failed export leaves the earlier file as it was (or no file at all), and no
    // partial file beside it.
    void failedExportKeepsTheEarlierFile_data() {
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<int>("failingOp"); // -1: disk full after 100 bytes
        QTest::addColumn<int>("nth");
        QTest::addColumn<bool>("earlier");
        using Op = FaultyFileSystem::Op;
        // The catalogue is read in blocks: the second read fails half-way.
        QTest::newRow("txt, read") << ExportKind::Txt << int(Op::Read) << 2 << true;
        QTest::newRow("txt, second block") << ExportKind::Txt << int(Op::Write) << 2 << true;
        QTest::newRow("txt, no earlier file") << ExportKind::Txt << int(Op::Write) << 2 << false;
        QTest::newRow("sql, disk full") << ExportKind::Sql << -1 << 0 << true;
        QTest::newRow("csv, sync") << ExportKind::Csv << int(Op::Sync) << 1 << true;
        QTest::newRow("csv, rename") << ExportKind::Csv << int(Op::Rename) << 1 << true;
        QTest::newRow("html, disk full") << ExportKind::Html << -1 << 0 << true;
    }
    void failedExportKeepsTheEarlierFile() {
        QFETCH(ExportKind, kind);
        QFETCH(int, failingOp);
        QFETCH(int, nth);
        QFETCH(bool, earlier);
        std::vector<Fiche> records;
        for (int i = 1; i <= 6000; ++i)
            records.push_back(FicheBuilder().set(Field::titre, "Livre " + std::to_string(i)));
        writeCatalogue(dir(), records);
        const std::string name = exportFileName(kind);
        const std::string before = "l'export d'avant\r\n";
        if (earlier)
            writeBytes(dir() + "/" + name, before);
        else
            QFile::remove(QString::fromStdString(dir() + "/" + name));
        FaultyFileSystem faulty;
        DataFile data(Folder(faulty, dir()));
        data.open();
        if (failingOp == int(FaultyFileSystem::Op::Read)) {
            faulty.onlyFor("Q7.dat");
        } else {
            faulty.onlyFor(name);
        }
        if (failingOp < 0)
            faulty.diskFullAfter(100);
        else
            faulty.failNth(FaultyFileSystem::Op(failingOp), nth, ENOSPC);
        Fiche buffer;
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 runExport(data, buffer, captions, faulty, {kind, dir(), "t"}));
        if (earlier)
            QCOMPARE(readBytes(dir() + "/" + name), before);
        else
            QVERIFY(!QFile::exists(QString::fromStdString(dir() + "/" + name)));
        // Nothing beside it either, hidden or not.
        QCOMPARE(QDir(QString::fromStdString(dir()))
                     .entryList({QString::fromStdString(name) + u'*',
                                 u'.' + QString::fromStdString(name) + u'*'},
                                QDir::Files | QDir::Hidden)
                     .size(),
                 earlier ? 1 : 0);
    }

    void failedRecordTextKeepsTheEarlierFile() {
        writeBytes(dir() + "/Q7fiche.txt", "avant");
        FaultyFileSystem faulty;
        faulty.diskFullAfter(50);
        QVERIFY_THROWS_EXCEPTION(
            IoError, writeRecordTextFile(Folder(faulty, dir()), fullRecord(), 1, captions));
        QCOMPARE(readBytes(dir() + "/Q7fiche.txt"), std::string("avant"));
        QCOMPARE(QDir(QString::fromStdString(dir())).entryList({QStringLiteral("Q7fiche*")}),
                 QStringList({QStringLiteral("Q7fiche.txt")}));
    }

    // In a folder the collector chose, what a crash left of an output is removed by the
    // next one written there; a file another copy is writing, a link and a file of
    // someone else's stay as they are.
    void outputLeftoversGoWithTheNextOutput() {
        QTemporaryDir chosen, elsewhere;
        const std::string at = chosen.path().toStdString();
        const std::string target = elsewhere.path().toStdString() + "/lettre.txt";
        writeBytes(at + "/.Ma liste.csv.lirabel3.tmp", "coupé par un arrêt");
        writeBytes(at + "/.notes.txt", "à moi");
        writeBytes(target, "à moi aussi");
        std::filesystem::create_symlink(target, at + "/.lien.lirabel3.tmp");
        const auto held = posixFileSystem().open(at + "/.Autre.png.lirabel3.tmp", OpenMode::Create);
        QVERIFY(held->tryLock());
        OutputFile out(posixFileSystem(), at + "/Livres.png");
        out.buffer() = "image";
        out.finish();
        QCOMPARE(QDir(chosen.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{".Autre.png.lirabel3.tmp", ".lien.lirabel3.tmp", ".notes.txt",
                              "Livres.png"}));
        QCOMPARE(readBytes(target), std::string("à moi aussi"));
        QCOMPARE(readBytes(at + "/Livres.png"), std::string("image"));
    }

    void missingTargetFolder() {
        writeCatalogue(dir(), {Fiche()});
        DataFile data(Folder(posixFileSystem(), dir()));
        data.open();
        Fiche buffer;
        QVERIFY_THROWS_EXCEPTION(IoError, runExport(data, buffer, captions, posixFileSystem(),
                                                    {ExportKind::Csv, dir() + "/absent", {}}));
    }

    void sqlLoadsIntoSqlite() {
        if (QStandardPaths::findExecutable("sqlite3").isEmpty()) QSKIP("sqlite3 is not installed");
        // Quotes, semicolons, accents and a name with a quote in it.
        const char* titles[] = {"L'Écume des jours",      "''",   "a;b", "';DROP TABLE x;--",
                                "Guillemets \"doubles\"", "fin'", "<&>", ""};
        std::vector<Fiche> records;
        for (int i = 0; i < 40; ++i) {
            FicheBuilder b;
            b.set(Field::titre, titles[i % 8])
                .set(Field::auteur, "O'Brien " + std::to_string(i))
                .set(Field::prix, std::to_string(i) + ",5")
                .set(Field::pos4, "p'" + std::to_string(i))
                .numero(i + 1)
                .date(i % 28 + 1, i % 12 + 1, 1990 + i);
            if (i % 2) b.flag(Flag::signet);
            if (i % 3) b.flag(Flag::cocheutil);
            records.push_back(b);
        }
        exportRecords(records, ExportKind::Sql, "l'inventaire");

        QString script = "CREATE TABLE \"l'inventaire\"(";
        for (int c = 1; c <= 28; ++c)
            script += QString(c > 1 ? ",c%1" : "c%1").arg(c);
        script += ");\n.read Q7export.sql\nSELECT ";
        for (int c = 1; c <= 28; ++c)
            script += QString(c > 1 ? "||'|'||hex(c%1)" : "hex(c%1)").arg(c);
        script += " FROM \"l'inventaire\" ORDER BY rowid;\n";
        QProcess sqlite;
        sqlite.setWorkingDirectory(tmp.path());
        sqlite.start("sqlite3", {"-bail", tmp.path() + "/loaded.db"});
        QVERIFY(sqlite.waitForStarted());
        sqlite.write(script.toUtf8());
        sqlite.closeWriteChannel();
        QVERIFY(sqlite.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(sqlite.readAllStandardError()), QString());
        const QList<QByteArray> rows = sqlite.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(rows.size(), 40);
        for (int i = 0; i < 40; ++i) {
            QList<QByteArray> cols = rows.at(i).split('|');
            QCOMPARE(cols.size(), 28);
            QList<QByteArray> values;
            for (const QByteArray& c : cols)
                values << QByteArray::fromHex(c);
            QCOMPARE(values.at(0), QString::fromUtf8(titles[i % 8]).toLatin1());
            QCOMPARE(values.at(1), QByteArray("O'Brien ") + QByteArray::number(i));
            QCOMPARE(values.at(13), QByteArray::number(i) + ",5");
            QCOMPARE(values.at(15), QByteArray::number(i + 1));
            QCOMPARE(values.at(16),
                     QString("%1:%2:%3").arg(i % 28 + 1).arg(i % 12 + 1).arg(1990 + i).toLatin1());
            QCOMPARE(values.at(21), QByteArray(i % 3 ? "oui" : "non")); // cocheutil
            QCOMPARE(values.at(22), QByteArray(i % 2 ? "oui" : "non")); // signet
            QCOMPARE(values.at(27), QByteArray("p'") + QByteArray::number(i));
            for (int c : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 24, 25, 26})
                QCOMPARE(values.at(c), QByteArray());
        }
    }

    void recordTextFileOfTheThirdRecord() {
        Fiche third = fullRecord();
        writeCatalogue(dir(), {FicheBuilder().numero(1), FicheBuilder().numero(2), third});
        DataFile data(Folder(posixFileSystem(), dir()));
        data.open();
        Fiche buffer;
        // Browsing to the third record leaves the position after it.
        for (int i = 0; i < 3; ++i)
            data.read(buffer);
        const Folder folder(posixFileSystem(), dir());
        writeRecordTextFile(folder, buffer, data.position(), captions);
        const QByteArray expected =
            lines(QStringList{"=== Fiche n°3 ==="} + fullFieldLines +
                  QStringList{"== Notes ==", "Ligne 1\r\nLigne 2", "== Résumé ==", "Un résumé"});
        QCOMPARE(bytesOf(readBytes(dir() + "/Q7fiche.txt")), expected);
        QCOMPARE(data.position(), 3);

        // Written again: only the last record is in the file.
        data.seek(0);
        data.read(buffer);
        writeRecordTextFile(folder, buffer, data.position(), captions);
        const QByteArray second = bytesOf(readBytes(dir() + "/Q7fiche.txt"));
        QVERIFY(second.startsWith("=== Fiche n\xB0"
                                  "1 ===\r\nTitre     = \r\n"));
        QCOMPARE(lineCount(second), 23);
    }

    void captionsComeFromTheSettings() {
        Settings custom;
        custom.textutilisateur = "Cote";
        custom.cocheutilisateur = "Vu";
        const std::string txt = [&] {
            std::string out;
            appendTxtBlock(out, FicheBuilder().flag(Flag::hs), 9, custom);
            return out;
        }();
        QVERIFY(bytesOf(txt).contains("\r\nCote = \r\n"));
        QVERIFY(bytesOf(txt).contains("\r\nHors serie = oui    Vu = non  Signet"));
        QVERIFY(bytesOf(htmlPage(Fiche(), custom)).contains("<TD WIDTH=\"50%\">Cote</TD>\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
