// The record page and the label sheet: their draw calls, then the same pages printed
// by the program's printer into a PDF and read back with poppler's tools.
#include "FakeServices.h"
#include "output/PrintLayout.h"
#include "output/PrintOnPrinter.h"
#include "PdfPrinter.h"
#include "PdfText.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QImage>
#include <QProcess>
#include <QSet>
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

QString reference(int k) {
    return QStringLiteral("AB%1").arg(k, 2, 10, QChar(u'0'));
}

bool allHyphens(const QString& word) {
    return word.count(u'-') == word.size();
}

// The job's margins, in points.
constexpr double margin = 5 / 25.4 * 72;

// A word's height over the size of its type, `points` of a grid of `scale` points per
// unit: the line box of a face is 1.1 to 1.5 times its size.
double lineBox(const PdfWord& w, int points, double scale) {
    return (w.yMax - w.yMin) / (points * 300.0 / 72 * scale);
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
            QVERIFY(c[0].width > 250 && c[0].width < 350); // the rule stays in its column
            QCOMPARE(c[1].x, xs[k]);
            QCOMPARE(c[1].y, y + 90);
            QCOMPARE(c[1].text, "| e" + std::to_string(k + 1) + "       |");
            QCOMPARE(c[1].width, 0); // the reference is never cut
            QCOMPARE(c[2].x, xs[k]);
            QCOMPARE(c[2].y, y + 330);
            QCOMPARE(c[2].text, border);
            QCOMPARE(c[2].width, c[0].width);
        }
        QVERIFY(labelSheet({}).calls.empty());
    }

    void recordPageOnPaper() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        PdfPrinter pdf(tmp.filePath(QStringLiteral("record.pdf")));
        printLayout(pdf, recordPrintout(sampleScreen(), 7, Settings()));
        QCOMPARE(pdf.documents(), 1);
        const PdfText page = readPdfText(pdf.path());
        QCOMPARE(page.pages, 1);
        QVERIFY(std::abs(page.width - 595.3) < 1 && std::abs(page.height - 841.9) < 1); // A4

        // One text line per y of the layout; line breaks of the notes stay on their line.
        const QList<QList<PdfWord>> lines = pdfLines(page);
        QCOMPARE(lines.size(), 23);
        QMap<int, QString> expectedText;
        for (const Expected& e : recordPage) {
            QString t = QString::fromUtf8(e.text);
            expectedText[e.y] += t.replace(QLatin1String("\r\n"), QLatin1String("  "));
        }
        const QList<int> ys = expectedText.keys();
        // The grid maps onto the page as x' = a + s x, y' = b + s y, one s for both axes.
        const double s = (lines.last().first().yMin - lines.first().first().yMin) / (1480 - 160);
        const double a = lines.first().first().xMin - s * 100;
        const double b = lines.first().first().yMin - s * 160;
        QVERIFY2(s > 0.2 && s <= 72.0 / 300 + 1e-6, qPrintable(QString::number(s)));
        QVERIFY(std::abs(a - margin) < 0.5 && std::abs(b - margin) < 1.5); // from the margins
        scale = s;
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(joined(lines[i]), expectedText[ys[i]].simplified());
            QVERIFY(std::abs(lines[i].first().yMin - (b + s * ys[i])) < 0.3);
            QVERIFY(std::abs(lines[i].first().xMin - (a + s * 100)) < 0.3);
            for (const PdfWord& w : lines[i])
                QVERIFY(w.xMax < page.width - margin && w.yMax < page.height - margin);
            const double box = lineBox(lines[i].first(), 10, s);
            QVERIFY2(box > 1.1 && box < 1.5, qPrintable(QString::number(box)));
        }
        // Texts drawn further right start at their x, after their two leading spaces.
        auto startsNear = [&](const QString& word, int x) {
            for (const PdfWord& w : page.words) {
                const double units = (w.xMin - a) / s;
                if (w.text == word && units > x && units < x + 40) return true;
            }
            return false;
        };
        QVERIFY(startsNear(QStringLiteral("Plusieurs"), 600));
        QVERIFY(startsNear(QStringLiteral("Lut"), 1200));
        QVERIFY(startsNear(QStringLiteral("Annoté"), 500));
        QVERIFY(startsNear(QStringLiteral("Jacquette"), 500));

        // Colours: the heading and the ISBN line red, though the printer started in grey;
        // the others black.
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-png"),
                           QStringLiteral("-singlefile"), pdf.path(),
                           tmp.filePath(QStringLiteral("record"))});
        const QImage image(tmp.filePath(QStringLiteral("record.png")));
        QVERIFY(!image.isNull());
        for (int i = 0; i < lines.size(); ++i) {
            int red = 0, black = 0;
            const PdfWord& first = lines[i].first();
            const PdfWord& last = lines[i].last();
            for (int y = int(first.yMin * 2); y < int(first.yMax * 2); ++y)
                for (int x = int(first.xMin * 2); x < int(last.xMax * 2); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
                    if (c.red() < 90 && c.green() < 90 && c.blue() < 90) ++black;
                }
            const bool redLine = ys[i] == 160 || ys[i] == 820;
            QVERIFY2(
                redLine ? red > 20 && black == 0 : black > 20 && red == 0,
                qPrintable(
                    QStringLiteral("line %1: red %2 black %3").arg(ys[i]).arg(red).arg(black)));
        }
    }

    void labelSheetOnPaper_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("eight labels") << 8;
        QTest::newRow("full sheet") << labelCapacity;
    }
    void labelSheetOnPaper() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        QFETCH(int, count);
        std::vector<std::string> entries;
        for (int k = 0; k < count; ++k)
            entries.push_back(reference(k).toStdString());
        PdfPrinter pdf(tmp.filePath(QStringLiteral("labels.pdf")));
        printLayout(pdf, labelSheet(entries));
        const PdfText page = readPdfText(pdf.path());
        QCOMPARE(page.pages, 1);

        QList<PdfWord> bars, rules;
        QMap<QString, PdfWord> refs;
        for (const PdfWord& w : page.words) {
            QVERIFY2(w.xMin > margin - 0.5 && w.xMax < page.width - margin + 0.5 &&
                         w.yMin > margin - 0.5 && w.yMax < page.height - margin + 0.5,
                     qPrintable(w.text + QLatin1String(" is off the page")));
            if (w.text == QLatin1String("|"))
                bars << w;
            else if (allHyphens(w.text))
                rules << w;
            else
                refs.insert(w.text, w);
        }
        QCOMPARE(refs.size(), count); // whole: never cut
        QCOMPARE(bars.size(), 2 * count);

        // A label's place is that of the bar opening its text.
        auto leftBar = [&](int k) {
            const PdfWord ref = refs.value(reference(k).toLower());
            PdfWord best;
            for (const PdfWord& b : bars)
                if (std::abs(b.yMin - ref.yMin) < 0.5 && b.xMin < ref.xMin && b.xMin > best.xMin)
                    best = b;
            return best;
        };
        const PdfWord first = leftBar(0);
        const double s = (leftBar(1).xMin - first.xMin) / labelPitchX; // points per unit
        if (scale > 0) QVERIFY(std::abs(s - scale) < 1e-3);            // the record page's grid
        QVERIFY2(std::abs(first.xMin - (margin + 140 * s)) < 0.5, qPrintable(QString::number(s)));
        // Row after row of seven, the eighth under the first, the 70th in row 10 column 7,
        // one scale across and down.
        for (int k = 0; k < count; ++k) {
            const PdfWord bar = leftBar(k);
            QVERIFY(std::abs(bar.xMin - (first.xMin + s * labelPitchX * (k % 7))) < 0.3);
            QVERIFY(std::abs(bar.yMin - (first.yMin + s * labelPitchY * (k / 7))) < 0.3);
        }
        // Twelve points bold at the grid's scale: readable on a spine.
        for (const PdfWord& ref : refs) {
            QVERIFY2(ref.yMax - ref.yMin >= 9, qPrintable(QString::number(ref.yMax - ref.yMin)));
            const double box = lineBox(ref, 12, s);
            QVERIFY2(box > 1.1 && box < 1.5, qPrintable(QString::number(box)));
        }

        // Each label has its own rule above and below it, inside its column, apart from
        // the next column's (the rules shared by two rows are drawn twice, read once).
        const double top = first.yMin - 90 * s;
        QSet<QPair<int, int>> wanted, found;
        for (int k = 0; k < count; ++k)
            wanted << qMakePair(k % 7, k / 7) << qMakePair(k % 7, k / 7 + 1);
        for (const PdfWord& r : rules) {
            const int col = qRound((r.xMin - first.xMin) / (s * labelPitchX));
            const int row = qRound((r.yMin - top) / (s * labelPitchY));
            const double start = first.xMin + s * labelPitchX * col;
            QVERIFY2(r.xMin > start - 0.3 && r.xMax < start + s * labelPitchX - 1 &&
                         r.xMax - r.xMin > s * 250,
                     qPrintable(QStringLiteral("rule %1 %2: %3 to %4 from %5")
                                    .arg(col)
                                    .arg(row)
                                    .arg(r.xMin)
                                    .arg(r.xMax)
                                    .arg(start)));
            QVERIFY(std::abs(r.yMin - (top + s * labelPitchY * row)) < 0.3);
            found << qMakePair(col, row);
        }
        QCOMPARE(found, wanted);

        if (count == labelCapacity) {
            const double mm = 25.4 / 72;
            qInfo("label pitch %.2f x %.2f mm; first label at %.2f mm from the left, %.2f mm "
                  "from the top; type %.2f pt, its line box %.2f pt",
                  s * labelPitchX * mm, s * labelPitchY * mm, first.xMin * mm, top * mm,
                  12 * 300.0 / 72 * s, refs.first().yMax - refs.first().yMin);
        }
    }

    void jobsAskForColour() {
        // The PDF printer starts in grey, as a queue whose default is monochrome would.
        PdfPrinter pdf(tmp.filePath(QStringLiteral("colour.pdf")));
        QVERIFY(!pdf.job());
        for (const PrintLayout& layout :
             {recordPrintout(sampleScreen(), 1, Settings()), labelSheet({"A1"})}) {
            printLayout(pdf, layout);
            QVERIFY(pdf.job());
            QCOMPARE(pdf.job()->colorMode(), QPrinter::Color);
        }
    }

    // A job whose drawing fails half-way is dropped: the fake sees no page, and the
    // program's own printer sends nothing to its device, then prints the next job whole.
    void failedDrawingDropsTheJob() {
        FakePrinter fake;
        fake.failOnDraw = 3;
        QVERIFY_THROWS_EXCEPTION(q7::Error, printLayout(fake, labelSheet({"A1", "A2"})));
        QCOMPARE(fake.aborted, 1);
        QVERIFY(fake.pages.empty());
        QVERIFY(!fake.open);

        const QString path = tmp.filePath(QStringLiteral("dropped.pdf"));
        PdfPrinter pdf(path);
        {
            PrintJob job(pdf);
            pdf.drawText(100, 160, QStringLiteral("moitié de page"));
        }
        QCOMPARE(pdf.documents(), 0);
        QVERIFY(!QFile::exists(path));
        printLayout(pdf, labelSheet({"A1"}));
        QCOMPARE(pdf.documents(), 1);
        if (!havePdfTools()) return;
        QCOMPARE(readPdfText(path).pages, 1);
    }
};

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"
