// A journal left by a crash is applied only to the catalogue and the write it was made for:
// after the Windows program, a copy by hand, a backup put back or a journal brought from
// another folder, Q7.dat is left exactly as found and the journal set aside, said once.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "import/Append.h"
#include "import/Importer.h"
#include "store/DataFile.h"
#include "store/Journal.h"
#include "StoreCases.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace q7;
namespace fsys = std::filesystem;

namespace {

std::vector<Fiche> otherBooks(int n) {
    std::vector<Fiche> records;
    for (int i = 1; i <= n; ++i)
        records.push_back(FicheBuilder().numero(500 + i).set(Field::titre, "Autre livre"));
    return records;
}

// A save of the fifth record (or an append) cut by a crash: its entry written, the first
// sector of the new record on the disk.
void cutSave(const std::string& dir, bool append) {
    const Folder folder(posixFileSystem(), dir);
    auto data = posixFileSystem().open(dir + "/Q7.dat", OpenMode::ReadWrite);
    const std::uint64_t size = data->size();
    const std::uint64_t at = append ? size : 4 * ficheSize;
    const Fiche changed = FicheBuilder()
                              .numero(99)
                              .set(Field::titre, "Changé")
                              .set(Field::resume, std::string(200, 'r'));
    Journal journal(folder);
    journal.protect(*data, size, at, changed.bytes.data(), ficheSize);
    data->writeAt(changed.bytes.data(), (at / 512 + 1) * 512 - at, at);
} // dropped with its write unfinished: the entry stays

std::string journalOf(const std::string& dir) {
    return readBytes(dir + "/Q7.jnl");
}

JournalEntry handMade(std::uint64_t at, std::uint64_t size) {
    JournalEntry e;
    e.sizeBefore = at;
    e.offset = at;
    e.newSize = size;
    e.sectors.assign(3, 0);
    return e;
}

enum class Then {
    Nothing,
    WindowsAppend,
    SameSizeCopy,
    BackupRestored,
    SmallerCopy,
    OtherJournal,
    FarOffset,
    BadChecksum,
    OddLength,
    EarlierFormat,
};

// What happens to the folder between the crash and the next start.
void change(Then then, const std::string& at) {
    switch (then) {
    case Then::Nothing: break;
    case Then::WindowsAppend: {
        std::ofstream(at + "/Q7.dat", std::ios::binary | std::ios::app) << [] {
            std::string bytes;
            for (const Fiche& f : otherBooks(5))
                bytes.append(reinterpret_cast<const char*>(f.bytes.data()), ficheSize);
            return bytes;
        }();
        break;
    }
    case Then::SameSizeCopy:
        writeCatalogue(at, otherBooks(int(fsys::file_size(at + "/Q7.dat") / ficheSize)));
        break;
    case Then::BackupRestored: writeCatalogue(at, books(40)); break;
    case Then::SmallerCopy: writeCatalogue(at, books(10)); break;
    case Then::OtherJournal: {
        QTemporaryDir other;
        writeCatalogue(dir(other), otherBooks(30));
        cutSave(dir(other), false);
        writeBytes(at + "/Q7.jnl", journalOf(dir(other)));
        break;
    }
    case Then::FarOffset:
        writeBytes(at + "/Q7.jnl", journalBytes(handMade(std::uint64_t(1) << 40, ficheSize)));
        break;
    case Then::BadChecksum: {
        std::string bytes = journalOf(at);
        bytes[bytes.size() - 20] ^= 1;
        writeBytes(at + "/Q7.jnl", bytes);
        break;
    }
    case Then::OddLength:
        writeBytes(at + "/Q7.jnl", journalBytes(handMade(30 * ficheSize, 1000)));
        break;
    case Then::EarlierFormat: writeBytes(at + "/Q7.jnl", "Q7JNL1\r\n" + std::string(2000, 'x'));
    }
}

QStringList setAside(const QTemporaryDir& tmp) {
    return QDir(tmp.path()).entryList({"Q7-journal-*.jnl"}, QDir::Files | QDir::System);
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyItsOwnWriteIsRolledBack_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<int>("then");
        QTest::addColumn<QString>("found"); // how the note names it; empty: rolled back
        const QString other = "d'un autre catalogue";
        QTest::newRow("save cut") << false << int(Then::Nothing) << "";
        QTest::newRow("append cut") << true << int(Then::Nothing) << "";
        for (bool append : {false, true}) {
            const char* cut = append ? "append cut, " : "save cut, ";
            QTest::addRow("%sthe Windows program adds 5 books", cut)
                << append << int(Then::WindowsAppend) << other;
            QTest::addRow("%sa catalogue of the same size copied in", cut)
                << append << int(Then::SameSizeCopy) << other;
            QTest::addRow("%sa backup of 40 books restored", cut)
                << append << int(Then::BackupRestored) << other;
            // Past its end: no write of ours reaches there.
            QTest::addRow("%sa catalogue of 10 books copied in", cut)
                << append << int(Then::SmallerCopy) << (append ? QString("incohérent") : other);
            QTest::addRow("%sthe journal of another folder", cut)
                << append << int(Then::OtherJournal) << other;
        }
        QTest::newRow("an offset 1 TB away") << false << int(Then::FarOffset) << "incohérent";
        QTest::newRow("a length no save writes") << false << int(Then::OddLength) << "incohérent";
        QTest::newRow("a checksum that does not match")
            << false << int(Then::BadChecksum) << "abîmé";
        QTest::newRow("the earlier format")
            << false << int(Then::EarlierFormat) << "d'un format inconnu";
    }
    void onlyItsOwnWriteIsRolledBack() {
        QFETCH(bool, append);
        QFETCH(int, then);
        QFETCH(QString, found);
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(30));
        const std::string before = readBytes(dir(tmp) + "/Q7.dat");
        cutSave(dir(tmp), append);
        change(Then(then), dir(tmp));
        const std::string changed = readBytes(dir(tmp) + "/Q7.dat");
        const std::string journal = journalOf(dir(tmp));

        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        const QString note = QString::fromStdString(data.takeJournalNote());
        QVERIFY(data.takeJournalNote().empty()); // said once
        data.close();
        QVERIFY(!QFile::exists(tmp.filePath("Q7.jnl")));
        if (found.isEmpty()) {
            QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), before);
            QCOMPARE(note, QString());
            QCOMPARE(setAside(tmp), QStringList());
            return;
        }
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), changed);
        const QStringList kept = setAside(tmp);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readBytes(dir(tmp) + "/" + kept[0].toStdString()), journal);
        QCOMPARE(note, "Un journal d'écriture " + found +
                           " a été trouvé et mis de côté : " + kept[0] + ". Rien n'a été modifié.");
    }

    // No other kind of file is taken for a journal, nor written through, at the open or
    // at the saves after it.
    void aJournalThatIsNoFileIsSetAside_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("found");
        QTest::newRow("folder") << "folder"
                                << "qui est un dossier";
        QTest::newRow("link to a file") << "link"
                                        << "qui est un lien symbolique";
        QTest::newRow("link to nothing") << "dangling"
                                         << "qui est un lien symbolique";
        QTest::newRow("named pipe") << "fifo"
                                    << "qui est un fichier spécial";
    }
    void aJournalThatIsNoFileIsSetAside() {
        QFETCH(QString, kind);
        QFETCH(QString, found);
        QTemporaryDir tmp, elsewhere;
        writeCatalogue(dir(tmp), books(3));
        const std::string before = readBytes(dir(tmp) + "/Q7.dat");
        const std::string target = dir(elsewhere) + "/lettre.txt";
        writeBytes(target, "à moi");
        const std::string journal = dir(tmp) + "/Q7.jnl";
        if (kind == "folder") QVERIFY(QDir(tmp.path()).mkpath("Q7.jnl/dedans"));
        if (kind == "link") fsys::create_symlink(target, journal);
        if (kind == "dangling") fsys::create_symlink(dir(elsewhere) + "/rien", journal);
        if (kind == "fifo") QCOMPARE(::mkfifo(journal.c_str(), 0600), 0);

        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        QVERIFY(QString::fromStdString(data.takeJournalNote())
                    .startsWith("Un journal d'écriture " + found + " a été trouvé et mis de côté"));
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), before);
        QCOMPARE(setAside(tmp).size() +
                     QDir(tmp.path()).entryList({"Q7-journal-*"}, QDir::Dirs).size(),
                 1);
        data.seek(1);
        data.write(FicheBuilder().numero(2).set(Field::titre, "Autre titre"));
        data.close();
        QCOMPARE(readBytes(target), std::string("à moi"));
        QVERIFY(!fsys::exists(dir(elsewhere) + "/rien"));
        QCOMPARE(readCatalogue(dir(tmp))[1].text(Field::titre), std::string("Autre titre"));
    }

    // A link put in the journal's place while the program runs is never written through.
    void aSaveNeverWritesThroughALink() {
        QTemporaryDir tmp, elsewhere;
        writeCatalogue(dir(tmp), books(3));
        const std::string before = readBytes(dir(tmp) + "/Q7.dat");
        const std::string target = dir(elsewhere) + "/lettre.txt";
        writeBytes(target, "à moi");
        DataFile data(Folder(posixFileSystem(), dir(tmp)));
        data.open();
        fsys::create_symlink(target, dir(tmp) + "/Q7.jnl");
        data.seek(1);
        QVERIFY_THROWS_EXCEPTION(Error, data.write(FicheBuilder().numero(2)));
        data.close();
        QCOMPARE(readBytes(target), std::string("à moi"));
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), before);
    }

    // A save that failed and could not be undone keeps its journal: no later save takes
    // its place, and the next open puts the record back.
    void aFailedUndoWaitsForTheNextOpen() {
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(6));
        const std::string before = readBytes(dir(tmp) + "/Q7.dat");
        FaultyFileSystem fs;
        DataFile data(Folder(fs, dir(tmp)));
        data.open();
        fs.onlyFor("Q7.dat");
        fs.tearNthWrite(1);
        fs.failNth(FaultyFileSystem::Op::Write, 2);
        data.seek(4);
        const Fiche changed = FicheBuilder().numero(5).set(Field::resume, std::string(900, 'r'));
        QVERIFY_THROWS_EXCEPTION(Error, data.write(changed));
        fs.reset();
        QVERIFY(readBytes(dir(tmp) + "/Q7.dat") != before);
        data.seek(1);
        try {
            data.write(changed);
            QFAIL("saved over a journal still needed");
        } catch (const Error& e) {
            QVERIFY(std::string(e.what()).starts_with("Une écriture précédente dans Q7.dat n'a "
                                                      "pas pu être défaite"));
        }
        data.close();
        DataFile again(Folder(posixFileSystem(), dir(tmp)));
        again.open();
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), before);
        QVERIFY(again.takeJournalNote().empty());
    }

    void aReadOnlyCatalogueIsNotRepaired_data() {
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("said");
        QTest::newRow("a save to roll back")
            << true
            << "Le catalogue Q7.dat n'a pas pu être réparé après une écriture interrompue, car "
               "il est en lecture seule. Rien n'a été modifié.";
        QTest::newRow("nothing to roll back") << false << "Accès refusé";
    }
    void aReadOnlyCatalogueIsNotRepaired() {
        QFETCH(bool, cut);
        QFETCH(QString, said);
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(6));
        if (cut) cutSave(dir(tmp), false);
        const std::string before = readBytes(dir(tmp) + "/Q7.dat");
        FaultyFileSystem fs;
        fs.onlyFor("Q7.dat");
        fs.failNth(FaultyFileSystem::Op::Open, 1, EACCES);
        DataFile data(Folder(fs, dir(tmp)));
        try {
            data.open();
            QFAIL("opened");
        } catch (const Error& e) {
            QCOMPARE(QString::fromStdString(e.what()), said);
        }
        QCOMPARE(readBytes(dir(tmp) + "/Q7.dat"), before);
        QCOMPARE(QFile::exists(tmp.filePath("Q7.jnl")), cut);
    }

    // The importer opens the catalogue too, and says what it set aside in its report.
    void theImporterSaysItToo() {
        QTemporaryDir tmp;
        writeCatalogue(dir(tmp), books(6));
        cutSave(dir(tmp), false);
        change(Then::WindowsAppend, dir(tmp));
        const import::SourceFile source =
            import::readSource("titre\nImporté\n", import::Format::csv, {});
        import::AppendRequest request;
        request.source = &source;
        request.sourceName = "livres.csv";
        const import::Report report =
            import::appendImport(Folder(posixFileSystem(), dir(tmp)), request);
        QVERIFY(!report.warnings.empty());
        QVERIFY(report.warnings.front().starts_with(
            "Un journal d'écriture d'un autre catalogue a été trouvé et mis de côté"));
        QCOMPARE(readCatalogue(dir(tmp)).size(), std::size_t(6 + 5 + 1));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
