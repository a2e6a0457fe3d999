// The help window: opening, the chapter selector and what the text area shows.
#include "companions/Q7aide.h"
#include "FakeServices.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "platform/Command.h"
#include "platform/MemoText.h"
#include "platform/QtText.h"
#include "record/AppState.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString missingMessage = QStringLiteral(
    "message:Le fichier d'aide est introuvable ( Q7aide.txt )! Contactez l'auteur pour en "
    "obtenir une copie.");

std::string shippedHelp() {
    return readBytes(Q7_RESOURCES_DIR "/Q7aide.txt");
}

std::string replaceAll(const std::string& s, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size())
        out.append(s, at, hit - at).append(to);
    return out.append(s, at);
}

struct Help {
    QTemporaryDir dir;
    FaultyFileSystem fs;
    FakeServices fakes{fs, dir.path().toStdString()};
    AppState state{q7::Folder(fs, dir.path().toStdString())};
    Tformaide form{state, fakes.services};

    void setFile(const std::string& bytes) {
        writeBytes(dir.filePath("Q7aide.txt").toStdString(), bytes);
    }
    QComboBox* selector() { return form.findChild<QComboBox*>("cblisteaide"); }
    QPlainTextEdit* memo() { return form.findChild<QPlainTextEdit*>("memoaide"); }
    // The text area's content with its line breaks counted as CR LF, as bytes.
    std::string shown() {
        return toBytes(memoText(*memo()).replace(u'\n', QStringLiteral("\r\n")));
    }
    // Picks an entry the way a user does: open the list, move to it, press Enter.
    void choose(const QString& caption) {
        QComboBox* box = selector();
        const int index = box->findText(caption, Qt::MatchExactly);
        QVERIFY2(index >= 0, qPrintable(caption));
        box->showPopup();
        QAbstractItemView* list = box->view();
        list->setCurrentIndex(box->model()->index(index, 0));
        QTest::keyClick(list, Qt::Key_Return);
    }
    // Opens the help as the record window's command does, inside the error box.
    bool execute() {
        bool opened = false;
        runCommand(fakes.dialogs, [&] { opened = form.execute(); });
        return opened;
    }
    bool open(std::function<void()> whileOpen) {
        fakes.modal.script(QStringLiteral("formaide"), [whileOpen](QDialog&) { whileOpen(); });
        return execute();
    }
};

