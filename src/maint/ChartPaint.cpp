#include "maint/ChartPaint.h"

#include "maint/Statistics.h"
#include "platform/QtText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLegend>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QtMath>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Names read best from the top down, and years from left to right.
bool readsAcross(q7::Chart chart) {
    return chart == q7::Chart::anedition || chart == q7::Chart::enregistrement ||
           chart == q7::Chart::valeurAnnee;
}

QFont titleFont(const QFont& base) {
    QFont f = base;
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    return f;
}

// Slice labels stand outside the pie at each slice's middle angle, on the side it points
// to, as Qt Charts places them, and Qt cuts what leaves the plot. Largest slices first, a
// label is drawn only where it crosses no other label and stays whole within the plot: a
// small slice's name and number are then read in the legend and the table. Run again
// whenever the plot is laid out.
void fitPieLabels(QChart& chart) {
    auto* series = static_cast<QPieSeries*>(chart.series().constFirst());
    const QRectF area = chart.plotArea();
    constexpr qreal textMargin = 4; // around the text, as Qt Charts measures its labels
    const qreal radius = std::min(area.width(), area.height()) / 2 * series->pieSize();
    QList<QPieSlice*> slices = series->slices();
    std::stable_sort(slices.begin(), slices.end(), [](const QPieSlice* a, const QPieSlice* b) {
        return a->value() > b->value();
    });
    QList<QRectF> taken;
    for (QPieSlice* slice : slices) {
        qreal middle = slice->startAngle() + slice->angleSpan() / 2;
        // Qt keeps an arm from pointing straight down.
        if (middle > 170 && middle < 180) middle = 170;
        if (middle >= 180 && middle < 190) middle = 190;
        const qreal turn = qDegreesToRadians(middle);
        const QPointF end = area.center() + QPointF(std::sin(turn), -std::cos(turn)) * radius *
                                                (1 + slice->labelArmLengthFactor());
        const QFontMetricsF metrics(slice->labelFont());
        const qreal width = metrics.horizontalAdvance(slice->label()), height = metrics.height();
        QRectF box(middle < 180 ? end.x() : end.x() - width, end.y() - height, width, height);
        box.adjust(-textMargin - 2, -3, textMargin + 2, 3); // and air between labels
        const bool fits = slice->value() > 0 && area.contains(box) &&
                          std::none_of(taken.begin(), taken.end(),
                                       [&](const QRectF& other) { return other.intersects(box); });
        if (fits) taken << box;
        slice->setLabelVisible(fits);
    }
}

// Qt Charts gives the names left of a horizontal chart at most 40 % of its width and cuts
// what is longer: their type shrinks instead, down to seven points, each time the chart
// is laid out at another size.
void fitCategoryNames(QChart& chart, QBarCategoryAxis& names, qreal points) {
    const QMarginsF margins = chart.margins();
    const qreal room = 0.38 * (chart.size().width() - margins.left() - margins.right()) -
                       QFontMetricsF(names.titleFont()).height() - 40;
    QFont font = names.labelsFont();
    for (qreal size = points;; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetricsF metrics(font);
        qreal widest = 0;
        for (const QString& name : names.categories())
            widest = std::max(widest, metrics.horizontalAdvance(name));
        if (widest <= room || size <= 7) break;
    }
    if (font != names.labelsFont()) names.setLabelsFont(font);
}

QChart* pieChart(const ChartTexts& texts) {
    auto* chart = new QChart;
    auto* series = new QPieSeries;
    for (qsizetype i = 0; i < texts.labels.size(); ++i) {
        series->append(texts.labels[i] + QStringLiteral(" : ") + texts.valueTexts[i],
                       texts.values[i]);
    }
    // Room around the pie for the labels of its slices.
    series->setPieSize(0.5);
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignRight);
    QObject::connect(chart, &QChart::plotAreaChanged, chart, [chart] { fitPieLabels(*chart); });
    return chart;
}

