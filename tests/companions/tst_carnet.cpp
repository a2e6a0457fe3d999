// The notebook window driven as a user would: stamps, find, the closing question, and
// the bytes of Q7carnet.txt on disk.
#include "companions/FindDialog.h"
#include "companions/Q7carnet.h"
#include "FakeServices.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "platform/Command.h"
#include "platform/MemoText.h"
#include "platform/QtText.h"
#include "record/AppState.h"
#include "store/Cp1252.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString question = QStringLiteral("question:Enrégistrer les modifications ?");
const QString notFound = QStringLiteral("information:Texte non trouvé");

struct Notebook {
    QTemporaryDir dir;
    FaultyFileSystem fs;
    FakeServices fakes{fs, dir.path().toStdString()};
    AppState state{q7::Folder(fs, dir.path().toStdString())};
    Tcarnetform form{state, fakes.services};

    std::string path() const { return dir.filePath("Q7carnet.txt").toStdString(); }
    std::string file() const { return readBytes(path()); }
    void setFile(const std::string& bytes) { writeBytes(path(), bytes); }
    QPlainTextEdit* memo() { return form.findChild<QPlainTextEdit*>("memcarnet"); }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(name); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QLineEdit* findText() { return form.findDialog().findChild<QLineEdit*>("edttexte"); }
    void findNext() {
        QTest::mouseClick(form.findDialog().findChild<QPushButton*>("btsuivant"), Qt::LeftButton);
    }
    QString selection() { return memo()->textCursor().selectedText(); }
    // Opens the notebook as the record window's command does, inside the error box.
    bool execute() {
        return runCommand(fakes.dialogs, [&] { form.execute(); });
    }
    // Opens the window and runs `whileOpen` in it; the fake closes it afterwards.
    bool open(std::function<void()> whileOpen) {
        fakes.modal.script(QStringLiteral("carnetform"), [whileOpen](QDialog&) { whileOpen(); });
        return execute();
    }
};

} // namespace

