// Files made to hurt the importer: prices with endless decimals, entities that expand
// without bound, lines of a gigabyte, sources that never end or never start. Each is refused or
// read sanely, quickly and in bounded memory.
#include "import/CommandLine.h"
#include "import/Importer.h"
#include "import/ImportFile.h"
#include "import/Values.h"
#include "store/Errors.h"

#include <QTemporaryDir>
#include <QTest>

#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace q7;
using namespace q7::import;

class HostileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pricesWithManyDecimals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("price");
        QTest::addColumn<bool>("rounded");
        QTest::newRow("64 decimals, tiny") << "0," + QString(63, '0') + "1"
                                           << "0" << true;
        QTest::newRow("19 decimals") << "2,3456789012345678901"
                                     << "2,35" << true;
        QTest::newRow("rounds up across the cut") << "1." + QString(40, '9') << "2" << true;
        QTest::newRow("half-way kept") << "0,005" + QString(30, '0') << "0,01" << true;
        QTest::newRow("zeros only, not rounded") << "7,5" + QString(30, '0') << "7,5" << false;
    }
    void pricesWithManyDecimals() {
        QFETCH(QString, text);
        QFETCH(QString, price);
        QFETCH(bool, rounded);
        const Price p = readPrice(text.toStdString());
        QVERIFY(!p.invalid);
        QCOMPARE(QString::fromStdString(p.text), price);
        QCOMPARE(p.rounded, rounded);
    }

    // One entity of 4 000 characters named 50 000 times: 200 MB of text from 250 KB.
    void entityExpansionIsCapped() {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE tellico [<!ENTITY e \"" +
                          std::string(4000, 'x') +
                          "\">]>\n<tellico xmlns=\"http://periapsis.org/tellico/\" "
                          "syntaxVersion=\"11\">\n <collection title=\"Mes livres\" "
                          "type=\"2\"><entry id=\"1\"><title>";
        for (int i = 0; i < 50000; ++i)
            xml += "&e;";
        xml += "</title></entry></collection></tellico>\n";
        try {
            readSource(xml, Format::tellico, {});
            QFAIL("the document should have been refused");
        } catch (const Error& e) {
            QVERIFY2(std::string(e.what()).find("entités") != std::string::npos, e.what());
        }
    }

    // A line past a megabyte is no book: passed over without being kept (only that row),
    // and the rows around it still read, with their right line numbers.
    void hugeLinesArePassedOver_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("books");    // where each book read comes from
        QTest::addColumn<QStringList>("rejected"); // where each row passed over starts
        const QByteArray big(1 << 20, 'x');
        QTest::newRow("a long cell") << "titre,auteur\nA,Hugo\n" + big + ",Zola\nB,Sand\n"
                                     << QStringList{"ligne 2", "ligne 4"} << QStringList{"ligne 3"};
        QTest::newRow("a quoted cell over several lines")
            << "titre,auteur\nA,Hugo\n\"" + big.left(600000) + "\n" + big.left(600000) +
                   "\",Zola\nB,Sand\n"
            << QStringList{"ligne 2", "ligne 5"} << QStringList{"ligne 3"};
        QTest::newRow("just under a megabyte")
            << "titre,auteur\n" + big.left((1 << 20) - 10) + ",Zola\n"
            << QStringList{"ligne 2"} << QStringList();
        QByteArray own = "'" + QByteArray(16, ';') + "1:2:2020" + QByteArray(11, ';') + "'\r\n";
        QTest::newRow("own export") << own + "'" + big + QByteArray(27, ';') + "'\r\n" + own
                                    << QStringList{"ligne 1", "ligne 3"} << QStringList{"ligne 2"};
    }
    void hugeLinesArePassedOver() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, books);
        QFETCH(QStringList, rejected);
        const SourceFile source = readSource(file.toStdString(), Format::csv, {});
        QStringList read, passed;
        for (const SourceBook& b : source.books)
            read << QString::fromStdString(b.where);
        for (const Rejected& r : source.rejected) {
            passed << QString::fromStdString(r.where);
            QVERIFY2(r.why.find("1 Mo au plus") != std::string::npos, r.why.c_str());
        }
        QCOMPARE(read, books);
        QCOMPARE(passed, rejected);
    }

    // Where nothing can be passed over (the column names, an XML document), the file is
    // refused, the line named, before anything is copied.
    void hugeLinesRefuseTheFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        const QByteArray big((1 << 20) + 1, 'x');
        QTest::newRow("CSV column names") << "\n\n" + big + ",titre\nA\n"
                                          << "Ligne 3 :";
        const QByteArray head = "<?xml version=\"1.0\"?>\n<tellico xmlns=\"http://"
                                "periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
                                "<collection type=\"2\"><entry id=\"1\">\n<title>";
        const QByteArray tail = "</title></entry></collection></tellico>\n";
        QTest::newRow("XML text") << head + QByteArray(16 << 20, 'x') + "y" + tail << "ligne 4,";
        QTest::newRow("XML tag") << head + "<a b=\"" + QByteArray(16 << 20, 'x') + "\"/>" + tail
                                 << "ligne 4,";
    }
    void hugeLinesRefuseTheFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        try {
            readSource(file.toStdString(), Format::automatic, {});
            QFAIL("the file should have been refused");
        } catch (const Error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(message), e.what());
        }
    }

    // Sources that are not plain files are refused at once, never read.
    void onlyRegularFilesAreRead_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("endless device") << "/dev/zero";
        QTest::newRow("pipe without writer") << "fifo";
        QTest::newRow("a link to the device") << "link";
    }
    void onlyRegularFilesAreRead() {
        QFETCH(QString, path);
        QTemporaryDir dir;
        const std::string fifo = dir.filePath("fifo").toStdString();
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        const std::string link = dir.filePath("link").toStdString();
        QCOMPARE(::symlink("/dev/zero", link.c_str()), 0);
        const std::string source = path == "fifo"   ? fifo
                                   : path == "link" ? link
                                                    : path.toStdString();
        std::ostringstream out, err;
        Console console{out, err, false, 0};
        const int code =
            runImport({"--ajouter", "--dossier", dir.path().toStdString(), source}, console);
        QVERIFY(code != 0);
        QVERIFY2(err.str().find("n'est pas un fichier ordinaire") != std::string::npos,
                 err.str().c_str());
    }

    // The cap holds while reading: a file may hold more than its size said when looked
    // at, as this one does (it says 0 bytes).
    void theSizeCapHoldsWhileReading() {
        const std::string grows = "/proc/self/status";
        QVERIFY(readImportFile(grows).size() > 64);
        try {
            readImportFile(grows, 64);
            QFAIL("the file should have been refused");
        } catch (const Error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains("dépasse 64 octets"), e.what());
        }
    }
};

QTEST_GUILESS_MAIN(HostileTest)
#include "tst_hostile.moc"
