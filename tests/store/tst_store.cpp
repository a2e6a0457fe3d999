// The record layout, the code page and the data file, checked on bytes on disk.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "store/Errors.h"
#include "store/FrenchOrder.h"
#include "store/ListFile.h"
#include "store/Numbers.h"
#include "store/TextFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace q7;

Q_DECLARE_METATYPE(q7::Field)

class TestStore : public QObject {
    Q_OBJECT

    std::string dir(const QTemporaryDir& d) { return d.path().toStdString(); }

private Q_SLOTS:
    void codePageRoundTripsEveryByte() {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        QCOMPARE(utf8ToCp1252(cp1252ToUtf8(all)), all);
    }

    void codePageCharacters_data() {
        QTest::addColumn<QString>("utf8");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("euro") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("e acute") << QStringLiteral("é") << QByteArray("\xE9");
        QTest::newRow("degree") << QStringLiteral("°") << QByteArray("\xB0");
        QTest::newRow("oe") << QStringLiteral("œ") << QByteArray("\x9C");
        QTest::newRow("arrow is not in it") << QStringLiteral("a→b") << QByteArray("a?b");
        QTest::newRow("emoji") << QStringLiteral("x😀") << QByteArray("x?");
    }
    void codePageCharacters() {
        QFETCH(QString, utf8);
        QFETCH(QByteArray, bytes);
        QCOMPARE(QByteArray::fromStdString(utf8ToCp1252(utf8.toStdString())), bytes);
    }