QChart* barChart(const ChartTexts& texts, bool across) {
    auto* chart = new QChart;
    auto* set = new QBarSet(texts.valueAxis);
    QStringList categories = texts.labels;
    QList<double> values = texts.values;
    if (!across) {
        // A horizontal chart counts its categories from the bottom: the largest on top.
        std::reverse(categories.begin(), categories.end());
        std::reverse(values.begin(), values.end());
    }
    for (const double v : values)
        *set << v;
    QAbstractBarSeries* series =
        across ? static_cast<QAbstractBarSeries*>(new QBarSeries) : new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(15);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setBarWidth(0.7);
    chart->addSeries(series);

    auto* names = new QBarCategoryAxis;
    names->append(categories);
    names->setTitleText(texts.categoryAxis);
    // Years side by side: upright, they fit under their bars instead of being cut.
    if (across && categories.size() > 8) names->setLabelsAngle(-90);
    auto* numbers = new QValueAxis;
    numbers->setTitleText(texts.valueAxis);
    const double top = values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
    // Room above the longest bar for its number.
    numbers->setRange(0, std::max(1.0, top * 1.15));
    numbers->applyNiceNumbers();
    numbers->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(names, across ? Qt::AlignBottom : Qt::AlignLeft);
    chart->addAxis(numbers, across ? Qt::AlignLeft : Qt::AlignBottom);
    series->attachAxis(names);
    series->attachAxis(numbers);
    chart->legend()->hide();
    return chart;
}

} // namespace

const std::array<QColor, 8>& chartPalette() {
    static const std::array<QColor, 8> colours = {
        QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9), QColor(0x00, 0x9E, 0x73),
        QColor(0xF0, 0xE4, 0x42), QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00),
        QColor(0xCC, 0x79, 0xA7), QColor(0x55, 0x55, 0x55)};
    return colours;
}

ChartTexts chartTexts(q7::Chart chart, const q7::ChartData& data, const QString& devise) {
    const q7::ChartInfo& info = q7::chartInfo(chart);
    ChartTexts out;
    out.title = QString::fromUtf8(info.title);
    out.categoryAxis = QString::fromUtf8(info.categoryAxis);
    out.years = readsAcross(chart);
    out.valueAxis =
        info.value ? QStringLiteral("Valeur (%1)").arg(devise) : QStringLiteral("Nombre de livres");
    for (const q7::ChartBar& bar : data.bars) {
        out.labels << fromBytes(bar.label);
        const auto whole = q7::roundHalfEven(bar.value);
        out.values << double(whole);
        out.valueTexts << (info.value ? QString::fromStdString(q7::formatValue(bar.value))
                                      : QString::number(whole));
    }
    for (const std::string& note : data.notes)
        out.notes << fromBytes(note);
    if (out.labels.isEmpty()) out.notes.prepend(QStringLiteral("Aucun livre à compter."));
    return out;
}

QChart* makeChart(const ChartTexts& texts, q7::ChartStyle style) {
    QChart* chart = style == q7::ChartStyle::pie ? pieChart(texts) : barChart(texts, texts.years);
    chart->setTitle(texts.title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTheme(QChart::ChartThemeLight);
    // After the theme, which sets colours of its own.
    if (style == q7::ChartStyle::pie) {
        auto* series = static_cast<QPieSeries*>(chart->series().constFirst());
        const auto& palette = chartPalette();
        const auto slices = series->slices();
        for (qsizetype i = 0; i < slices.size(); ++i) {
            // Past the eighth slice the colours come again, hatched, so that no two
            // slices look alike.
            const QColor colour = palette[static_cast<std::size_t>(i) % palette.size()];
            slices[i]->setBrush(i < qsizetype(palette.size()) ? QBrush(colour)
                                                              : QBrush(colour, Qt::BDiagPattern));
            slices[i]->setPen(QPen(i < qsizetype(palette.size()) ? QColor(Qt::white) : colour, 1));
        }
    } else {
        auto* series = static_cast<QAbstractBarSeries*>(chart->series().constFirst());
        QBarSet* set = series->barSets().constFirst();
        set->setColor(chartPalette()[4]);
        set->setBorderColor(chartPalette()[4]);
        set->setLabelColor(Qt::black);
        if (auto* names = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0))) {
            QObject::connect(chart, &QGraphicsWidget::geometryChanged, chart,
                             [chart, names, points = names->labelsFont().pointSizeF()] {
                                 fitCategoryNames(*chart, *names, points);
                             });
        }
    }
    chart->setTitleFont(titleFont(chart->titleFont()));
    return chart;
}

