#include "platform/PaintPrinter.h"

#include "store/Errors.h"

#include <QPagedPaintDevice>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {
constexpr double gridDpi = 300.0;
// The widest and tallest layout, the label sheet (seven 350-unit columns from x = 140,
// ten 330-unit rows from y = 200, and the text under the last border), must stay on
// the page: when the printable area is smaller, the grid is shrunk evenly to fit it.
constexpr double gridWidth = 2560.0;
constexpr double gridHeight = 3540.0;
} // namespace

void PaintPrinter::setFontSize(int points) {
    points_ = points;
    applyFont();
}

void PaintPrinter::setBold(bool bold) {
    bold_ = bold;
    applyFont();
}

void PaintPrinter::setColor(const QColor& color) {
    color_ = color;
    if (painter_) painter_->setPen(color_);
}

void PaintPrinter::applyFont() {
    if (!painter_) return;
    QFont font = painter_->font();
    // A Helvetica-like face where there is one: its narrow hyphen lets a label's
    // border fit its column; otherwise the system's sans serif face.
    font.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Helvetica"), QStringLiteral("Sans Serif")});
    // Sizes are points of the grid (300/72 units each), scaled with it. The painter
    // turns points into logical units with the device's resolution, hence the ratio.
    font.setPointSizeF(points_ * gridDpi / fontDpi_);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold_);
    painter_->setFont(font);
}

void PaintPrinter::begin() {
    QPagedPaintDevice& dev = device();
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&dev)) {
        painter_.reset();
        throw q7::Error("L'impression n'a pas pu commencer");
    }
    const double sx = dev.logicalDpiX() / gridDpi;
    const double sy = dev.logicalDpiY() / gridDpi;
    const double fit =
        std::min({1.0, dev.width() / (gridWidth * sx), dev.height() / (gridHeight * sy)});
    painter_->scale(sx * fit, sy * fit);
    fontDpi_ = dev.logicalDpiY();
    painter_->setPen(color_);
    applyFont();
}

void PaintPrinter::drawText(int x, int y, const QString& text) {
    if (!painter_) throw q7::Error("Aucune impression en cours");
    // Like the platform's text call, (x, y) is the top-left corner of the text.
    // One line whatever the text holds: line breaks are drawn as blanks.
    QString line = text;
    for (QChar& c : line)
        if (c.unicode() < 0x20) c = u' ';
    const QFontMetricsF fm(painter_->font(), painter_->device());
    painter_->drawText(QPointF(x, y + fm.ascent()), line);
}

void PaintPrinter::end() {
    if (!painter_) return;
    painter_->end();
    painter_.reset();
    finished();
}

struct QtPrinter::Impl {
    std::unique_ptr<QPrinter> printer;
};

QtPrinter::QtPrinter() : impl_(std::make_unique<Impl>()) {}

QtPrinter::~QtPrinter() = default;

QPagedPaintDevice& QtPrinter::device() {
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        throw q7::Error("Aucune imprimante n'est installée");
    impl_->printer =
        std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    impl_->printer->setPageSize(QPageSize(QPageSize::A4));
    impl_->printer->setDocName(QStringLiteral("Lirabel 3"));
    return *impl_->printer;
}
