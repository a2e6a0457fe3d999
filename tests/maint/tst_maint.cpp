// Statistics and list counts.
#include "FicheBuilder.h"
#include "maint/ListCount.h"
#include "maint/Statistics.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace q7;

namespace {

std::string dirOf(const QTemporaryDir& d) {
    return d.path().toStdString();
}

} // namespace

class TestMaint : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
