// Sort orders, statistics and list counts, checked on the bytes on disk.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "maint/CatalogueSort.h"
#include "maint/ListCount.h"
#include "maint/Statistics.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <map>

using namespace q7;

Q_DECLARE_METATYPE(q7::SortOrder)

namespace {

std::string dirOf(const QTemporaryDir& d) {
    return d.path().toStdString();
}

// Records numbered 1..n (numero), with the given titles and old bytes after the end of
// the emptied notes, which a rewrite must carry unchanged.
std::vector<Fiche> titled(const QStringList& titles) {
    std::vector<Fiche> out;
    int n = 0;
    for (const QString& t : titles) {
        Fiche f = FicheBuilder().set(Field::notes, "reste").numero(++n);
        f.setText(Field::notes, "");
        f.setText(Field::titre, utf8ToCp1252(t.toStdString()));
        out.push_back(f);
    }
    return out;
}

std::vector<Fiche> withField(Field field, const QStringList& values) {
    std::vector<Fiche> out = titled(values);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].setText(Field::titre, "T");
        out[i].setText(field, utf8ToCp1252(values[qsizetype(i)].toStdString()));
    }
    return out;
}

QStringList numeros(const std::vector<Fiche>& records) {
    QStringList out;
    for (const auto& r : records)
        out << QString::fromStdString(r.text(Field::numero));
    return out;
}

struct Progress {
    int maximum = -1;
    std::vector<int> values;
    SortProgress callback() {
        return [this](int v, int max) {
            maximum = max;
            values.push_back(v);
        };
    }
};

// Sorts the catalogue in `dir` and checks that every record came through byte for byte.
std::vector<Fiche> sortAndRead(const std::string& dir, const SortChoice& choice, Progress& p) {
    const std::vector<Fiche> before = readCatalogue(dir);
    DataFile data(Folder(posixFileSystem(), dir));
    data.open();
    Fiche buffer;
    sortCatalogue(data, buffer, choice, p.callback());
    if (data.position() != 0) throw std::runtime_error("not at record 0 after the rewrite");
    if (data.count() != int(before.size())) throw std::runtime_error("count changed");
    data.close();
    std::vector<Fiche> after = readCatalogue(dir);
    std::map<std::string, std::string> original;
    for (const auto& r : before)
        original[r.text(Field::numero)] = std::string(r.bytes.begin(), r.bytes.end());
    for (const auto& r : after)
        if (original[r.text(Field::numero)] != std::string(r.bytes.begin(), r.bytes.end()))
            throw std::runtime_error("a record was changed on its way");
    return after;
}

} // namespace

