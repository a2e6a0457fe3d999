// Nothing lost at the edges of the data file: failed saves, a start racing a rewrite,
// the scratch file of a crash, and the backups kept before a rewrite. Every case is
// checked on the bytes on disk.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "store/Backup.h"
#include "store/DataFile.h"
#include "store/Errors.h"
#include "StoreCases.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace q7;
using Op = FaultyFileSystem::Op;

namespace {

// A catalogue of `n` books in a fresh folder, opened through the faulty file layer.
struct Opened {
    explicit Opened(int n) {
        writeCatalogue(dir(tmp), books(n));
        before = bytes();
        data.open();
        // Faults hit the catalogue itself; its journal is tried by the crash replay.
        fs.onlyFor("Q7.dat");
    }
    std::string bytes() const { return readBytes(dir(tmp) + "/Q7.dat"); }
    QTemporaryDir tmp;
    FaultyFileSystem fs;
    DataFile data{Folder(fs, dir(tmp))};
    std::string before; // the file as it was written
};

QStringList backups(const QTemporaryDir& tmp) {
    return QDir(tmp.filePath(QStringLiteral("Sauvegardes"))).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A save that fails leaves Q7.dat exactly as it was, and the next save works.
    void failedSaveLeavesTheFileAsItWas_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<int>("op"); // -1: disk full after `bytes`
        QTest::addColumn<long long>("bytes");
        QTest::newRow("append, disk full mid-record") << true << -1 << 300LL;
        QTest::newRow("append, disk full at once") << true << -1 << 0LL;
        QTest::newRow("append, write error") << true << int(Op::Write) << 0LL;
        QTest::newRow("append, flush fails") << true << int(Op::Sync) << 0LL;
        QTest::newRow("append, torn write") << true << -2 << 0LL;
        QTest::newRow("replace, torn write") << false << -2 << 0LL;
        QTest::newRow("replace, flush fails") << false << int(Op::Sync) << 0LL;
    }
    void failedSaveLeavesTheFileAsItWas() {
        QFETCH(bool, append);
        QFETCH(int, op);
        QFETCH(long long, bytes);
        Opened o(3);
        auto& [tmp, fs, data, before] = o;
        Fiche shown;
        data.seek(1);
        data.read(shown);
        if (op == -1)
            fs.diskFullAfter(bytes);
        else if (op == -2)
            fs.tearNthWrite(1);
        else
            fs.failNth(Op(op), 1);
        data.seek(append ? 3 : 1);
        const Fiche changed = FicheBuilder().numero(99).set(Field::titre, "Nouveau");
        QVERIFY_THROWS_EXCEPTION(IoError, data.write(changed));
        QCOMPARE(o.bytes(), before);
        QCOMPARE(data.count(), 3);
        QCOMPARE(data.tailBytes(), std::uint64_t(0));
        // Reads see the old record, not the one that failed.
        Fiche f;
        data.seek(1);
        data.read(f);
        QCOMPARE(f.text(Field::numero), std::string("2"));

        fs.reset();
        data.seek(data.count());
        data.write(changed);
        data.close();
        QCOMPARE(readCatalogue(dir(tmp)).size(), std::size_t(4));
        QCOMPARE(readCatalogue(dir(tmp)).back().text(Field::numero), std::string("99"));
    }

