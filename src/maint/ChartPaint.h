#pragma once
// One chart of the collection drawn with Qt Charts, and its picture for a file or the
// printer.
#include "maint/ChartFigures.h"
#include "platform/Printer.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QChart;
class QGraphicsScene;
class QRectF;

// Okabe and Ito's colours: they stay apart for red-green colour blindness.
const std::array<QColor, 8>& chartPalette();

// What a chart shows, as the widgets write it.
struct ChartTexts {
    QString title;
    QString categoryAxis;
    QString valueAxis;
    QStringList labels;
    QList<double> values;   // whole numbers, as drawn
    QStringList valueTexts; // as the table writes them
    QStringList notes;
    bool years = false; // bars stand side by side along time, rather than lie as a ranking
};
ChartTexts chartTexts(q7::Chart chart, const q7::ChartData& data, const QString& devise);

// A new chart (the caller owns it), without animations, titled, axes labelled and the
// numbers on its bars or slices.
QChart* makeChart(const ChartTexts& texts, q7::ChartStyle style);

// What a screen reader says of the picture: the title and every number.
QString chartDescription(const ChartTexts& texts);

enum class ImageFormat { png, svg };
// The image format a file name asks for; PNG unless it ends in ".svg".
ImageFormat imageFormatOf(const QString& fileName);
// The bytes of the image of `source` of the scene at `size` pixels (PNG at twice that,
// for a sharp print or a screen with high density).
QByteArray renderImage(QGraphicsScene& scene, const QRectF& source, QSize size, ImageFormat format,
                       const QString& title);

// The SVG of a chart laid out on `pixels` (a 96-per-inch size, so that its text has
// the size it has on screen).
using ChartSvg = std::function<QByteArray(QSize pixels)>;
ChartSvg chartSvg(const ChartTexts& texts, q7::ChartStyle style);

// The chart on an A4 page, sideways when `landscape`: its title above, its numbers and
// notes beside it (or below it on an upright page), going on to a next page when many.
// The chart is drawn as vectors, sharp on paper.
void printChart(Printer& printer, const ChartTexts& texts, bool landscape, const ChartSvg& chart);
