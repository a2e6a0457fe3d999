// The chart window, opened from the statistics window as a user would, offscreen: its
// table of numbers, the images it saves and the page it prints.
#include "AccessibleNames.h"
#include "FakeServices.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "maint/ChartPaint.h"
#include "maint/Q7graph.h"
#include "maint/Q7info.h"
#include "PdfPrinter.h"
#include "PdfText.h"
#include "record/AppState.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPieSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace q7;

namespace {

// As the record window saves them: pages and price never empty.
FicheBuilder saved() {
    return FicheBuilder().set(Field::nbpage, "0").set(Field::prix, "0");
}

std::vector<Fiche> collection() {
    using F = Field;
    return {
        saved()
            .set(F::type, "Roman")
            .set(F::auteur, "Hugo")
            .set(F::prix, "12,5")
            .set(F::anedition, "1998")
            .date(3, 2, 2020)
            .flag(Flag::lut),
        saved().set(F::type, "Roman").set(F::auteur, "Hugo").set(F::prix, "7,75").date(1, 1, 2021),
        saved().set(F::type, "Bande dessinée").set(F::prix, "0").date(1, 1, 2021),
    };
}

struct Desk {
    QTemporaryDir tmp;
    FaultyFileSystem fs;
    std::unique_ptr<AppState> state;
    std::unique_ptr<FakeServices> fake;

    explicit Desk(const std::vector<Fiche>& records = collection()) {
        writeCatalogue(dir(), records);
        state = std::make_unique<AppState>(Folder(fs, dir()));
        state->data.open();
        state->settings.devise = "Francs";
        fake = std::make_unique<FakeServices>(fs, dir());
    }
    std::string dir() const { return tmp.path().toStdString(); }
    QString path(const char* name) const { return tmp.filePath(QString::fromUtf8(name)); }
};

template <typename W> W* child(QWidget& form, const char* name) {
    W* w = form.findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

// The rows of the numbers' table, "label=number".
QStringList rows(Tformgraph& g) {
    auto* table = child<QTableWidget>(g, "tabchiffres");
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out << table->item(r, 0)->text() + "=" + table->item(r, 1)->text();
    return out;
}

void choose(Tformgraph& g, Chart chart) {
    auto* box = child<QComboBox>(g, "cbgraph");
    box->setCurrentIndex(box->findData(int(chart)));
}

// Opens the statistics window, then the charts with Alt+G; runs `check` on them.
void withCharts(Desk& d, Tforminfo& form, const std::function<void(Tformgraph&)>& check) {
    d.fake->modal.script(QStringLiteral("formgraph"),
                         [&](QDialog& dlg) { check(static_cast<Tformgraph&>(dlg)); });
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::AltModifier);
    // A mnemonic presses its button for a moment before it clicks.
    QTRY_COMPARE(d.fake->modal.shown, QStringList{"formgraph"});
}

struct SvgText {
    QString text;
    QRectF box;
};

// Every text of an SVG picture with the box it is drawn in: QSvgGenerator writes each at
// its baseline inside groups that carry the painter's matrix.
QList<SvgText> textsOf(const QByteArray& svg) {
    QList<SvgText> out;
    QXmlStreamReader xml(svg);
    QList<QTransform> groups{QTransform()};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"g") {
            QTransform t = groups.last();
            const QString m = xml.attributes().value("transform").toString();
            if (m.startsWith("matrix(")) {
                const QStringList v = m.mid(7).chopped(1).split(',');
                t = QTransform(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(),
                               v[4].toDouble(), v[5].toDouble());
            }
            groups << t;
        } else if (xml.isEndElement() && xml.name() == u"g") {
            groups.removeLast();
        } else if (xml.isStartElement() && xml.name() == u"text") {
            const auto a = xml.attributes();
            QFont font(a.value("font-family").toString());
            font.setPixelSize(qRound(a.value("font-size").toString().remove("px").toDouble()));
            font.setWeight(QFont::Weight(a.value("font-weight").toInt()));
            const QPointF at(a.value("x").toDouble(), a.value("y").toDouble());
            const QString text = xml.readElementText();
            const QFontMetricsF m(font);
            const QRectF box(at.x(), at.y() - m.ascent(), m.horizontalAdvance(text), m.height());
            out << SvgText{text, groups.last().mapRect(box)};
        }
    }
    return out;
}

// A chart of books counted by `labels`.
ChartTexts counted(const QString& title, const QStringList& labels, const QList<double>& values) {
    ChartTexts texts;
    texts.title = title;
    texts.categoryAxis = "Nom";
    texts.valueAxis = "Nombre de livres";
    texts.labels = labels;
    texts.values = values;
    for (double v : values)
        texts.valueTexts << QString::number(v);
    return texts;
}

} // namespace