class TestCarnet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstOpeningCreatesVide() {
        Notebook n;
        QString shown;
        QVERIFY(n.open([&] { shown = memoText(*n.memo()); }));
        QCOMPARE(shown, QStringLiteral("Vide\n"));
        QCOMPARE(n.file(), std::string("Vide\r\n"));
        QVERIFY(!n.form.isVisible());
        QCOMPARE(n.fakes.dialogs.log, QStringList()); // unchanged: nothing asked
    }

    void dateStampOnTheFifthOfMarch() {
        Notebook n;
        n.fakes.clock.day = {5, 3, 2026};
        QString shown;
        n.open([&] {
            n.click("btdate");
            shown = memoText(*n.memo());
            n.click("btfermer");
        });
        QCOMPARE(shown, QStringLiteral("Vide\n=== 5/3/2026 ===\n"));
        QCOMPARE(n.fakes.dialogs.log, (QStringList{"info-sound", question}));
        QCOMPARE(n.file(), std::string("Vide\r\n=== 5/3/2026 ===\r\n"));
    }

    // Stamps go to the end of the text whatever the caret position.
    void referenceStampAtTheEnd_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty record window") << QByteArray("Vide\r\n") << QString() << QString()
                                             << QByteArray("Vide\r\n=== \r\nREF= \r\n");
        QTest::newRow("text without a final line break")
            << QByteArray("ligne 1\r\nligne 2") << QStringLiteral("L'Été") << QStringLiteral("A1")
            << QByteArray("ligne 1\r\nligne 2\r\n=== L'\xC9t\xE9\r\nREF= A1");
    }
    void referenceStampAtTheEnd() {
        QFETCH(QByteArray, before);
        QFETCH(QString, title);
        QFETCH(QString, reference);
        QFETCH(QByteArray, after);
        Notebook n;
        n.setFile(before.toStdString());
        n.form.setRecordFields([&] { return std::pair(title, reference); });
        n.open([&] {
            n.memo()->moveCursor(QTextCursor::Start);
            n.click("btreference");
            n.click("btfermer");
        });
        QCOMPARE(QByteArray::fromStdString(n.file()), after);
    }

    void deletingAllTheTextSavesVide() {
        Notebook n;
        n.setFile("des notes\r\nencore\r\n");
        n.open([&] {
            n.memo()->selectAll();
            QTest::keyClick(n.memo(), Qt::Key_Delete);
            QTest::keyClick(n.memo(), Qt::Key_Escape);
        });
        QCOMPARE(n.fakes.dialogs.log, (QStringList{"info-sound", question}));
        QCOMPARE(n.file(), std::string("Vide"));
    }

    // "Non" drops the changes: the file keeps its text and the next opening shows it.
    void answeringNoDropsTheChanges() {
        Notebook n;
        n.setFile("garder\r\n");
        n.fakes.dialogs.answers = {false};
        n.open([&] {
            QTest::keyClicks(n.memo(), "perdu ");
            n.click("btfermer");
        });
        QVERIFY(!n.form.isVisible());
        QCOMPARE(n.file(), std::string("garder\r\n"));
        QString shown;
        n.open([&] { shown = memoText(*n.memo()); });
        QCOMPARE(shown, QStringLiteral("garder\n"));
    }

    void findTwiceThenNotFound() {
        Notebook n;
        n.setFile("Un livre, puis\r\nun autre livre.\r\n");
        QStringList selections;
        QList<int> starts;
        n.open([&] {
            n.click("btcherche");
            QVERIFY(n.form.findDialog().isVisible());
            QTest::keyClicks(n.findText(), "livre");
            for (int i = 0; i < 3; ++i) {
                if (i == 0)
                    QTest::keyClick(n.findText(), Qt::Key_Return);
                else
                    n.findNext();
                selections << n.selection();
                starts << n.memo()->textCursor().selectionStart();
            }
        });
        QCOMPARE(selections, (QStringList{"livre", "livre", "livre"}));
        QCOMPARE(starts, (QList<int>{3, 24, 24})); // the third search changes nothing
        QCOMPARE(n.fakes.dialogs.log, (QStringList{"info-sound", notFound}));
        QVERIFY(!n.form.findDialog().isVisible()); // closed with the notebook
    }

    void findRespectsCaseAndNeedsAText_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("lower case against a capital") << "paris";
        QTest::newRow("empty text to find") << "";
    }
    void findRespectsCaseAndNeedsAText() {
        QFETCH(QString, what);
        Notebook n;
        n.setFile("Paris\r\n");
        n.open([&] {
            n.click("btcherche");
            n.findText()->setText(what);
            n.findNext();
        });
        QCOMPARE(n.fakes.dialogs.log, (QStringList{"info-sound", notFound}));
    }

    // A notebook that cannot be written stays in the window with its text; closing
    // again once the disk is back saves it.
    void unwritableNotebookKeepsTheText() {
        Notebook n;
        n.setFile("avant\r\n");
        n.fs.onlyFor("Q7carnet");
        bool stillOpen = false;
        QString kept;
        n.open([&] {
            n.fs.failNth(FaultyFileSystem::Op::Write, 1, 28 /* ENOSPC */);
            QTest::keyClicks(n.memo(), "important ");
            n.click("btfermer");
            stillOpen = n.form.isVisible();
            kept = n.memo()->toPlainText();
            n.fs.reset();
            n.click("btfermer");
        });
        QVERIFY(stillOpen);
        QCOMPARE(kept, QStringLiteral("important avant\n"));
        QCOMPARE(n.fakes.dialogs.log, (QStringList{"info-sound", question, "error:Disque plein.",
                                                   "info-sound", question}));
        QCOMPARE(n.file(), std::string("important avant\r\n"));
    }

    void unreadableNotebookIsNotOpened() {
        Notebook n;
        n.setFile("mes notes\r\n");
        n.fs.onlyFor("Q7carnet");
        n.fs.failNth(FaultyFileSystem::Op::Open, 1, 13 /* EACCES */);
        QVERIFY(!n.execute());
        QCOMPARE(n.fakes.modal.shown, QStringList());
        QCOMPARE(n.fakes.dialogs.log, (QStringList{"error:Accès refusé."}));
        QCOMPARE(n.file(), std::string("mes notes\r\n"));
    }

    // Every byte 0x80-0xFF is shown as its character and written back unchanged.
    void highBytesShownAndKept() {
        Notebook n;
        std::string bytes;
        for (int b = 0x80; b <= 0xFF; ++b)
            bytes += char(b);
        bytes += "\r\n";
        n.setFile(bytes);
        n.fakes.clock.day = {1, 2, 2027};
        QString shown;
        n.open([&] {
            shown = memoText(*n.memo());
            n.click("btdate");
            n.click("btfermer");
        });
        QCOMPARE(shown.left(1), QStringLiteral("€"));
        QVERIFY(shown.contains(QStringLiteral("œ")) && shown.contains(QStringLiteral("ÿ")));
        QCOMPARE(shown, fromBytes(bytes.substr(0, 128)) + u'\n');
        QCOMPARE(n.file(), bytes + "=== 1/2/2027 ===\r\n");
    }

    void escapeClosesFromAnyControl_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("text") << "memcarnet";
        QTest::newRow("date button") << "btdate";
        QTest::newRow("close button") << "btfermer";
    }
    void escapeClosesFromAnyControl() {
        QFETCH(QString, control);
        Notebook n;
        bool closed = false;
        n.open([&] {
            QTest::keyClick(n.form.findChild<QWidget*>(control), Qt::Key_Escape);
            closed = !n.form.isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(n.fakes.dialogs.log, QStringList());
    }

    // Esc in the find box closes the find box only.
    void escapeInTheFindBox() {
        Notebook n;
        bool findOpen = true, notebookOpen = false;
        n.open([&] {
            n.click("btcherche");
            QTest::keyClick(n.findText(), Qt::Key_Escape);
            findOpen = n.form.findDialog().isVisible();
            notebookOpen = n.form.isVisible();
        });
        QVERIFY(!findOpen);
        QVERIFY(notebookOpen);
    }
};

QTEST_MAIN(TestCarnet)
#include "tst_carnet.moc"