QStringList entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class TestAide : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingFileSaysSoAndDoesNotOpen() {
        Help h;
        QVERIFY(!h.execute());
        QCOMPARE(h.fakes.dialogs.log, (QStringList{"beep", missingMessage}));
        QCOMPARE(h.fakes.modal.shown, QStringList());
    }

    // The data folder's own help wins, so a collector's edited copy still counts; the
    // copy installed with the program stands in when the folder has none. A chapter is
    // taken from the same copy.
    void installedCopyStandsIn_data() {
        QTest::addColumn<bool>("inFolder");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("shown"); // "" = the missing-file message
        QTest::newRow("both") << true << true << "aide du dossier";
        QTest::newRow("installed only") << false << true << "aide installée";
        QTest::newRow("folder only") << true << false << "aide du dossier";
        QTest::newRow("neither") << false << false << "";
    }
    void installedCopyStandsIn() {
        QFETCH(bool, inFolder);
        QFETCH(bool, installed);
        QFETCH(QString, shown);
        Help h;
        QTemporaryDir share;
        h.fakes.services.installedDir = share.path().toStdString();
        if (inFolder) h.setFile("aide du dossier");
        if (installed)
            writeBytes(share.filePath("Q7aide.txt").toStdString(), "aide install\xE9"
                                                                   "e");
        QString atOpening, chapter;
        const bool opened = h.open([&] {
            atOpening = memoText(*h.memo());
            h.choose(QStringLiteral("Toute l'aide"));
            chapter = memoText(*h.memo());
        });
        QCOMPARE(opened, !shown.isEmpty());
        QCOMPARE(atOpening, shown);
        QCOMPARE(chapter, shown);
        QStringList said;
        if (shown.isEmpty()) said << QStringLiteral("beep") << missingMessage;
        QCOMPARE(h.fakes.dialogs.log, said);
    }

    void unreadableFileIsReported() {
        Help h;
        h.setFile(shippedHelp());
        h.fs.failNth(FaultyFileSystem::Op::Read, 1);
        QVERIFY(!h.execute());
        QCOMPARE(h.fakes.dialogs.log, (QStringList{"error:Erreur E/S 5."}));
        QCOMPARE(h.fakes.modal.shown, QStringList());
    }

    // Each opening rebuilds the list, once; the text chosen last stays in the selector.
    void openedTwiceListsEachChapterOnce() {
        Help h;
        h.setFile(shippedHelp());
        QStringList first, second;
        QString firstText, secondText;
        std::string whole;
        h.open([&] {
            first = entries(h.selector());
            firstText = h.selector()->currentText();
            whole = h.shown();
            h.choose(QStringLiteral("Etiquettes"));
        });
        h.open([&] {
            second = entries(h.selector());
            secondText = h.selector()->currentText();
        });
        QCOMPARE(first.size(), 21);
        QCOMPARE(first.first(), QStringLiteral("Toute l'aide"));
        QCOMPARE(first.at(15), QStringLiteral("Référence/Control/Anciene Référence"));
        QCOMPARE(second, first);
        QCOMPARE(firstText, QStringLiteral("Choisissez un chapitre"));
        QCOMPARE(secondText, QStringLiteral("Etiquettes"));
        QCOMPARE(whole, shippedHelp()); // the whole help at opening
    }

    void chapterShowsExactlyItsRange() {
        Help h;
        const std::string text = shippedHelp();
        h.setFile(text);
        std::string chapter, whole;
        int caret = -1;
        h.open([&] {
            h.choose(QStringLiteral("Nouvelle fiche"));
            chapter = h.shown();
            caret = h.memo()->textCursor().position();
            h.choose(QStringLiteral("Toute l'aide"));
            whole = h.shown();
        });
        QCOMPARE(QByteArray::fromStdString(chapter),
                 QByteArray::fromStdString(text.substr(565, 697)));
        QCOMPARE(caret, 0); // from its beginning
        QCOMPARE(whole, text);
    }

    // LF-only or CR-only files put every chapter at the same place as CR LF.
    void otherLineEndsShowTheSameChapter_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void otherLineEndsShowTheSameChapter() {
        QFETCH(QByteArray, lineEnd);
        Help h;
        const std::string text = shippedHelp();
        h.setFile(replaceAll(text, "\r\n", lineEnd.toStdString()));
        std::string options, last;
        h.open([&] {
            h.choose(QStringLiteral("Options"));
            options = h.shown();
            h.choose(QStringLiteral("De Lirabel"));
            last = h.shown();
        });
        QCOMPARE(options, text.substr(12321, 1706));
        QCOMPARE(last, text.substr(17704, 104));
    }

    void shortFileCutsTheChapters() {
        Help h;
        h.setFile(shippedHelp().substr(0, 700));
        std::string cut, beyond;
        h.open([&] {
            h.choose(QStringLiteral("Nouvelle fiche"));
            cut = h.shown();
            h.choose(QStringLiteral("Divers"));
            beyond = h.shown();
        });
        QCOMPARE(cut, shippedHelp().substr(565, 135));
        QCOMPARE(beyond, std::string());
    }

    // The file is read again at each choice: an edited help is seen at once.
    void choiceRereadsTheFile() {
        Help h;
        h.setFile("ancienne aide");
        std::string shown;
        h.open([&] {
            h.setFile("nouvelle aide\nligne 2");
            h.choose(QStringLiteral("Toute l'aide"));
            shown = h.shown();
        });
        QCOMPARE(shown, std::string("nouvelle aide\r\nligne 2"));
    }

    void highBytesShownRight() {
        Help h;
        std::string bytes;
        for (int b = 0x80; b <= 0xFF; ++b)
            bytes += char(b);
        h.setFile(bytes);
        QString shown;
        h.open([&] { shown = memoText(*h.memo()); });
        QCOMPARE(shown, fromBytes(bytes));
        QVERIFY(shown.startsWith(QStringLiteral("€")));
        QVERIFY(shown.contains(QStringLiteral("œ")) && shown.contains(QStringLiteral("é")));
    }

    void escapeAndFermerClose_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("click");
        QTest::newRow("Esc in the selector") << "cblisteaide" << false;
        QTest::newRow("Esc in the text") << "memoaide" << false;
        QTest::newRow("Fermer") << "Button1" << true;
    }
    void escapeAndFermerClose() {
        QFETCH(QString, control);
        QFETCH(bool, click);
        Help h;
        h.setFile("aide");
        bool closed = false;
        h.open([&] {
            QWidget* w = h.form.findChild<QWidget*>(control);
            if (click)
                QTest::mouseClick(w, Qt::LeftButton);
            else
                QTest::keyClick(w, Qt::Key_Escape);
            closed = !h.form.isVisible();
        });
        QVERIFY(closed);
    }
};

QTEST_MAIN(TestAide)
#include "tst_aide.moc"
