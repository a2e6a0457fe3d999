// The help chapters: ranges counted with CR LF whatever the file holds, cut at the end
// of a short file, and the shipped help text placing every chapter at its range.
#include "companions/HelpChapters.h"
#include "companions/LineBreaks.h"
#include "FicheBuilder.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QTemporaryDir>
#include <QTest>

using namespace q7;

namespace {

std::string shippedHelp() {
    return readBytes(Q7_RESOURCES_DIR "/Q7aide.txt");
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size())
        out.append(s, at, hit - at).append(to);
    return out.append(s, at);
}

} // namespace

class TestHelpText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lineBreaksCountAsCrLf_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("crlf");
        QTest::addColumn<QByteArray>("lf");
        QTest::newRow("CR LF kept")
            << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n") << QByteArray("a\nb\n");
        QTest::newRow("lone LF") << QByteArray("a\nb") << QByteArray("a\r\nb")
                                 << QByteArray("a\nb");
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n")
                                 << QByteArray("a\nb\n");
        QTest::newRow("CR then CR LF is two")
            << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb") << QByteArray("a\n\nb");
        QTest::newRow("LF CR is two")
            << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb") << QByteArray("a\n\nb");
        QTest::newRow("high bytes untouched")
            << QByteArray("\x80\xE9\xFF\n") << QByteArray("\x80\xE9\xFF\r\n")
            << QByteArray("\x80\xE9\xFF\n");
    }
    void lineBreaksCountAsCrLf() {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, crlf);
        QFETCH(QByteArray, lf);
        QCOMPARE(QByteArray::fromStdString(withCrLf(in.toStdString())), crlf);
        QCOMPARE(QByteArray::fromStdString(withLf(in.toStdString())), lf);
    }

    // Every chapter of the shipped help starts exactly at its offset with its heading.
    void shippedChaptersStartWithTheirHeading_data() {
        QTest::addColumn<int>("entry");
        for (int i = 1; i < int(helpChapters().size()); ++i)
            QTest::newRow(cp1252ToUtf8(helpChapters()[i].caption).c_str()) << i;
    }
    void shippedChaptersStartWithTheirHeading() {
        QFETCH(int, entry);
        const HelpChapter& chapter = helpChapters()[std::size_t(entry)];
        const std::string text = withCrLf(shippedHelp());
        const std::string part = chapterText(text, chapter);
        QCOMPARE(part.size(), chapter.length);
        std::string heading = chapter.caption;
        heading.append("\r\n").append(chapter.caption.size(), '-').append("\r\n");
        QCOMPARE(QByteArray::fromStdString(part.substr(0, heading.size())),
                 QByteArray::fromStdString(heading));
        // The next heading is not swallowed: a chapter holds its own text only.
        if (std::size_t(entry) + 1 < helpChapters().size()) {
            const std::string& next = helpChapters()[std::size_t(entry) + 1].caption;
            QVERIFY(part.find(std::string(next).append("\r\n---")) == std::string::npos);
        }
    }

    void shippedHelpIsCrLfWindows1252() {
        const std::string bytes = shippedHelp();
        QCOMPARE(bytes.size(), std::size_t(17808));
        QCOMPARE(withCrLf(bytes), bytes); // no lone CR or LF
        QVERIFY(bytes.find(lit("é")) != std::string::npos);
        // No UTF-8 sequence: a lead byte followed by its continuation bytes.
        auto cont = [](unsigned char c) { return c >= 0x80 && c <= 0xBF; };
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            const auto n = static_cast<unsigned char>(bytes[i + 1]);
            QVERIFY2(!(b >= 0xC2 && b <= 0xDF && cont(n)), qPrintable(QString::number(i)));
            if (i + 2 < bytes.size() && b >= 0xE0 && b <= 0xEF)
                QVERIFY2(!(cont(n) && cont(static_cast<unsigned char>(bytes[i + 2]))),
                         qPrintable(QString::number(i)));
        }
    }

    // A help file saved with LF or CR line ends keeps every chapter in place.
    void otherLineEndsGiveTheSameChapters_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void otherLineEndsGiveTheSameChapters() {
        QFETCH(QByteArray, lineEnd);
        const std::string original = shippedHelp();
        QTemporaryDir dir;
        writeBytes(dir.filePath("q7AIDE.TXT").toStdString(),
                   replaceAll(original, "\r\n", lineEnd.toStdString()));
        const std::string text = readHelpText(Folder(posixFileSystem(), dir.path().toStdString()));
        for (const HelpChapter& c : helpChapters())
            QCOMPARE(QByteArray::fromStdString(chapterText(text, c)),
                     QByteArray::fromStdString(chapterText(original, c)));
    }

    void shortTextCutsChapters_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("expected");
        QTest::newRow("whole of a short text") << 600 << "Toute l'aide" << 600;
        QTest::newRow("first chapter complete") << 600 << "Rôle de Lirabel" << 563;
        QTest::newRow("cut in the middle") << 600 << "Nouvelle fiche" << 35;
        QTest::newRow("beyond the end") << 600 << "Mettre à vide" << 0;
        QTest::newRow("ends right at the start") << 1262 << "Mettre à vide" << 0;
        QTest::newRow("last chapter of a longer text") << 20000 << "De Lirabel" << 104;
        QTest::newRow("empty text") << 0 << "Rôle de Lirabel" << 0;
    }
    void shortTextCutsChapters() {
        QFETCH(int, size);
        QFETCH(QString, caption);
        QFETCH(int, expected);
        std::string text;
        for (int i = 0; i < size; ++i)
            text += char('a' + i % 26);
        const HelpChapter* chapter = findHelpChapter(lit(caption.toStdString()));
        QVERIFY(chapter);
        const std::string part = chapterText(text, *chapter);
        QCOMPARE(int(part.size()), expected);
        if (expected > 0) QCOMPARE(part, text.substr(chapter->start, part.size()));
    }

    void captionsAreMatchedExactly() {
        QVERIFY(findHelpChapter(lit("Nouvelle fiche")));
        QVERIFY(!findHelpChapter(lit("nouvelle fiche")));
        QVERIFY(!findHelpChapter(lit("Nouvelle fiche ")));
        QVERIFY(!findHelpChapter(lit("Choisissez un chapitre")));
    }

    void missingHelpFileIsAnIoError() {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 readHelpText(Folder(posixFileSystem(), dir.path().toStdString())));
    }
};

QTEST_GUILESS_MAIN(TestHelpText)
#include "tst_helptext.moc"
