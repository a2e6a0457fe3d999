// The record page and the label sheet: their draw calls, then the same pages painted
// into a PDF by the printer code and read back with poppler's tools.
#include "output/PrintLayout.h"
#include "output/PrintOnPrinter.h"
#include "PdfPrinter.h"
#include "store/Cp1252.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace q7;

namespace {

std::string cp(const char* utf8) {
    return QString::fromUtf8(utf8).toLatin1().toStdString();
}

RecordScreen sampleScreen() {
    RecordScreen s;
    s.titre = cp("Le Rouge et le Noir");
    s.auteur = "Stendhal";
    s.sujet = "Roman";
    s.collection = "Folio";
    s.edition = "Gallimard";
    s.imprimeur = "Firmin";
    s.type = "Poche";
    s.langue = cp("Français");
    s.origine = "Achat";
    s.utilisateur = "XIXe";
    s.etat = "Bon";
    s.prix = "8,2";
    s.isbn = "2-07-041195-1";
    s.numero = "R42";
    s.jour = "05";
    s.mois = "3";
    s.annee = "2004";
    s.anedition = "1830";
    s.nbpage = "574";
    s.pos1 = "Salon";
    s.pos2 = cp("Étagère");
    s.pos3 = "";
    s.pos4 = "Haut";
    s.notes = "Ligne 1\r\nLigne 2";
    s.resume = "Julien Sorel";
    s.plutome = true;
    s.lut = true;
    s.utilisateurCoche = true;
    return s;
}

struct Expected {
    int y, x;
    bool red;
    const char* text;
};

// The page of sampleScreen() as record 7, with the default captions.
const Expected recordPage[] = {
    {160, 100, true, "=== Fiche n°7 ==="},
    {220, 100, false, "Titre  =Le Rouge et le Noir"},
    {280, 100, false, "Auteur =Stendhal"},
    {340, 100, false, "Sujet  =Roman"},
    {400, 100, false, "Collection =Folio"},
    {460, 100, false, "Edition =Gallimard"},
    {520, 100, false, "Imprimeur =Firmin"},
    {580, 100, false, "Type =Poche  Langue =Français"},
    {640, 100, false, "Origine =Achat"},
    {700, 100, false, "Mots clés =XIXe"},
    {760, 100, false, "Etat =Bon  Prix =8,2"},
    {820, 100, true, "ISBN =2-07-041195-1  Réference =R42"},
    {880, 100, false, "Date d'enregistrement =05:3:2004"},
    {940, 100, false, "Année d'édition =1830  Nombre de pages =574"},
    {1000, 100, false, "Position 1 =Salon"},
    {1060, 100, false, "Position 2 =Étagère"},
    {1120, 100, false, "Position 3 ="},
    {1180, 100, false, "Position 4 =Haut"},
    {1240, 100, false, "Plusieurs tomes =oui"},
    {1240, 600, false, "  Plusieurs auteurs =non"},
    {1240, 1200, false, "  Lut =oui"},
    {1300, 100, false, "Hors serie =non"},
    {1300, 500, false, "  Annoté =oui"},
    {1360, 100, false, "Signet =non"},
    {1360, 500, false, "  Jacquette = non"},
    {1420, 100, false, "== Notes ==Ligne 1\r\nLigne 2"},
    {1480, 100, false, "== Resumé ==Julien Sorel"},
};

struct Word {
    double xMin, yMin, xMax, yMax;
    QString text;
};

struct PdfPage {
    double width = 0, height = 0;
    QList<Word> words;
};

PdfPage readWords(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    PdfPage page;
    const QRegularExpression size(R"re(<page width="([\d.]+)" height="([\d.]+)")re");
    const auto m = size.match(html);
    page.width = m.captured(1).toDouble();
    page.height = m.captured(2).toDouble();
    const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                                  R"re(xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto w = it.next();
        QString t = w.captured(5);
        t.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
        t.replace("&amp;", "&");
        page.words.append({w.captured(1).toDouble(), w.captured(2).toDouble(),
                           w.captured(3).toDouble(), w.captured(4).toDouble(), t});
    }
    return page;
}

// Words grouped in lines of one y, top to bottom, each sorted left to right.
QList<QList<Word>> linesOf(const PdfPage& page) {
    QList<QList<Word>> lines;
    QList<Word> words = page.words;
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        return std::abs(a.yMin - b.yMin) > 0.5 ? a.yMin < b.yMin : a.xMin < b.xMin;
    });
    for (const Word& w : words) {
        if (lines.isEmpty() || std::abs(lines.last().first().yMin - w.yMin) > 0.5)
            lines.append(QList<Word>());
        lines.last().append(w);
    }
    return lines;
}

QString joined(const QList<Word>& line) {
    QStringList parts;
    for (const Word& w : line)
        parts << w.text;
    return parts.join(' ');
}

bool tools() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

} // namespace

class TestPrintout : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;

    // Scale and origin of the grid on the PDF page, learned from the record page.
    double scale = 0;