QString chartDescription(const ChartTexts& texts) {
    QStringList parts;
    for (qsizetype i = 0; i < texts.labels.size(); ++i)
        parts << texts.labels[i] + QStringLiteral(" : ") + texts.valueTexts[i];
    QString out = texts.title + QStringLiteral(". ") + parts.join(QStringLiteral(" ; "));
    if (!texts.notes.isEmpty()) out += QStringLiteral(". ") + texts.notes.join(QStringLiteral(" "));
    return out;
}

ImageFormat imageFormatOf(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ? ImageFormat::svg
                                                                          : ImageFormat::png;
}

QByteArray renderImage(QGraphicsScene& scene, const QRectF& source, QSize size, ImageFormat format,
                       const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == ImageFormat::svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setTitle(title);
        // The chart was laid out with the screen's type sizes: the same here (the
        // generator's own 72 per inch would shrink the text within its places).
        svg.setResolution(96);
        QPainter painter(&svg);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, QRectF(QPointF(), size), source);
    } else {
        QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            scene.render(&painter, QRectF(QPointF(), size * 2), source);
        }
        image.setText(QStringLiteral("Title"), title);
        image.save(&buffer, "PNG");
    }
    return bytes;
}

ChartSvg chartSvg(const ChartTexts& texts, q7::ChartStyle style) {
    return [texts, style](QSize pixels) {
        QGraphicsScene scene; // owns the chart
        QChart* chart = makeChart(texts, style);
        scene.addItem(chart);
        // Laid out twice, settling what the first layout posted (the legend measured with
        // the theme's fonts, the labels fitted to the size): else the picture shows them cut.
        for (const QSize size : {pixels + QSize(1, 1), pixels}) {
            chart->resize(size);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
        return renderImage(scene, QRectF(QPointF(), pixels), pixels, ImageFormat::svg, texts.title);
    };
}

void printChart(Printer& printer, const ChartTexts& texts, bool landscape, const ChartSvg& chart) {
    // The page's grid, in device units, within the margins every job keeps.
    const int width = landscape ? 3560 : 2590;
    const int height = landscape ? 2590 : 3560;
    constexpr int left = 140, top = 200, line = 55, bottom = 150;
    const int chartTop = top + 130;
    const int chartWidth = landscape ? (width - 2 * left) * 3 / 5 : width - 2 * left;
    // The notes stand under the chart, as wide as it is, so that they are read whole.
    const int notesHeight = int(texts.notes.size()) * line;
    const int chartHeight =
        landscape ? height - chartTop - bottom - notesHeight - line : chartWidth * 3 / 4;
    const int tableX = landscape ? left + chartWidth + 80 : left;
    const int numberX = tableX + (width - left - tableX) * 5 / 8;

    printer.setLandscape(landscape);
    printer.setColor(Qt::black);
    PrintJob job(printer);
    printer.setFontSize(18);
    printer.setBold(true);
    printer.drawTextWithin(left, top, width - 2 * left, texts.title);
    constexpr double screenDpi = 96, gridDpi = 300;
    const QByteArray svg =
        chart(QSize(int(chartWidth * screenDpi / gridDpi), int(chartHeight * screenDpi / gridDpi)));
    printer.drawPainting(left, chartTop, chartWidth, chartHeight,
                         [svg](QPainter& painter, const QRectF& box) {
                             QSvgRenderer renderer(svg);
                             renderer.setAspectRatioMode(Qt::KeepAspectRatio);
                             renderer.render(&painter, box);
                         });
    printer.setFontSize(10);
    printer.setBold(false);
    int y = chartTop + chartHeight + line / 2;
    for (const QString& note : texts.notes) {
        printer.drawTextWithin(left, y, chartWidth, note);
        y += line;
    }

    if (!landscape)
        y += line;
    else
        y = chartTop;
    const auto row = [&](const QString& label, const QString& number) {
        if (y + line > height - bottom) {
            printer.newPage();
            y = top;
        }
        printer.drawTextWithin(tableX, y, numberX - tableX - 30, label);
        printer.drawText(numberX, y, number);
        y += line;
    };
    printer.setBold(true);
    row(texts.categoryAxis, texts.valueAxis);
    printer.setBold(false);
    for (qsizetype i = 0; i < texts.labels.size(); ++i)
        row(texts.labels[i], texts.valueTexts[i]);
    job.end();
}