    // One reading of UTF-8 for the whole program: the check of a file's encoding and the
    // conversion to the code page agree, and a malformed byte is never the character an
    // overlong form pretends to be.
    void utf8IsReadStrictly_data() {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("replaced");
        auto row = [](const char* name, QByteArray given, bool valid, QByteArray bytes,
                      int replaced) { QTest::newRow(name) << given << valid << bytes << replaced; };
        row("plain", "Zola", true, "Zola", 0);
        row("two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true, "\xE9\x80?",
            1);
        row("a question mark is no loss", "?", true, "?", 0);
        row("overlong slash",
            "a\xC0\xAF"
            "b",
            false, "a??b", 2);
        row("overlong three bytes", "\xE0\x80\xAF", false, "???", 3);
        row("overlong four bytes", "\xF0\x80\x80\xAF", false, "????", 4);
        row("surrogate", "\xED\xA0\x80", false, "???", 3);
        row("past U+10FFFF", "\xF4\x90\x80\x80", false, "????", 4);
        row("cut short at the end", "caf\xC3", false, "caf?", 1);
        row("cut short by a letter", "\xE9t\xE9", false, "?t?", 2);
        row("stray continuation", "\x80\xBF", false, "??", 2);
        row("lead bytes that start nothing", "\xF8\xFF", false, "??", 2);
    }
    void utf8IsReadStrictly() {
        QFETCH(QByteArray, given);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);
        QFETCH(int, replaced);
        QCOMPARE(validUtf8(given.toStdString()), valid);
        std::size_t lost = 0;
        QCOMPARE(QByteArray::fromStdString(utf8ToCp1252(given.toStdString(), &lost)), bytes);
        QCOMPARE(int(lost), replaced);
        if (valid)
            QCOMPARE(QString::fromStdString(cp1252ToUtf8(bytes.toStdString())),
                     QString::fromUtf8(given).replace(QStringLiteral("😀"), "?"));
    }

    // The one order of the lists: case ignored, accents only between otherwise equal
    // texts, the same on the widgets' texts and on the stored bytes.
    void frenchOrder_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        auto row = [](const char* a, const char* b, int sign) {
            QTest::addRow("%s %s", a, b) << QString::fromUtf8(a) << QString::fromUtf8(b) << sign;
        };
        row("abc", "ABC", 0);
        row("a", "B", -1);
        row("Zola", "émile", 1);
        row("éa", "eb", -1);
        row("cote", "côte", -1);
        row("Élan", "etre", -1);
        row("œuvre", "Orwell", -1); // œ reads oe
        row("2 tomes", "A", -1);
    }
    void frenchOrder() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const auto signOf = [](int v) { return (v > 0) - (v < 0); };
        QCOMPARE(signOf(compareFrench(a, b)), sign);
        QCOMPARE(signOf(compareFrench(b, a)), -sign);
        const auto key = [](const QString& t) { return frenchSortKey(t); };
        QCOMPARE(signOf(key(a).compare(key(b))), sign);
    }

    void frenchSortIsStableAndAlikeOnBytes() {
        const QStringList given{"Zola",  "émile", "abc",  "Balzac", "ABC",
                                "Émile", "côte",  "cote", "Abc"};
        QStringList texts = given;
        sortFrench(texts);
        const QStringList expected{"abc",  "ABC",   "Abc",   "Balzac", "cote",
                                   "côte", "émile", "Émile", "Zola"};
        QCOMPARE(texts, expected);
        std::vector<std::string> bytes;
        for (const QString& t : given)
            bytes.push_back(utf8ToCp1252(t.toStdString()));
        sortFrench(bytes);
        QStringList fromBytes;
        for (const std::string& b : bytes)
            fromBytes << QString::fromStdString(cp1252ToUtf8(b));
        QCOMPARE(fromBytes, texts);
    }

    void fieldOffsets_data() {
        QTest::addColumn<Field>("field");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("capacity");
        const struct {
            const char* n;
            Field f;
            int o;
            int c;
        } rows[] = {
            {"titre", Field::titre, 0, 55},           {"auteur", Field::auteur, 56, 42},
            {"sujet", Field::sujet, 99, 42},          {"collection", Field::collection, 142, 42},
            {"edition", Field::edition, 185, 42},     {"txtutil", Field::txtutil, 228, 42},
            {"imprimeur", Field::imprimeur, 271, 42}, {"type", Field::type, 314, 20},
            {"langue", Field::langue, 335, 13},       {"etat", Field::etat, 349, 13},
            {"isbn", Field::isbn, 363, 13},           {"numero", Field::numero, 377, 8},
            {"pos1", Field::pos1, 386, 20},           {"pos2", Field::pos2, 407, 20},
            {"pos3", Field::pos3, 428, 20},           {"pos4", Field::pos4, 449, 20},
            {"origine", Field::origine, 470, 35},     {"prix", Field::prix, 506, 4},
            {"anedition", Field::anedition, 511, 4},  {"nbpage", Field::nbpage, 516, 4},
            {"notes", Field::notes, 536, 255},        {"resume", Field::resume, 792, 255},
        };
        for (const auto& r : rows)
            QTest::newRow(r.n) << r.f << r.o << r.c;
    }
    void fieldOffsets() {
        QFETCH(Field, field);
        QFETCH(int, offset);
        QFETCH(int, capacity);
        Fiche f;
        const std::string long_(300, 'x');
        f.setText(field, long_);
        QCOMPARE(int(f.bytes[offset]), capacity);
        QCOMPARE(f.bytes[offset + capacity], static_cast<unsigned char>('x'));
        QCOMPARE(f.text(field).size(), std::size_t(capacity));
        // Nothing outside the field was touched.
        int touched = 0;
        for (std::size_t i = 0; i < ficheSize; ++i)
            touched += f.bytes[i] != 0;
        QCOMPARE(touched, capacity + 1);
    }

    void flagsAndDate() {
        Fiche f = FicheBuilder()
                      .flag(Flag::plutome)
                      .flag(Flag::plusauteur)
                      .flag(Flag::lut)
                      .flag(Flag::hs)
                      .flag(Flag::signet)
                      .flag(Flag::cocheutil)
                      .flag(Flag::jacquette)
                      .date(7, 12, -2)
                      .build();
        for (int i = 521; i <= 527; ++i)
            QCOMPARE(int(f.bytes[i]), 1);
        QCOMPARE(int(f.bytes[528]), 7);
        QCOMPARE(int(f.bytes[529]), 12);
        QCOMPARE(f.annee(), -2);
        QCOMPARE(int(f.bytes[532]), 0xFE);
        QCOMPARE(int(f.bytes[535]), 0xFF);
        f.bytes[523] = 2;
        QVERIFY(!f.flagIsOne(Flag::lut));
    }

    void shorterTextKeepsTheTail() {
        Fiche f;
        f.setText(Field::titre, "Les Miserables");
        f.setText(Field::titre, "Nana");
        QCOMPARE(f.text(Field::titre), std::string("Nana"));
        QCOMPARE(std::string(reinterpret_cast<char*>(&f.bytes[1]), 14),
                 std::string("NanaMiserables"));
    }

    void oversizedLengthIsClamped() {
        Fiche f;
        f.bytes[377] = 200; // numero holds 8 at most
        QCOMPARE(f.text(Field::numero).size(), std::size_t(8));
        f.bytes[792] = 255; // resume: capacity 255, the last byte of the record
        QCOMPARE(f.text(Field::resume).size(), std::size_t(255));
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("plain") << "250" << true << 250;
        QTest::newRow("negative") << "-12" << true << -12;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("slash") << "3/120" << false << 0;
        QTest::newRow("blank") << " 1" << false << 0;
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        try {
            QCOMPARE(toInt32(text.toStdString()), value);
            QVERIFY(ok);
        } catch (const ConversionError& e) {
            QVERIFY(!ok);
            QCOMPARE(QString::fromUtf8(e.what()),
                     "'" + text + "' n'est pas une valeur entière correcte");
        }
    }

    // A page count holding a NUL (a damaged record) is still named whole in the message.
    void conversionMessageWithANul() {
        try {
            toInt32(std::string("1\0x", 3));
            QFAIL("a NUL is no digit");
        } catch (const ConversionError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("'1?x' n'est pas une valeur entière correcte"));
        }
    }

    void decimals() {
        QCOMPARE(double(toDecimal("12,5")), 12.5);
        QCOMPARE(double(toDecimal("3")), 3.0);
        QCOMPARE(double(toDecimal(",5")), 0.5);
        QVERIFY_THROWS_EXCEPTION(ConversionError, toDecimal(","));
        QVERIFY_THROWS_EXCEPTION(ConversionError, toDecimal("12.5"));
        QVERIFY_THROWS_EXCEPTION(ConversionError, toDecimal(""));
    }

    void dataFileCreatesReadsWritesAndDeletesWhenEmpty() {
        QTemporaryDir tmp;
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        QVERIFY(QFile::exists(tmp.filePath("Q7.dat")));
        QCOMPARE(data.count(), 0);
        QVERIFY(data.atEnd());
        data.close();
        QVERIFY(!QFile::exists(tmp.filePath("Q7.dat")));

        data.open();
        for (int i = 1; i <= 3; ++i)
            data.write(FicheBuilder().numero(i));
        QCOMPARE(data.count(), 3);
        QCOMPARE(data.position(), 3);
        data.seek(1);
        Fiche f;
        data.read(f);
        QCOMPARE(f.text(Field::numero), std::string("2"));
        QCOMPARE(data.position(), 2);
        // Overwrite record 1 and read it back through the read-ahead block.
        data.seek(0);
        data.read(f);
        data.write(FicheBuilder().numero(20));
        data.seek(1);
        data.read(f);
        QCOMPARE(f.text(Field::numero), std::string("20"));
        data.read(f);
        QVERIFY(data.atEnd());
        QVERIFY_THROWS_EXCEPTION(IoError, data.read(f));
        data.seek(3);
        QVERIFY_THROWS_EXCEPTION(IoError, data.read(f));
        QVERIFY_THROWS_EXCEPTION(IoError, data.seek(-1));
        QVERIFY_THROWS_EXCEPTION(IoError, data.seek(4));
        data.close();
        QCOMPARE(QFileInfo(tmp.filePath("Q7.dat")).size(), 3 * 1048);
    }

    void dataFileReadsManyBlocks() {
        QTemporaryDir tmp;
        std::vector<Fiche> records;
        for (int i = 0; i < 200; ++i)
            records.push_back(FicheBuilder().numero(i));
        writeCatalogue(dir(tmp), records);
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        Fiche f;
        for (int i = 0; i < 200; ++i) {
            data.read(f);
            QCOMPARE(f.text(Field::numero), std::to_string(i));
        }
        QVERIFY(data.atEnd());
    }

    void nameIsFoundIgnoringCase() {
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), {FicheBuilder().numero(1)}, "q7.DAT");
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        QCOMPARE(data.count(), 1);
        data.close();
        QVERIFY(!QFile::exists(tmp.filePath("Q7.dat")));
    }

    void secondOpenIsRefused() {
        QTemporaryDir tmp;
        DataFile first(Folder(posixFileSystem(), dir(tmp)));
        first.open();
        DataFile second(Folder(posixFileSystem(), dir(tmp)));
        QVERIFY_THROWS_EXCEPTION(LockedError, second.open());
        first.close();
    }

    void partialRecordIsNeverWrittenOver() {
        QTemporaryDir tmp;
        std::string bytes(1048 * 2 + 100, 'a');
        writeBytes(dir(tmp) + "/Q7.dat", bytes);
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        QCOMPARE(data.count(), 2);
        QCOMPARE(data.tailBytes(), std::uint64_t(100));
        data.seek(2);
        QVERIFY_THROWS_EXCEPTION(Error, data.write(Fiche{}));
        // A rewrite keeps the damaged end.
        auto w = data.beginRewrite();
        Fiche f;
        data.seek(0);
        data.read(f);
        w->append(f);
        data.commitRewrite(std::move(w));
        data.close();
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), std::string(1048 + 100, 'a'));
    }

    void failedRewriteLeavesCatalogueWhole_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("nth");
        QTest::newRow("write") << int(FaultyFileSystem::Op::Write) << 1;
        QTest::newRow("sync") << int(FaultyFileSystem::Op::Sync) << 1;
        QTest::newRow("rename") << int(FaultyFileSystem::Op::Rename) << 1;
    }
    void failedRewriteLeavesCatalogueWhole() {
        QFETCH(int, op);
        QFETCH(int, nth);
        QTemporaryDir tmp;
        std::vector<Fiche> records;
        for (int i = 1; i <= 5; ++i)
            records.push_back(FicheBuilder().numero(i));
        writeCatalogue(dir(tmp), records);
        const std::string before = readBytes(dir(tmp) + "/Q7.dat");
        FaultyFileSystem fs;
        DataFile data(Folder(fs, dir(tmp)));
        data.open();
        fs.failNth(FaultyFileSystem::Op(op), nth);
        try {
            auto w = data.beginRewrite();
            Fiche f;
            data.seek(0);
            while (!data.atEnd()) {
                data.read(f);
                w->append(f);
            }
            data.commitRewrite(std::move(w));
            QFAIL("the rewrite should have failed");
        } catch (const IoError&) {
        }
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), before);
        QVERIFY(!QFile::exists(tmp.filePath("Q7.tmp")));
        QCOMPARE(data.count(), 5);
    }

    void fullDiskDuringReplaceKeepsTheOldFile() {
        QTemporaryDir tmp;
        writeBytes(dir(tmp) + "/Q7auteur.lst", "Hugo\r\nZola\r\n");
        FaultyFileSystem fs;
        fs.diskFullAfter(3);
        Folder folder(fs, dir(tmp));
        QVERIFY_THROWS_EXCEPTION(IoError, writeListFile(folder, "Q7auteur.lst", {"A", "B"}));
        QCOMPARE(readBytes(dir(tmp) + "/Q7auteur.lst"), std::string("Hugo\r\nZola\r\n"));
        QVERIFY(!QFile::exists(tmp.filePath("Q7auteur.lst.tmp")));
    }

    void ioMessages() {
        QCOMPARE(std::string(IoError(ENOENT).what()), std::string("Fichier introuvable"));
        QCOMPARE(std::string(IoError(ENOSPC).what()), std::string("Disque plein"));
        QCOMPARE(std::string(IoError(IoError::readPastEnd).what()),
                 std::string("Lecture au-delà de la fin de fichier"));
        QCOMPARE(std::string(IoError(EIO).what()), std::string("Erreur E/S 5"));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