class TestMaint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstLetterOrder_data() {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("expected"); // numeros
        QTest::newRow("case folded, stored order kept in each letter")
            << QStringList{"zèbre", "Abeille", "avion", "Zoo"} << QStringList{"2", "3", "1", "4"};
        QTest::newRow("rest of the title does not matter")
            << QStringList{"Bz", "ba", "Ba", "Aa"} << QStringList{"4", "1", "2", "3"};
        QTest::newRow("other openings kept, together after Z in stored order")
            << QStringList{"Été", "3 mousquetaires", "Zazie", " espace",
                           "",    "(note)",          "ébène", "avion"}
            << QStringList{"8", "3", "1", "2", "4", "5", "6", "7"};
        QTest::newRow("only other openings")
            << QStringList{"9", "É", "_"} << QStringList{"1", "2", "3"};
        QTest::newRow("one record") << QStringList{"Seul"} << QStringList{"1"};
    }
    void firstLetterOrder() {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        writeCatalogue(dirOf(tmp), titled(titles));
        Progress p;
        const auto after = sortAndRead(dirOf(tmp), {SortOrder::FirstLetter, {}}, p);
        QCOMPARE(numeros(after), expected);
        QVERIFY(!QFile::exists(tmp.filePath("Q7.tmp")));
        // One step per letter, A to Z.
        QCOMPARE(p.maximum, 26);
        std::vector<int> steps(27);
        for (int i = 0; i <= 26; ++i)
            steps[std::size_t(i)] = i;
        QCOMPARE(p.values, steps);
    }

    void frontOrder_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("expected");
        const QStringList authors{"Martin", "Dupont", "Durand", "Dupont"};
        QTest::newRow("author to the front") << SortOrder::Auteur << int(Field::auteur) << authors
                                             << "Dupont" << QStringList{"2", "4", "1", "3"};
        QTest::newRow("case matters") << SortOrder::Auteur << int(Field::auteur) << authors
                                      << "dupont" << QStringList{"1", "2", "3", "4"};
        QTest::newRow("whole text only") << SortOrder::Auteur << int(Field::auteur) << authors
                                         << "Dupon" << QStringList{"1", "2", "3", "4"};
        QTest::newRow("accents compared as bytes")
            << SortOrder::Sujet << int(Field::sujet) << QStringList{"Histoire", "Été", "Ete", "Été"}
            << "Été" << QStringList{"2", "4", "1", "3"};
        QTest::newRow("empty value brings empty fields")
            << SortOrder::Collection << int(Field::collection)
            << QStringList{"Folio", "", "Pléiade", ""} << "" << QStringList{"2", "4", "1", "3"};
        QTest::newRow("every record matches")
            << SortOrder::Collection << int(Field::collection) << QStringList{"X", "X"} << "X"
            << QStringList{"1", "2"};
        QTest::newRow("subject is not the author")
            << SortOrder::Sujet << int(Field::auteur) << authors << "Dupont"
            << QStringList{"1", "2", "3", "4"};
    }
    void frontOrder() {
        QFETCH(SortOrder, order);
        QFETCH(int, field);
        QFETCH(QStringList, values);
        QFETCH(QString, chosen);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        writeCatalogue(dirOf(tmp), withField(Field(field), values));
        Progress p;
        const auto after = sortAndRead(dirOf(tmp), {order, utf8ToCp1252(chosen.toStdString())}, p);
        QCOMPARE(numeros(after), expected);
        // One step per record of the first pass; full, never beyond, afterwards.
        const int n = int(values.size());
        QCOMPARE(p.maximum, n);
        std::vector<int> steps(std::size_t(n) + 1);
        for (int i = 0; i <= n; ++i)
            steps[std::size_t(i)] = i;
        QCOMPARE(p.values, steps);
    }

    void oneRecordRewrittenUnchanged_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::newRow("first letter") << SortOrder::FirstLetter;
        QTest::newRow("author") << SortOrder::Auteur;
        QTest::newRow("subject") << SortOrder::Sujet;
        QTest::newRow("series") << SortOrder::Collection;
    }
    void oneRecordRewrittenUnchanged() {
        QFETCH(SortOrder, order);
        QTemporaryDir tmp;
        std::string bytes(ficheSize, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + 3);
        bytes[0] = 5; // a short title followed by old bytes
        writeBytes(dirOf(tmp) + "/Q7.dat", bytes);
        DataFile data(Folder(posixFileSystem(), dirOf(tmp)));
        data.open();
        Fiche buffer;
        sortCatalogue(data, buffer, {order, "x"});
        data.close();
        QCOMPARE(readBytes(dirOf(tmp) + "/Q7.dat"), bytes);
    }

    // Enough records that Q7.tmp is written in several blocks while the sort runs.
    void failedSortLeavesCatalogueWhole_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("nth");
        QTest::addColumn<long long>("diskBytes");
        using Op = FaultyFileSystem::Op;
        QTest::newRow("read in a later pass")
            << SortOrder::FirstLetter << int(Op::Read) << "Q7.dat" << 3 << -1LL;
        QTest::newRow("read in the second front pass")
            << SortOrder::Auteur << int(Op::Read) << "Q7.dat" << 4 << -1LL;
        QTest::newRow("write while sorting")
            << SortOrder::FirstLetter << int(Op::Write) << "Q7.tmp" << 1 << -1LL;
        QTest::newRow("disk full while sorting")
            << SortOrder::Collection << -1 << "" << 0 << 300000LL;
        QTest::newRow("sync") << SortOrder::FirstLetter << int(Op::Sync) << "Q7.tmp" << 1 << -1LL;
        QTest::newRow("rename") << SortOrder::Sujet << int(Op::Rename) << "Q7.dat" << 1 << -1LL;
    }
    void failedSortLeavesCatalogueWhole() {
        QFETCH(SortOrder, order);
        QFETCH(int, op);
        QFETCH(QString, file);
        QFETCH(int, nth);
        QFETCH(long long, diskBytes);
        QTemporaryDir tmp;
        QStringList titles;
        for (int i = 0; i < 1300; ++i)
            titles << QString(QChar(char16_t(u'A' + (i * 7) % 26))) + QStringLiteral("x");
        auto records = titled(titles);
        for (std::size_t i = 0; i < records.size(); i += 3)
            records[i].setText(Field::auteur, "Hugo");
        writeCatalogue(dirOf(tmp), records);
        const std::string before = readBytes(dirOf(tmp) + "/Q7.dat");

        FaultyFileSystem fs;
        DataFile data(Folder(fs, dirOf(tmp)));
        data.open();
        if (op >= 0) {
            fs.onlyFor(file.toStdString());
            fs.failNth(FaultyFileSystem::Op(op), nth);
        } else {
            fs.diskFullAfter(diskBytes);
        }
        Fiche buffer;
        QVERIFY_THROWS_EXCEPTION(IoError, sortCatalogue(data, buffer, {order, "Hugo"}));
        QCOMPARE(readBytes(dirOf(tmp) + "/Q7.dat"), before);
        QVERIFY(!QFile::exists(tmp.filePath("Q7.tmp")));
        // The program goes on with the catalogue it had.
        fs.reset();
        QCOMPARE(data.count(), 1300);
        data.seek(1299);
        data.read(buffer);
        QCOMPARE(buffer.text(Field::numero), std::string("1300"));
    }

    void statistics_data() {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("prices");
        QTest::addColumn<QList<int>>("lut");
        // nbfiche, fic, nbpage, moyene, lu, prix, moyenprix, nbpagelu
        QTest::addColumn<QStringList>("figures");
        QTest::newRow("one read book at 12,5")
            << QStringList{"250"} << QStringList{"12,5"} << QList<int>{1}
            << QStringList{"1", "1", "250", "250", "1", "12", "12", "250"};
        QTest::newRow("3 and 2: average 2,5 goes to 2")
            << QStringList{"0", "0"} << QStringList{"3", "2"} << QList<int>{0, 0}
            << QStringList{"2", "2", "0", "0", "0", "5", "2", "0"};
        QTest::newRow("3 and 4: average 3,5 goes to 4")
            << QStringList{"0", "0"} << QStringList{"3", "4"} << QList<int>{0, 0}
            << QStringList{"2", "2", "0", "0", "0", "7", "4", "0"};
        QTest::newRow("average pages rounded down")
            << QStringList{"100", "100", "101"} << QStringList{"0", "0", "0"} << QList<int>{0, 0, 0}
            << QStringList{"3", "3", "301", "100", "0", "0", "0", "0"};
        QTest::newRow("only a byte of 1 is read")
            << QStringList{"10", "20", "40"} << QStringList{"0", "0", "0"} << QList<int>{2, 1, 255}
            << QStringList{"3", "3", "70", "23", "1", "0", "0", "20"};
        QTest::newRow("negative half and comma fractions")
            << QStringList{"-5", "9999"} << QStringList{"-2,5", "0,25"} << QList<int>{1, 1}
            << QStringList{"2", "2", "9994", "4997", "2", "-2", "-1", "9994"};
        QTest::newRow("odd half rounds up")
            << QStringList{"1"} << QStringList{"13,5"} << QList<int>{0}
            << QStringList{"1", "1", "1", "1", "0", "14", "14", "0"};
        QTest::newRow("size in kilobytes rounded down")
            << QStringList(30, "1") << QStringList(30, "0,1") << QList<int>(30, 0)
            << QStringList{"30", "30", "30", "1", "0", "3", "0", "0"};
    }
    void statistics() {
        QFETCH(QStringList, pages);
        QFETCH(QStringList, prices);
        QFETCH(QList<int>, lut);
        QFETCH(QStringList, figures);
        QTemporaryDir tmp;
        std::vector<Fiche> records;
        for (qsizetype i = 0; i < pages.size(); ++i)
            records.push_back(FicheBuilder()
                                  .set(Field::nbpage, pages[i].toStdString())
                                  .set(Field::prix, prices[i].toStdString())
                                  .flag(Flag::lut, static_cast<unsigned char>(lut[i])));
        writeCatalogue(dirOf(tmp), records);
        DataFile data(Folder(posixFileSystem(), dirOf(tmp)));
        data.open();
        Fiche buffer;
        QStringList got;
        std::vector<Figure> order;
        QCOMPARE(computeStatistics(data, buffer,
                                   [&](Figure f, const std::string& t) {
                                       order.push_back(f);
                                       got << QString::fromStdString(t);
                                   }),
                 int(pages.size()));
        QCOMPARE(got, figures);
        const std::vector<Figure> shownOrder{Figure::nbfiche,   Figure::fic,     Figure::nbpage,
                                             Figure::moyene,    Figure::lu,      Figure::prix,
                                             Figure::moyenprix, Figure::nbpagelu};
        QVERIFY(order == shownOrder);
        QVERIFY(data.atEnd());
    }

    void sizeOfAFullCatalogue() { QCOMPARE(kilobytes(maxRecords), std::int64_t(40937)); }

    void emptyCatalogueGivesZeros() {
        QTemporaryDir tmp;
        DataFile data(Folder(posixFileSystem(), dirOf(tmp)));
        data.open();
        Fiche buffer;
        std::map<Figure, std::string> got;
        QCOMPARE(
            computeStatistics(data, buffer, [&](Figure f, const std::string& t) { got[f] = t; }),
            0);
        QCOMPARE(int(got.size()), 8);
        for (const auto& [f, t] : got)
            QCOMPARE(t, std::string("0"));
    }

    void badNumberStopsAfterCountAndSize_data() {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        QTest::newRow("pages") << "abc"
                               << "0"
                               << "'abc' n'est pas une valeur entière correcte";
        QTest::newRow("lone comma") << "12"
                                    << ","
                                    << "',' n'est pas une valeur en virgule flottante correcte";
        QTest::newRow("accented text shown as typed")
            << "é"
            << "0"
            << "'é' n'est pas une valeur entière correcte";
        QTest::newRow("blank") << "1"
                               << " 2"
                               << "' 2' n'est pas une valeur en virgule flottante correcte";
    }
    void badNumberStopsAfterCountAndSize() {
        QFETCH(QString, pages);
        QFETCH(QString, price);
        QFETCH(QString, message);
        QTemporaryDir tmp;
        std::vector<Fiche> records{FicheBuilder().set(Field::nbpage, "10").set(Field::prix, "1"),
                                   FicheBuilder()
                                       .set(Field::nbpage, pages.toStdString())
                                       .set(Field::prix, price.toStdString()),
                                   FicheBuilder().set(Field::nbpage, "10").set(Field::prix, "1")};
        writeCatalogue(dirOf(tmp), records);
        const std::string before = readBytes(dirOf(tmp) + "/Q7.dat");
        DataFile data(Folder(posixFileSystem(), dirOf(tmp)));
        data.open();
        Fiche buffer;
        std::vector<Figure> got;
        try {
            computeStatistics(data, buffer,
                              [&](Figure f, const std::string&) { got.push_back(f); });
            QFAIL("the bad number was accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
        QVERIFY((got == std::vector<Figure>{Figure::nbfiche, Figure::fic}));
        data.close();
        QCOMPARE(readBytes(dirOf(tmp) + "/Q7.dat"), before);
    }

    void listCount_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("userCaption");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("count"); // -1: no file counted
        const QString user = QStringLiteral("Mots clés");
        QTest::newRow("three lines, final break")
            << "Auteur" << user << "Q7auteur.lst" << QByteArray("a\r\nb\r\nc\r\n") << 3;
        QTest::newRow("empty file") << "Titre" << user << "Q7titre.lst" << QByteArray() << 0;
        QTest::newRow("no final break")
            << "Type" << user << "Q7type.lst" << QByteArray("a\nb") << 2;
        QTest::newRow("lone CR") << "Type" << user << "Q7type.lst" << QByteArray("a\rb\r") << 2;
        QTest::newRow("empty lines inside count")
            << "Type" << user << "Q7type.lst" << QByteArray("a\r\n\r\n\nb\r\n") << 4;
        QTest::newRow("a lone break is one empty line")
            << "Type" << user << "Q7type.lst" << QByteArray("\r\n") << 1;
        QTest::newRow("name case ignored")
            << "Titre" << user << "Q7TITRE.LST" << QByteArray("x\r\n") << 1;
        QTest::newRow("user caption names Q7utilisat.lst")
            << user << user << "Q7utilisat.lst" << QByteArray("u\r\nv\r\n") << 2;
        QTest::newRow("the user caption names no Q7<caption>.lst")
            << "Perso"
            << "Perso"
            << "Q7Perso.lst" << QByteArray("u\r\n") << -1;
        QTest::newRow("user caption holding a slash")
            << "Lu/non lu"
            << "Lu/non lu"
            << "Q7utilisat.lst" << QByteArray("u\r\n") << 1;
        QTest::newRow("typed name") << "perso" << user << "Q7perso.lst" << QByteArray("a\r\n") << 1;
        QTest::newRow("missing file") << "Sujet" << user << "Q7auteur.lst" << QByteArray("a") << -1;
        QTest::newRow("path separator refused")
            << "dir/x" << user << "Q7dir/x.lst" << QByteArray("a\r\n") << -1;
        QTest::newRow("parent folder refused")
            << "../x" << user << "Q7../x.lst" << QByteArray("a\r\n") << -1;
        QTest::newRow("backslash refused")
            << "a\\b" << user << "Q7a\\b.lst" << QByteArray("a\r\n") << -1;
    }
    void listCount() {
        QFETCH(QString, caption);
        QFETCH(QString, userCaption);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(int, count);
        QTemporaryDir tmp;
        // The file is really there, even behind a separator.
        if (file.contains(u'/')) QDir(tmp.path()).mkpath(file.section(u'/', 0, -2));
        writeBytes(dirOf(tmp) + "/" + utf8ToCp1252(file.toStdString()), content.toStdString());
        Folder folder(posixFileSystem(), dirOf(tmp));
        const auto name = existingListFile(folder, utf8ToCp1252(caption.toStdString()),
                                           utf8ToCp1252(userCaption.toStdString()));
        if (count < 0) {
            QVERIFY(!name);
            return;
        }
        QVERIFY(name);
        QCOMPARE(countListLines(folder, *name), count);
    }
};

QTEST_GUILESS_MAIN(TestMaint)
#include "tst_maint.moc"
