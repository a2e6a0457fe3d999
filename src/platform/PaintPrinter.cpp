#include "platform/PaintPrinter.h"

#include "store/Errors.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr double gridDpi = 300.0;
// The widest and tallest layout, the label sheet (seven 350-unit columns from x = 140,
// ten 330-unit rows from y = 200, and one 12-point line for the last rule), must stay
// on the page: when the printable area is smaller, the grid is shrunk evenly to fit it.
constexpr double gridWidth = 140 + 7 * 350;
constexpr double gridHeight = 200 + 10 * 330 + 60;
// Within what nearly every printer reaches, so the sheet is the same on all of them.
constexpr double jobMarginMm = 5.0;
// The key under which Qt's CUPS engine keeps the options it hands to CUPS with the job
// (name, value, name, value...); other engines ignore it.
constexpr auto cupsOptions = static_cast<QPrintEngine::PrintEnginePropertyKey>(0xfe00);

// A4 within the same margins, in colour, whatever the printer's defaults.
void prepareJob(QPrinter& printer, bool landscape) {
    printer.setDocName(QStringLiteral("Lirabel 3"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF least = layout.minimumMargins();
    printer.setPageMargins(
        QMarginsF(std::max(jobMarginMm, least.left()), std::max(jobMarginMm, least.top()),
                  std::max(jobMarginMm, least.right()), std::max(jobMarginMm, least.bottom())),
        QPageLayout::Millimeter);
    printer.setColorMode(QPrinter::Color);
    // CUPS applies the queue's own colour default unless the job asks: a queue set to
    // grey would print the red lines grey. A monochrome printer ignores the request.
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        QStringList options = printer.printEngine()->property(cupsOptions).toStringList();
        options << QStringLiteral("print-color-mode") << QStringLiteral("color");
        printer.printEngine()->setProperty(cupsOptions, options);
    }
}

// A Helvetica-like face where there is one, otherwise the system's sans serif: the same
// look, and nearly the same widths, on every machine. Sizes are points of the grid
// (300/72 units each), scaled with it; the painter turns points into logical units with
// the device's resolution, hence the ratio.
QFont gridFont(const QFont& base, int points, bool bold, double deviceDpi) {
    QFont font = base;
    font.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Helvetica"), QStringLiteral("Sans Serif")});
    font.setPointSizeF(points * gridDpi / deviceDpi);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold);
    return font;
}

} // namespace

void PaintPrinter::setFontSize(int points) {
    points_ = points;
}

void PaintPrinter::setBold(bool bold) {
    bold_ = bold;
}

void PaintPrinter::setColor(const QColor& color) {
    color_ = color;
}

void PaintPrinter::begin() {
    device_ = nullptr;
    strokes_.clear();
    pageNumber_ = 0;
    landscape_ = std::exchange(nextLandscape_, false);
    device_ = &device();
}

void PaintPrinter::keep(int x, int y, int width, const QString& text) {
    if (!device_) throw q7::Error("Aucune impression en cours");
    strokes_.push_back({x, y, width, text, points_, bold_, color_, pageNumber_, 0, {}});
}

void PaintPrinter::drawText(int x, int y, const QString& text) {
    keep(x, y, 0, text);
}

void PaintPrinter::drawTextWithin(int x, int y, int width, const QString& text) {
    keep(x, y, width, text);
}

void PaintPrinter::newPage() {
    if (!device_) throw q7::Error("Aucune impression en cours");
    ++pageNumber_;
}

int PaintPrinter::textWidth(const QString& text, int points, bool bold) {
    // The grid's own resolution: a point is 300/72 units, as on any page.
    static QImage grid = [] {
        QImage image(1, 1, QImage::Format_Mono);
        image.setDotsPerMeterX(qRound(gridDpi / 0.0254));
        image.setDotsPerMeterY(qRound(gridDpi / 0.0254));
        return image;
    }();
    // A face's metrics cost far more to make than to use: one a size, kept.
    std::unique_ptr<QFontMetricsF>& fm = metrics_[{points, bold}];
    if (!fm) fm = std::make_unique<QFontMetricsF>(gridFont(QFont(), points, bold, gridDpi), &grid);
    return int(std::ceil(fm->horizontalAdvance(text)));
}

PaintPrinter::PaintPrinter() = default;
PaintPrinter::~PaintPrinter() = default;

void PaintPrinter::drawPainting(int x, int y, int width, int height, Painting paint) {
    keep(x, y, width, QString());
    strokes_.back().height = height;
    strokes_.back().painting = std::move(paint);
}

void PaintPrinter::setLandscape(bool landscape) {
    nextLandscape_ = landscape;
}

void PaintPrinter::abort() noexcept {
    device_ = nullptr;
    strokes_.clear();
}

void PaintPrinter::end() {
    if (!device_) return;
    QPagedPaintDevice& dev = *device_;
    const std::vector<Stroke> strokes = std::move(strokes_);
    const int pages = pageNumber_ + 1;
    abort();
    QPainter painter;
    if (!painter.begin(&dev)) throw q7::Error("L'impression n'a pas pu commencer");
    const double sx = dev.logicalDpiX() / gridDpi;
    const double sy = dev.logicalDpiY() / gridDpi;
    // A sideways page holds the same grid turned a quarter.
    const double wide = landscape_ ? gridHeight : gridWidth;
    const double tall = landscape_ ? gridWidth : gridHeight;
    const double fit = std::min({1.0, dev.width() / (wide * sx), dev.height() / (tall * sy)});
    painter.scale(sx * fit, sy * fit);
    const QFont base = painter.font();
    int at = 0;
    for (const Stroke& s : strokes) {
        for (; at < s.page; ++at)
            if (!dev.newPage()) throw q7::Error("La page suivante n'a pas pu commencer");
        if (s.painting) {
            painter.save();
            s.painting(painter, QRectF(s.x, s.y, s.width, s.height));
            painter.restore();
            continue;
        }
        painter.setFont(gridFont(base, s.points, s.bold, dev.logicalDpiY()));
        painter.setPen(s.color);
        const QFontMetricsF fm(painter.font(), painter.device());
        // One line whatever the text holds: line breaks are drawn as blanks.
        QString line = s.text;
        for (QChar& c : line)
            if (c.unicode() < 0x20) c = u' ';
        // Only the whole characters that fit the width, for decoration kept in its place.
        if (s.width > 0)
            while (!line.isEmpty() && fm.horizontalAdvance(line) > s.width)
                line.chop(1);
        // Like the platform's text call, (x, y) is the top-left corner of the text.
        painter.drawText(QPointF(s.x, s.y + fm.ascent()), line);
    }
    // Pages left blank at the end are still pages of the document.
    for (; at + 1 < pages; ++at)
        if (!dev.newPage()) throw q7::Error("La page suivante n'a pas pu commencer");
    painter.end();
    finished();
}

QtPrinter::QtPrinter() = default;

QtPrinter::~QtPrinter() = default;

QPagedPaintDevice& QtPrinter::device() {
    job_ = systemPrinter();
    prepareJob(*job_, landscape());
    return *job_;
}

std::unique_ptr<QPrinter> QtPrinter::systemPrinter() {
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        throw q7::Error("Aucune imprimante n'est installée");
    return std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
}
