// The notebook's rules on bytes: stamps, forward find, loading and safe saving.
#include "companions/Notebook.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QTemporaryDir>
#include <QTest>

using namespace q7;

class TestNotebook : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dateStampHasNoLeadingZeros_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("5 March 2026") << 5 << 3 << 2026 << QByteArray("=== 5/3/2026 ===");
        QTest::newRow("two digits") << 31 << 12 << 1999 << QByteArray("=== 31/12/1999 ===");
        QTest::newRow("year 2000") << 1 << 1 << 2000 << QByteArray("=== 1/1/2000 ===");
    }
    void dateStampHasNoLeadingZeros() {
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QByteArray, line);
        QCOMPARE(QByteArray::fromStdString(dateStamp(day, month, year)), line);
    }

    void referenceStampKeepsTheFieldsAsShown() {
        QCOMPARE(referenceStamp("", ""), (std::vector<std::string>{"=== ", "REF= "}));
        QCOMPARE(referenceStamp(lit(" L'Été "), "A-12"),
                 (std::vector<std::string>{lit("===  L'Été "), "REF= A-12"}));
    }

    void stampsBecomeLinesOfTheirOwn_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty text") << QByteArray("") << QByteArray("A\r\nB\r\n");
        QTest::newRow("text ending a line")
            << QByteArray("Vide\r\n") << QByteArray("Vide\r\nA\r\nB\r\n");
        QTest::newRow("text in a line") << QByteArray("Vide") << QByteArray("Vide\r\nA\r\nB");
    }
    void stampsBecomeLinesOfTheirOwn() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, after);
        const std::string t = text.toStdString();
        const bool atLineStart = t.empty() || t.back() == '\n';
        QCOMPARE(QByteArray::fromStdString(t + linesToAppend(atLineStart, {"A", "B"})), after);
    }

    void findGoesForwardRespectingCase_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("found"); // -1: not found
        QTest::newRow("first") << "un livre, deux livres"
                               << "livre" << 0 << 3;
        QTest::newRow("after the first") << "un livre, deux livres"
                                         << "livre" << 8 << 15;
        QTest::newRow("none after the last") << "un livre, deux livres"
                                             << "livre" << 20 << -1;
        QTest::newRow("at the start point") << "abcabc"
                                            << "abc" << 3 << 3;
        QTest::newRow("case respected") << "Paris"
                                        << "paris" << 0 << -1;
        QTest::newRow("accents respected") << "Été"
                                           << "été" << 0 << -1;
        QTest::newRow("empty text to find") << "abc"
                                            << "" << 0 << -1;
        QTest::newRow("start at the end") << "abc"
                                          << "c" << 3 << -1;
    }
    void findGoesForwardRespectingCase() {
        QFETCH(QString, text);
        QFETCH(QString, what);
        QFETCH(int, from);
        QFETCH(int, found);
        const std::u16string t = text.toStdU16String();
        const std::u16string w = what.toStdU16String();
        const auto at =
            findForward(std::u16string_view(t), std::u16string_view(w), std::size_t(from));
        QCOMPARE(at ? int(*at) : -1, found);
    }

    void missingNotebookIsCreatedWithVide() {
        QTemporaryDir dir;
        const Folder folder(posixFileSystem(), dir.path().toStdString());
        QCOMPARE(loadNotebook(folder), std::string("Vide\r\n"));
        QCOMPARE(readBytes(dir.filePath("Q7carnet.txt").toStdString()), std::string("Vide\r\n"));
    }

    void existingNotebookIsReadAsItIs() {
        QTemporaryDir dir;
        std::string bytes = "a\nb\rc\r\n";
        for (int b = 0x80; b <= 0xFF; ++b)
            bytes += char(b);
        writeBytes(dir.filePath("Q7CARNET.TXT").toStdString(), bytes);
        QCOMPARE(loadNotebook(Folder(posixFileSystem(), dir.path().toStdString())), bytes);
    }

    // A notebook that exists but cannot be read is reported, never replaced by "Vide".
    void unreadableNotebookIsKept() {
        QTemporaryDir dir;
        writeBytes(dir.filePath("Q7carnet.txt").toStdString(), "mes notes\r\n");
        FaultyFileSystem fs;
        fs.failNth(FaultyFileSystem::Op::Read, 1);
        QVERIFY_THROWS_EXCEPTION(IoError, loadNotebook(Folder(fs, dir.path().toStdString())));
        QCOMPARE(readBytes(dir.filePath("Q7carnet.txt").toStdString()),
                 std::string("mes notes\r\n"));
    }

    void savingAnEmptyTextWritesVide() {
        QTemporaryDir dir;
        const Folder folder(posixFileSystem(), dir.path().toStdString());
        writeBytes(dir.filePath("Q7carnet.txt").toStdString(), "ancien\r\n");
        QCOMPARE(saveNotebook(folder, ""), std::string("Vide"));
        QCOMPARE(readBytes(dir.filePath("Q7carnet.txt").toStdString()), std::string("Vide"));
        saveNotebook(folder, "a\r\nb");
        QCOMPARE(readBytes(dir.filePath("Q7carnet.txt").toStdString()), std::string("a\r\nb"));
    }

    // Whatever step fails, the former notebook stays whole and no scratch file is left.
    void failedSaveKeepsTheOldNotebook_data() {
        QTest::addColumn<int>("op");
        QTest::newRow("create") << int(FaultyFileSystem::Op::Open);
        QTest::newRow("write") << int(FaultyFileSystem::Op::Write);
        QTest::newRow("sync") << int(FaultyFileSystem::Op::Sync);
        QTest::newRow("rename") << int(FaultyFileSystem::Op::Rename);
    }
    void failedSaveKeepsTheOldNotebook() {
        QFETCH(int, op);
        QTemporaryDir dir;
        writeBytes(dir.filePath("Q7carnet.txt").toStdString(), "ancien\r\n");
        FaultyFileSystem fs;
        fs.failNth(FaultyFileSystem::Op(op), 1, 28 /* ENOSPC */);
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 saveNotebook(Folder(fs, dir.path().toStdString()), "nouveau"));
        QCOMPARE(readBytes(dir.filePath("Q7carnet.txt").toStdString()), std::string("ancien\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Q7carnet.txt"});
    }
};

QTEST_GUILESS_MAIN(TestNotebook)
#include "tst_notebook.moc"