    // When the file cannot even be put back, the error says so, after the first cause.
    void undoThatFailsIsReported_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<QString>("message");
        QTest::newRow("append") << true
                                << "Disque plein. La fiche à moitié écrite n'a pas pu être "
                                   "retirée de la fin de Q7.dat (Erreur E/S 5)";
        QTest::newRow("replace") << false
                                 << "Disque plein. La fiche d'avant n'a pas pu être remise dans "
                                    "Q7.dat (Disque plein)";
    }
    void undoThatFailsIsReported() {
        QFETCH(bool, append);
        QFETCH(QString, message);
        Opened o(2);
        auto& [tmp, fs, data, before] = o;
        fs.diskFullAfter(100);
        fs.failNth(Op::Truncate, 1);
        data.seek(append ? 2 : 0);
        try {
            data.write(FicheBuilder().numero(7));
            QFAIL("the save should have failed");
        } catch (const Error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
    }

    void appendIsAllOrNothing() {
        Opened o(2);
        auto& [tmp, fs, data, before] = o;
        fs.diskFullAfter(3 * 1048 + 10);
        QVERIFY_THROWS_EXCEPTION(IoError, data.append(books(5)));
        QCOMPARE(o.bytes(), before);
        QCOMPARE(data.count(), 2);
        fs.reset();
        data.append(books(5));
        QCOMPARE(data.count(), 7);
        QCOMPARE(data.position(), 7);
        data.close();
        QCOMPARE(readCatalogue(dir(tmp))[6].text(Field::numero), std::string("5"));
    }

    // A second program opens Q7.dat just before the first renames a new catalogue over
    // it, and takes its lock just after: it must not end up on the replaced file.
    void lockFollowsTheRename_data() {
        QTest::addColumn<bool>("firstStaysOpen");
        QTest::newRow("first still running") << true;
        QTest::newRow("first closed after its rewrite") << false;
    }
    void lockFollowsTheRename() {
        QFETCH(bool, firstStaysOpen);
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(3));
        DataFile first(Folder(posixFileSystem(), dir(tmp)));
        first.open();
        FaultyFileSystem fs;
        fs.beforeNextLock([&] {
            reverse(first);
            if (!firstStaysOpen) first.close();
        });
        DataFile second(Folder(fs, dir(tmp)));
        if (firstStaysOpen) {
            QVERIFY_THROWS_EXCEPTION(LockedError, second.open());
            return;
        }
        second.open();
        Fiche f;
        second.read(f);
        QCOMPARE(f.text(Field::numero), std::string("3")); // the rewritten catalogue
        second.seek(3);
        second.write(FicheBuilder().numero(4));
        second.close();
        QCOMPARE(readCatalogue(dir(tmp)).size(), std::size_t(4));
    }

    // The first program closes an empty catalogue (removing Q7.dat) in between.
    void lockFollowsARemovedCatalogue() {
        QTemporaryDir tmp;
        DataFile first(Folder(posixFileSystem(), dir(tmp)));
        first.open();
        FaultyFileSystem fs;
        fs.beforeNextLock([&] { first.close(); });
        DataFile second(Folder(fs, dir(tmp)));
        second.open();
        second.write(FicheBuilder().numero(1));
        QCOMPARE(readCatalogue(dir(tmp)).size(), std::size_t(1));
        second.close();
    }

    // A rewrite given up half way (a failure, an exception) takes its scratch file with
    // it; one whose scratch file another holder has locked is refused, that file kept.
    void abandonedRewriteLeavesNoScratch() {
        Opened o(3);
        {
            auto writer = o.data.beginRewrite();
            writer->append(FicheBuilder().numero(9));
        }
        QVERIFY(!QFile::exists(o.tmp.filePath(QStringLiteral("Q7.tmp"))));
        QCOMPARE(o.bytes(), o.before);

        RecordWriter other(posixFileSystem(), dir(o.tmp) + "/Q7.tmp");
        other.append(FicheBuilder().numero(7));
        other.finish();
        QVERIFY_THROWS_EXCEPTION(LockedError, o.data.beginRewrite());
        QCOMPARE(QFileInfo(o.tmp.filePath(QStringLiteral("Q7.tmp"))).size(), qint64(1048));
        QCOMPARE(o.bytes(), o.before);
    }

    void leftoverScratchIsRemovedOnceLocked() {
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(2));
        writeBytes(dir(tmp) + "/Q7.tmp", std::string(1048, 'x'));
        DataFile running(Folder(posixFileSystem(), dir(tmp)));
        running.open();
        QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("Q7.tmp"))));
        // Not while another program holds the catalogue: that one may be rewriting it.
        writeBytes(dir(tmp) + "/Q7.tmp", std::string(1048, 'x'));
        DataFile second(Folder(posixFileSystem(), dir(tmp)));
        QVERIFY_THROWS_EXCEPTION(LockedError, second.open());
        QVERIFY(QFile::exists(tmp.filePath(QStringLiteral("Q7.tmp"))));
        QCOMPARE(running.count(), 2);
    }

    // Before a rewrite replaces Q7.dat, the old catalogue is kept; how it is kept
    // depends on what the file system allows, and a failure never stops the rewrite.
    void rewriteKeepsABackup_data() {
        QTest::addColumn<int>("failingOp"); // -1: none
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("kept");
        QTest::newRow("hard link") << -1 << 0 << true;
        QTest::newRow("no links: copy") << int(Op::Link) << EXDEV << true;
        QTest::newRow("folder cannot be made") << int(Op::MakeDir) << EACCES << false;
        QTest::newRow("copy fails") << int(Op::Sync) << ENOSPC << false;
    }
    void rewriteKeepsABackup() {
        QFETCH(int, failingOp);
        QFETCH(int, code);
        QFETCH(bool, kept);
        Opened o(3);
        auto& [tmp, fs, data, before] = o;
        if (failingOp >= 0) {
            fs.onlyFor("Sauvegardes");
            fs.failNth(Op::Link, 1, EXDEV); // a copy is what is tested past the link
            fs.failNth(Op(failingOp), 1, code);
        }
        reverse(data);
        QCOMPARE(readCatalogue(dir(tmp)).front().text(Field::numero), std::string("3"));
        const QStringList names = backups(tmp);
        const QString note = QString::fromStdString(data.takeBackupNote());
        QVERIFY(data.takeBackupNote().empty());
        if (!kept) {
            QVERIFY(names.isEmpty());
            QVERIFY(
                note.startsWith(QStringLiteral("La commande a été faite, mais sans sauvegarde")));
            QVERIFY(note.contains(QString::fromStdString(ioMessage(code))));
            return;
        }
        QCOMPARE(note, QString());
        QCOMPARE(names.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^Q7-000001-\\d{8}-\\d{6}\\.dat$"))
                    .match(names.front())
                    .hasMatch());
        const std::string backup = dir(tmp) + "/Sauvegardes/" + names.front().toStdString();
        QCOMPARE(readBytes(backup), before);
        // A later save does not reach the backup, linked or copied.
        data.seek(0);
        data.write(FicheBuilder().numero(42));
        QCOMPARE(readBytes(backup), before);
    }

    void failedRewriteLeavesNoBackup() {
        Opened o(3);
        auto& [tmp, fs, data, before] = o;
        fs.failNth(Op::Rename, 1);
        QVERIFY_THROWS_EXCEPTION(IoError, reverse(data));
        QVERIFY(backups(tmp).isEmpty());
        QCOMPARE(o.bytes(), before);
        QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("Q7.tmp"))));
    }

    void tenNewestBackupsAreKept() {
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(1));
        Folder folder(posixFileSystem(), dir(tmp));
        const std::time_t start = 1700000000;
        QStringList expected;
        for (int i = 0; i < 11; ++i) {
            const Backup b = backUpCatalogue(folder, BackupMethod::Copy, start + 60 * i);
            QVERIFY(!b.failed());
            QCOMPARE(QString::fromStdString(b.path).section(u'/', -1),
                     backupName(i + 1, start + 60 * i));
            if (i >= 2) expected << backupName(i + 1, start + 60 * i);
        }
        // A second backup within the same second has its own number, and counts as newer.
        const Backup again = backUpCatalogue(folder, BackupMethod::Copy, start + 600);
        QCOMPARE(QString::fromStdString(again.path).section(u'/', -1), backupName(12, start + 600));
        expected << backupName(12, start + 600);
        // Not a backup of ours: never removed.
        writeBytes(dir(tmp) + "/Sauvegardes/mon-catalogue.dat", "garde");
        expected << QStringLiteral("mon-catalogue.dat");
        pruneBackups(folder);
        expected.sort();
        QCOMPARE(backups(tmp), expected);
    }

    void emptyCatalogueNeedsNoBackup() {
        QTemporaryDir tmp;
        writeBytes(dir(tmp) + "/Q7.dat", "");
        const Backup b = backUpCatalogue(Folder(posixFileSystem(), dir(tmp)), BackupMethod::Copy);
        QVERIFY(!b.failed());
        QVERIFY(b.path.empty());
        QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("Sauvegardes"))));
    }
};

QTEST_GUILESS_MAIN(TestSafety)
#include "tst_safety.moc"