class TestCharts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void altGOpensTheChartsBesideTheOtherButtons() {
        Desk d;
        Tforminfo form(*d.state, d.fake->services);
        bool checked = false;
        withCharts(d, form, [&](Tformgraph& g) {
            QCOMPARE(g.windowTitle(), QStringLiteral("Graphiques"));
            QCOMPARE(g.view()->chart()->title(), QStringLiteral("Livres par type"));
            QCOMPARE(rows(g), (QStringList{"Roman=2", "Bande dessinée=1"}));
            QVERIFY(g.view()->accessibleDescription().contains("Roman : 2"));
            QCOMPARE(unnamedControls(&g), QStringList());
            // Bars on the years of registration, zero years said apart.
            choose(g, Chart::valeurAnnee);
            QCOMPARE(rows(g), (QStringList{"2020=12", "2021=8"}));
            QCOMPARE(child<QTableWidget>(g, "tabchiffres")->horizontalHeaderItem(1)->text(),
                     QStringLiteral("Valeur (Francs)"));
            choose(g, Chart::anedition);
            QCOMPARE(child<QLabel>(g, "lblnotes")->text(),
                     QStringLiteral("2 livres sans année d'édition (vide, 0 ou illisible)"));
            checked = true;
        });
        QVERIFY(checked);
        // The three buttons in their places, the new one last.
        auto* buttons = child<QHBoxLayout>(form, "buttonLayout");
        QCOMPARE(buttons->itemAt(1)->widget()->objectName(), QStringLiteral("btfermer"));
        QCOMPARE(buttons->itemAt(2)->widget()->objectName(), QStringLiteral("btimprimer"));
        QCOMPARE(buttons->itemAt(3)->widget()->objectName(), QStringLiteral("btgraphiques"));
        QVERIFY(d.state->data.atEnd());
        QVERIFY(d.fake->dialogs.log.isEmpty());
    }

    void pieOrBarsIsKeptPerChart() {
        Desk d;
        Tforminfo form(*d.state, d.fake->services);
        withCharts(d, form, [&](Tformgraph& g) {
            const auto isPie = [&] {
                return qobject_cast<QPieSeries*>(g.view()->chart()->series().constFirst()) !=
                       nullptr;
            };
            QVERIFY(isPie());
            child<QRadioButton>(g, "rbbarres")->click();
            QVERIFY(!isPie());
            choose(g, Chart::langue);
            QVERIFY(isPie());
            choose(g, Chart::type);
            QVERIFY(!isPie());
            QVERIFY(child<QRadioButton>(g, "rbbarres")->isChecked());
        });
    }

    // Labels of small slices do not print over each other: such a slice is named in the
    // legend and the table only. Read back from the picture the program saves and prints.
    void pieLabelsStandApart_data() {
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("labelled"); // slices named beside the pie; -1: not all
        const QStringList types{"Roman", "Bande dessinée", "Poésie", "Théâtre",
                                "Essai", "Livre d'art",    "Atlas",  "Dictionnaire"};
        QTest::newRow("one large, many small")
            << types << QList<double>{400, 300, 9, 7, 5, 4, 3, 2} << QSize(760, 460) << -1;
        QTest::newRow("small window")
            << types << QList<double>{400, 300, 9, 7, 5, 4, 3, 2} << QSize(420, 300) << -1;
        QTest::newRow("even") << types << QList<double>{5, 5, 5, 5, 5, 5, 5, 5} << QSize(760, 460)
                              << 8;
        QTest::newRow("long names")
            << QStringList{"Dictionnaire encyclopédique illustré de la langue française", "Roman",
                           "Essai"}
            << QList<double>{45, 50, 5} << QSize(760, 460) << -1;
    }
    void pieLabelsStandApart() {
        QFETCH(QStringList, labels);
        QFETCH(QList<double>, values);
        QFETCH(QSize, size);
        QFETCH(int, labelled);
        const ChartTexts texts = counted("Livres par type", labels, values);
        const QList<SvgText> drawn = textsOf(chartSvg(texts, ChartStyle::pie)(size));
        QVERIFY(drawn.size() > labels.size());
        // Qt's legend, one column of names: it cuts what it has no room for.
        QMap<int, int> lefts;
        for (const SvgText& t : drawn)
            lefts[qRound(t.box.left())] += t.text.contains(" : ");
        const int legend = std::max_element(lefts.begin(), lefts.end()).key();
        const QRectF page(QPointF(), size);
        for (qsizetype i = 0; i < drawn.size(); ++i) {
            QVERIFY2(page.contains(drawn[i].box), qPrintable(drawn[i].text));
            QVERIFY2(!drawn[i].text.endsWith("...") || qRound(drawn[i].box.left()) == legend,
                     qPrintable(drawn[i].text));
            for (qsizetype j = i + 1; j < drawn.size(); ++j)
                QVERIFY2(!drawn[i].box.adjusted(1, 1, -1, -1).intersects(drawn[j].box),
                         qPrintable(drawn[i].text + " / " + drawn[j].text));
        }
        // In the legend, and beside its slice where there is room for it whole.
        int beside = 0;
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const QString name = labels[i] + " : " + texts.valueTexts[i];
            const auto count = std::count_if(drawn.begin(), drawn.end(),
                                             [&](const SvgText& t) { return t.text == name; });
            QVERIFY2(count <= 2, qPrintable(name));
            beside += count == 2;
        }
        if (labelled >= 0)
            QCOMPARE(beside, labelled);
        else
            QVERIFY2(beside < labels.size(), qPrintable(QString::number(beside)));
    }

    // Qt Charts cuts the names beside the bars at 40 % of the width: they are drawn whole,
    // in a smaller type, where the chart has the room.
    void barNamesWhole() {
        QStringList names{"Marguerite Yourcenar de l'Académie française"};
        QList<double> counts{60};
        for (int i = 1; i < 16; ++i) {
            names << QString("Auteur %1").arg(i);
            counts << 60 - i;
        }
        const ChartTexts texts = counted("Les 15 auteurs qui ont le plus de livres", names, counts);
        QStringList drawn;
        for (const SvgText& t : textsOf(chartSvg(texts, ChartStyle::bar)(QSize(900, 500))))
            drawn << t.text;
        QVERIFY2(drawn.contains(texts.labels.first()), qPrintable(drawn.join('|')));
    }

    // A pie of more than eight slices is drawn as bars unless the collector asks for a pie.
    void manySlicesAreBars() {
        std::vector<Fiche> records;
        for (int i = 0; i < 9; ++i)
            records.push_back(saved().set(Field::type, "Type " + std::to_string(i)));
        Desk d(records);
        Tforminfo form(*d.state, d.fake->services);
        withCharts(d, form, [&](Tformgraph& g) {
            QVERIFY(child<QRadioButton>(g, "rbbarres")->isChecked());
            child<QRadioButton>(g, "rbsecteurs")->click();
            QVERIFY(qobject_cast<QPieSeries*>(g.view()->chart()->series().constFirst()));
            choose(g, Chart::langue); // one language: a pie
            QVERIFY(child<QRadioButton>(g, "rbsecteurs")->isChecked());
        });
    }

    void emptyCatalogueHasNoCharts() {
        Desk d(std::vector<Fiche>{});
        Tforminfo form(*d.state, d.fake->services);
        form.show();
        QVERIFY(!child<QPushButton>(form, "btgraphiques")->isEnabled());
    }

    void savesTheImageWhole_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("png") << "graphique.png"
                             << "graphique.png";
        QTest::newRow("svg") << "graphique.SVG"
                             << "graphique.SVG";
        QTest::newRow("no extension") << "graphique"
                                      << "graphique.png";
    }
    void savesTheImageWhole() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        Desk d;
        Tforminfo form(*d.state, d.fake->services);
        d.fake->dialogs.files.push_back(d.tmp.filePath(typed));
        withCharts(d, form,
                   [&](Tformgraph& g) { child<QPushButton>(g, "btenregistrer")->click(); });
        QCOMPARE(d.fake->dialogs.log,
                 QStringList{"save-file:" + d.tmp.filePath("Livres par type.png")});
        QFile file(d.tmp.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (written.endsWith("png")) {
            const QImage image = QImage::fromData(bytes, "PNG");
            QVERIFY(!image.isNull());
            QVERIFY(image.width() > image.height());
        } else {
            QVERIFY(bytes.contains("<svg"));
            QVERIFY(bytes.trimmed().endsWith("</svg>"));
            QVERIFY(bytes.contains("Livres par type"));
            QVERIFY(bytes.contains("Roman"));
        }
        QCOMPARE(QDir(d.tmp.path()).entryList(QDir::Files).size(), 2); // Q7.dat and the image
    }

    void fullDiskKeepsTheEarlierImage() {
        Desk d;
        Tforminfo form(*d.state, d.fake->services);
        writeBytes(d.dir() + "/graphique.png", "earlier image");
        d.fake->dialogs.files.push_back(d.path("graphique.png"));
        withCharts(d, form, [&](Tformgraph& g) {
            d.fs.diskFullAfter(1000);
            child<QPushButton>(g, "btenregistrer")->click();
            d.fs.reset();
        });
        QCOMPARE(d.fake->dialogs.log.size(), 2);
        QCOMPARE(d.fake->dialogs.log.back(), QStringLiteral("error:Disque plein."));
        QCOMPARE(readBytes(d.dir() + "/graphique.png"), std::string("earlier image"));
        QCOMPARE(QDir(d.tmp.path()).entryList(QDir::Files).size(), 2);
    }

    void printingTurnsTheNextPageOnly() {
        Desk d;
        Tforminfo form(*d.state, d.fake->services);
        withCharts(d, form, [&](Tformgraph& g) {
            child<QPushButton>(g, "btimprimer")->click();
            g.resize(500, 900);
            QTest::qWait(0);
            child<QPushButton>(g, "btimprimer")->click();
        });
        child<QPushButton>(form, "btimprimer")->click();
        auto& printer = d.fake->printer;
        QCOMPARE(printer.landscape, (std::vector<bool>{true, false, false}));
        QCOMPARE(int(printer.paintings.size()), 2);
        QCOMPARE(printer.pages[0].front().text, QStringLiteral("Livres par type"));
        QCOMPARE(printer.pages[0].front().points, 18);
    }

    void longTablesGoOnToTheNextPage_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("sideways, few") << true << 16 << 1;
        QTest::newRow("sideways, eighty years") << true << 80 << 3;
        QTest::newRow("upright, few") << false << 16 << 1;
        QTest::newRow("upright, eighty years") << false << 80 << 3;
    }
    void longTablesGoOnToTheNextPage() {
        QFETCH(bool, landscape);
        QFETCH(int, rows);
        QFETCH(int, pages);
        ChartTexts texts;
        texts.title = "Livres par année d'édition";
        texts.categoryAxis = "Année d'édition";
        texts.valueAxis = "Nombre de livres";
        texts.notes = QStringList{"3 livres sans année d'édition (vide, 0 ou illisible)"};
        for (int i = 0; i < rows; ++i) {
            texts.labels << QString::number(1900 + i);
            texts.values << i;
            texts.valueTexts << QString::number(i);
        }
        FakePrinter printer;
        QSize asked;
        printChart(printer, texts, landscape, [&](QSize pixels) {
            asked = pixels;
            return QByteArray("<svg/>");
        });
        QCOMPARE(printer.landscape, std::vector<bool>{landscape});
        QCOMPARE(int(printer.paintings.size()), 1);
        const QRect box = printer.paintings.front().box;
        // The chart is laid out on its box's size at 96 per inch (300 units an inch).
        QVERIFY(std::abs(asked.width() - box.width() * 96 / 300) <= 1);
        QVERIFY(std::abs(asked.height() - box.height() * 96 / 300) <= 1);
        const int width = landscape ? 3560 : 2590, height = landscape ? 2590 : 3560;
        QVERIFY(box.right() <= width && box.bottom() <= height);
        const auto& drawn = printer.pages.front();
        QStringList all;
        for (const DrawnText& t : drawn) {
            all << t.text;
            // Whole lines within the page, none over the chart.
            QVERIFY2(t.y >= 0 && t.y + 55 <= height, qPrintable(t.text));
            QVERIFY2(t.x < width, qPrintable(t.text));
            if (t.page == 0)
                QVERIFY2(!box.intersects(QRect(t.x, t.y, 1, 40)) || t.text == texts.title,
                         qPrintable(t.text));
        }
        QCOMPARE(drawn.back().page + 1, pages);
        for (int i = 0; i < rows; ++i)
            QVERIFY(all.contains(texts.labels[i]) && all.contains(texts.valueTexts[i]));
        QVERIFY(all.contains(texts.notes.front()));
    }

    void printedChartReadsBack() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        Desk d;
        const QString pdf = d.path("graphique.pdf");
        PdfPrinter printer(pdf);
        FakeServices& f = *d.fake;
        Services services = f.printingOn(printer);
        Tforminfo form(*d.state, services);
        withCharts(d, form, [&](Tformgraph& g) {
            choose(g, Chart::auteur);
            child<QPushButton>(g, "btimprimer")->click();
        });
        QVERIFY(f.dialogs.log.isEmpty());
        const PdfText text = readPdfText(pdf);
        QCOMPARE(text.pages, 1);
        QVERIFY(text.width > text.height); // A4 sideways
        QVERIFY(std::abs(text.height - 595) < 2);
        QStringList lines;
        for (const auto& line : pdfLines(text, 2))
            lines << joined(line).normalized(QString::NormalizationForm_KC);
        const QString all = lines.join('\n');
        QVERIFY2(lines.contains("Les 15 auteurs qui ont le plus de livres"), qPrintable(all));
        QVERIFY2(all.contains("Auteur Nombre de livres"), qPrintable(all));
        QVERIFY2(all.contains("Hugo 2"), qPrintable(all));
        QVERIFY2(all.contains("1 livre sans auteur"), qPrintable(all));
        QCOMPARE(printer.job()->colorMode(), QPrinter::Color);
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
