// What a crash or a user leaves in the data folder, met at the next open: scratch files,
// a backup that is the live catalogue, a Q7.dat that is a symbolic link; and the two
// small writes that must never leave a fragment: the backups' pruning and the list of
// references of deleted books.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "lists/OldReferences.h"
#include "store/Backup.h"
#include "store/DataFile.h"
#include "store/Errors.h"
#include "StoreCases.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace q7;

namespace {

std::uint64_t inode(const std::string& path) {
    return posixFileSystem().idOf(path).inode;
}

} // namespace

class LeftoversTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crashLeftoversGoAtOpen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("list") << "Q7auteur.lst.tmp" << true;
        QTest::newRow("notebook") << "Q7carnet.txt.tmp" << true;
        QTest::newRow("export, any case") << "q7EXPORT.CSV.TMP" << true;
        QTest::newRow("import undo data") << "Q7import.der.tmp" << true;
        QTest::newRow("backup copy cut short") << "Sauvegardes/Q7-20260101-101010.dat.part" << true;
        QTest::newRow("a backup") << "Sauvegardes/Q7-20260101-101010.dat" << false;
        QTest::newRow("not ours") << "notes.tmp" << false;
        QTest::newRow("a list") << "Q7auteur.lst" << false;
        QTest::newRow("not ours in backups") << "Sauvegardes/mon.dat.part" << false;
    }
    void crashLeftoversGoAtOpen() {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(2));
        QDir(tmp.path()).mkdir(QStringLiteral("Sauvegardes"));
        writeBytes(tmp.filePath(name).toStdString(), "reste");
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        QCOMPARE(!QFile::exists(tmp.filePath(name)), removed);
        QCOMPARE(data.count(), 2);
    }

    // A crash between the backup's hard link and the rename: the "backup" is Q7.dat
    // itself, and the next save would change it too.
    void backupThatIsTheCatalogueGoesAtOpen() {
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(2));
        QDir(tmp.path()).mkdir(QStringLiteral("Sauvegardes"));
        const std::string live = dir(tmp) + "/Q7.dat";
        const std::string linked = dir(tmp) + "/Sauvegardes/Q7-20260101-101010.dat";
        const std::string copy = dir(tmp) + "/Sauvegardes/Q7-20251231-101010.dat";
        QCOMPARE(::link(live.c_str(), linked.c_str()), 0);
        writeBytes(copy, readBytes(live));
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        QVERIFY(!QFile::exists(QString::fromStdString(linked)));
        QVERIFY(QFile::exists(QString::fromStdString(copy)));
    }

    // Backups are kept in the order they were made, whatever the clock said: the ten
    // last made stay, the one a report names first of all. Names of earlier versions
    // (no number) were all made before, oldest date first.
    void backupsKeptInTheOrderMade_data() {
        QTest::addColumn<QList<qint64>>("clock"); // the time of each backup, in order
        QTest::addColumn<QStringList>("earlier"); // names already there, oldest first
        const qint64 y2030 = 1900000000, y2020 = 1600000000;
        QList<qint64> forward, setBack, backwards, sameSecond;
        for (int i = 0; i < 13; ++i) {
            forward << y2020 + 60 * i;
            setBack << (i < 6 ? y2030 : y2020) + 60 * i;
            backwards << y2030 - 3600 * i;
            sameSecond << y2020;
        }
        QTest::newRow("clock forward") << forward << QStringList();
        QTest::newRow("clock set back after six") << setBack << QStringList();
        QTest::newRow("clock going back each time") << backwards << QStringList();
        QTest::newRow("all in one second") << sameSecond << QStringList();
        QTest::newRow("earlier names dated in the future")
            << backwards.mid(0, 9)
            << QStringList{"Q7-20340101-000000.dat", "Q7-20350101-101010.dat",
                           "Q7-20350101-101010-2.dat", "Q7-20350101-101010-10.dat"};
    }
    void backupsKeptInTheOrderMade() {
        QFETCH(QList<qint64>, clock);
        QFETCH(QStringList, earlier);
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(1));
        QDir(tmp.path()).mkdir(QStringLiteral("Sauvegardes"));
        for (const QString& name : earlier)
            writeBytes(dir(tmp) + "/Sauvegardes/" + name.toStdString(), "avant");
        Folder folder(posixFileSystem(), dir(tmp));
        QStringList made = earlier;
        for (const qint64 when : clock) {
            const Backup b = backUpCatalogue(folder, BackupMethod::Copy, std::time_t(when));
            QVERIFY(!b.failed());
            pruneBackups(folder, backupsKept, b.path);
            QVERIFY(QFile::exists(QString::fromStdString(b.path)));
            made << QString::fromStdString(b.path).section(u'/', -1);
            QStringList expected = made.mid(std::max<qsizetype>(0, made.size() - backupsKept));
            expected.sort();
            QCOMPARE(QDir(tmp.filePath(QStringLiteral("Sauvegardes")))
                         .entryList(QDir::Files, QDir::Name),
                     expected);
        }
    }

    // A Q7.dat that is a link to a file elsewhere: a rewrite changes that file, the link
    // stays a link, and the backup is a file of its own.
    void symbolicLinkIsFollowed() {
        QTemporaryDir folderDir, elsewhere;
        const std::string target = dir(elsewhere) + "/catalogue.dat";
        writeCatalogue(dir(elsewhere), books(3), "catalogue.dat");
        const std::string before = readBytes(target);
        QCOMPARE(::symlink(target.c_str(), (dir(folderDir) + "/Q7.dat").c_str()), 0);
        DataFile data(Folder(posixFileSystem(), dir(folderDir)));
        data.open();
        reverse(data);
        data.close();
        QVERIFY(QFileInfo(folderDir.filePath(QStringLiteral("Q7.dat"))).isSymLink());
        const auto records = readCatalogue(dir(elsewhere), "catalogue.dat");
        QCOMPARE(records.size(), std::size_t(3));
        QCOMPARE(records.front().text(Field::numero), std::string("3"));
        const QStringList kept =
            QDir(folderDir.filePath(QStringLiteral("Sauvegardes"))).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        const std::string backup = dir(folderDir) + "/Sauvegardes/" + kept.front().toStdString();
        QCOMPARE(readBytes(backup), before);
        QVERIFY(!QFileInfo(QString::fromStdString(backup)).isSymLink());
        QVERIFY(inode(backup) != inode(target));
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("Q7.tmp"))));
    }

    void oldReferenceIsAddedWhole_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << QByteArray("3\r\n");
        QTest::newRow("last line without its end") << QByteArray("2") << QByteArray("2\r\n3\r\n");
        QTest::newRow("whole lines") << QByteArray("1\r\n2\r\n") << QByteArray("1\r\n2\r\n3\r\n");
        QTest::newRow("hidden tail kept after")
            << QByteArray("1\r\n\0old\r\n", 9) << QByteArray("1\r\n3\r\n\0old\r\n", 12);
    }
    void oldReferenceIsAddedWhole() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir tmp;
        const std::string path = dir(tmp) + "/Q7ancnum.lst";
        if (!before.isEmpty()) writeBytes(path, before.toStdString());
        addOldReference(Folder(posixFileSystem(), dir(tmp)), "3");
        QCOMPARE(QByteArray::fromStdString(readBytes(path)), after);
        QCOMPARE(readOldReferences(Folder(posixFileSystem(), dir(tmp))).back(), std::string("3"));
    }

    // A full disk: the list stays as it was, with no fragment that a later reference
    // would complete into a number still in use.
    void oldReferenceOnAFullDisk() {
        QTemporaryDir tmp;
        const std::string path = dir(tmp) + "/Q7ancnum.lst";
        writeBytes(path, "1\r\n");
        FaultyFileSystem fs;
        fs.diskFullAfter(4);
        QVERIFY_THROWS_EXCEPTION(IoError, addOldReference(Folder(fs, dir(tmp)), "2"));
        QCOMPARE(readBytes(path), std::string("1\r\n"));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files), QStringList{"Q7ancnum.lst"});
    }
};

QTEST_GUILESS_MAIN(LeftoversTest)
#include "tst_leftovers.moc"