private Q_SLOTS:
    void recordPageDrawCalls() {
        const PrintLayout page = recordPrintout(sampleScreen(), 7, Settings());
        QCOMPARE(page.points, 10);
        QCOMPARE(page.bold, false);
        QCOMPARE(page.calls.size(), std::size(recordPage));
        for (std::size_t i = 0; i < page.calls.size(); ++i) {
            const DrawCall& c = page.calls[i];
            const Expected& e = recordPage[i];
            QCOMPARE(c.y, e.y);
            QCOMPARE(c.x, e.x);
            QCOMPARE(c.ink == Ink::Red, e.red);
            QCOMPARE(QByteArray::fromStdString(c.text), QString::fromUtf8(e.text).toLatin1());
        }
    }

    void recordPageCaptionsAndFlags() {
        Settings captions;
        captions.textutilisateur = "Cote";
        captions.cocheutilisateur = cp("Dédicacé");
        RecordScreen s;
        s.hs = s.signet = s.jacquette = s.plusauteur = true;
        const PrintLayout page = recordPrintout(s, 0, captions);
        auto at = [&](int x, int y) {
            for (const DrawCall& c : page.calls)
                if (c.x == x && c.y == y) return QByteArray::fromStdString(c.text);
            return QByteArray("(none)");
        };
        QCOMPARE(at(100, 160), QByteArray("=== Fiche n\xB0"
                                          "0 ==="));
        QCOMPARE(at(100, 700), QByteArray("Cote ="));
        QCOMPARE(at(500, 1300), QByteArray("  D\xE9"
                                           "dicac\xE9 =non"));
        QCOMPARE(at(100, 1300), QByteArray("Hors serie =oui"));
        QCOMPARE(at(600, 1240), QByteArray("  Plusieurs auteurs =oui"));
        QCOMPARE(at(100, 1360), QByteArray("Signet =oui"));
        QCOMPARE(at(500, 1360), QByteArray("  Jacquette = oui"));
        QCOMPARE(at(100, 1420), QByteArray("== Notes =="));
    }

    void labelTexts_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("empty") << QByteArray() << QByteArray("|          |");
        QTest::newRow("capitals and digits") << QByteArray("AB12") << QByteArray("| ab12     |");
        QTest::newRow("eight") << QByteArray("XyZ-9876") << QByteArray("| xyz-9876 |");
        QTest::newRow("accented capital stays")
            << QByteArray("\xC9T\xE9") << QByteArray("| \xC9t\xE9      |");
        QTest::newRow("longer is never cut")
            << QByteArray("ABCDEFGHIJ") << QByteArray("| abcdefghij |");
    }
    void labelTexts() {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, printed);
        const PrintLayout sheet = labelSheet({entry.toStdString()});
        QCOMPARE(sheet.calls.size(), std::size_t(3));
        QCOMPARE(QByteArray::fromStdString(sheet.calls[1].text), printed);
    }

    void labelGridOfEightEntries() {
        std::vector<std::string> entries;
        for (int i = 1; i <= 8; ++i)
            entries.push_back("E" + std::to_string(i));
        const PrintLayout sheet = labelSheet(entries);
        QVERIFY(sheet.bold);
        QCOMPARE(sheet.calls.size(), std::size_t(24));
        const std::string border(52, '-');
        const int xs[] = {140, 490, 840, 1190, 1540, 1890, 2240, 140};
        for (int k = 0; k < 8; ++k) {
            const int y = k < 7 ? 200 : 530;
            const DrawCall* c = &sheet.calls[3 * std::size_t(k)];
            QCOMPARE(c[0].x, xs[k]);
            QCOMPARE(c[0].y, y);
            QCOMPARE(c[0].text, border);
            QCOMPARE(c[1].x, xs[k]);
            QCOMPARE(c[1].y, y + 90);
            QCOMPARE(c[1].text, "| e" + std::to_string(k + 1) + "       |");
            QCOMPARE(c[2].x, xs[k]);
            QCOMPARE(c[2].y, y + 330);
            QCOMPARE(c[2].text, border);
        }
        QVERIFY(labelSheet({}).calls.empty());
    }

    void recordPageOnPaper() {
        if (!tools()) QSKIP("poppler-utils is not installed");
        PdfPrinter pdf(tmp.filePath("record.pdf"));
        printLayout(pdf, recordPrintout(sampleScreen(), 7, Settings()));
        QCOMPARE(pdf.documents(), 1);
        const PdfPage page = readWords(pdf.path());
        QVERIFY(std::abs(page.width - 595.3) < 1 && std::abs(page.height - 841.9) < 1); // A4

        // One text line per y of the layout; line breaks of the notes stay on their line.
        const QList<QList<Word>> lines = linesOf(page);
        QCOMPARE(lines.size(), 23);
        QMap<int, QString> expectedText;
        for (const Expected& e : recordPage) {
            QString t = QString::fromUtf8(e.text);
            expectedText[e.y] += t.replace("\r\n", "  ");
        }
        const QList<int> ys = expectedText.keys();
        // The grid maps onto the page as x' = a + s x, y' = b + s y, one s for both axes.
        const double s = (lines.last().first().yMin - lines.first().first().yMin) / (1480 - 160);
        const double a = lines.first().first().xMin - s * 100;
        const double b = lines.first().first().yMin - s * 160;
        QVERIFY2(s > 0.2 && s <= 72.0 / 300 + 1e-6, qPrintable(QString::number(s)));
        scale = s;
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(joined(lines[i]), expectedText[ys[i]].simplified());
            QVERIFY(std::abs(lines[i].first().yMin - (b + s * ys[i])) < 0.3);
            QVERIFY(std::abs(lines[i].first().xMin - (a + s * 100)) < 0.3);
            for (const Word& w : lines[i])
                QVERIFY(w.xMax < page.width && w.yMax < page.height);
        }
        // Texts drawn further right start at their x, after their two leading spaces.
        auto startsNear = [&](const QString& word, int x) {
            for (const Word& w : page.words) {
                const double units = (w.xMin - a) / s;
                if (w.text == word && units > x && units < x + 40) return true;
            }
            return false;
        };
        QVERIFY(startsNear("Plusieurs", 600));
        QVERIFY(startsNear("Lut", 1200));
        QVERIFY(startsNear("Annoté", 500));
        QVERIFY(startsNear("Jacquette", 500));

        // Colours: the heading and the ISBN line red, the others black.
        QProcess::execute("pdftoppm",
                          {"-r", "144", "-png", "-singlefile", pdf.path(), tmp.filePath("record")});
        const QImage image(tmp.filePath("record.png"));
        QVERIFY(!image.isNull());
        for (int i = 0; i < lines.size(); ++i) {
            int red = 0, black = 0;
            const Word& first = lines[i].first();
            const Word& last = lines[i].last();
            for (int y = int(first.yMin * 2); y < int(first.yMax * 2); ++y)
                for (int x = int(first.xMin * 2); x < int(last.xMax * 2); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
                    if (c.red() < 90 && c.green() < 90 && c.blue() < 90) ++black;
                }
            const bool redLine = ys[i] == 160 || ys[i] == 820;
            QVERIFY2(
                redLine ? red > 20 && black == 0 : black > 20 && red == 0,
                qPrintable(QString("line %1: red %2 black %3").arg(ys[i]).arg(red).arg(black)));
        }
    }

    void labelSheetOnPaper() {
        if (!tools()) QSKIP("poppler-utils is not installed");
        std::vector<std::string> entries;
        for (int k = 0; k < labelCapacity; ++k)
            entries.push_back(QString("AB%1").arg(k, 2, 10, QChar('0')).toStdString());
        PdfPrinter pdf(tmp.filePath("labels.pdf"));
        printLayout(pdf, labelSheet(entries));
        const PdfPage page = readWords(pdf.path());

        QList<Word> bars, borders;
        QMap<QString, Word> refs;
        for (const Word& w : page.words) {
            if (w.text == "|")
                bars << w;
            else if (w.text == QString(52, '-'))
                borders << w;
            else
                refs.insert(w.text, w);
            QVERIFY2(w.xMin >= 0 && w.xMax <= page.width && w.yMin >= 0 && w.yMax <= page.height,
                     qPrintable(w.text + " is off the page"));
        }
        QCOMPARE(refs.size(), 70);
        QCOMPARE(bars.size(), 140);
        QVERIFY(borders.size() >= 77); // 7 columns by 11 rules, inner ones drawn twice

        // Left bars of the first and the last label give the grid's scale on both axes.
        auto leftBar = [&](int k) {
            const Word& ref = refs.value(QString("ab%1").arg(k, 2, 10, QChar('0')));
            Word best{};
            for (const Word& b : bars)
                if (std::abs(b.yMin - ref.yMin) < 0.5 && b.xMin < ref.xMin && b.xMin > best.xMin)
                    best = b;
            return best;
        };
        const Word first = leftBar(0), last = leftBar(69);
        const double sx = (last.xMin - first.xMin) / (2240 - 140);
        const double sy = (last.yMin - first.yMin) / (3260 - 290);
        QVERIFY(std::abs(sx - sy) < 1e-3);                   // proportions kept
        if (scale > 0) QVERIFY(std::abs(sx - scale) < 1e-3); // same grid as the record page
        for (int k = 0; k < 70; ++k) {
            const Word bar = leftBar(k);
            QVERIFY(std::abs(bar.xMin - (first.xMin + sx * 350 * (k % 7))) < 0.3);
            QVERIFY(std::abs(bar.yMin - (first.yMin + sx * 330 * (k / 7))) < 0.3);
        }
        // Each border fits its 350-unit column and lines up with the labels' bars.
        const double top = first.yMin - sx * 90;
        for (const Word& b : borders) {
            QVERIFY2(b.xMax - b.xMin < sx * 350 && b.xMax - b.xMin > sx * 200,
                     qPrintable(QString::number((b.xMax - b.xMin) / sx)));
            const double col = (b.xMin - first.xMin) / (sx * 350);
            const double row = (b.yMin - top) / (sx * 330);
            QVERIFY(std::abs(col - std::round(col)) < 0.01);
            QVERIFY(std::abs(row - std::round(row)) < 0.01);
            QVERIFY(std::round(row) >= 0 && std::round(row) <= 10);
        }
    }
};

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"
