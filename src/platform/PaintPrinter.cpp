#include "platform/PaintPrinter.h"

#include "store/Errors.h"

#include <QPagedPaintDevice>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
constexpr double gridDpi = 300.0;
}

void PaintPrinter::setFontSize(int points)
{
    points_ = points;
    applyFont();
}

void PaintPrinter::setBold(bool bold)
{
    bold_ = bold;
    applyFont();
}

void PaintPrinter::setColor(const QColor& color)
{
    color_ = color;
    if (painter_) painter_->setPen(color_);
}

void PaintPrinter::applyFont()
{
    if (!painter_) return;
    QFont font = painter_->font();
    // Sizes are given in points of the grid: a point is 300/72 units.
    font.setPixelSize(std::max(1, qRound(points_ * gridDpi / 72.0)));
    font.setBold(bold_);
    painter_->setFont(font);
}

void PaintPrinter::begin()
{
    QPagedPaintDevice& dev = device();
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&dev)) {
        painter_.reset();
        throw q7::Error("L'impression n'a pas pu commencer");
    }
    const double scale = dev.logicalDpiX() / gridDpi;
    painter_->scale(scale, dev.logicalDpiY() / gridDpi);
    painter_->setPen(color_);
    applyFont();
}

void PaintPrinter::drawText(int x, int y, const QString& text)
{
    if (!painter_) throw q7::Error("Aucune impression en cours");
    // Like the platform's text call, (x, y) is the top-left corner of the text.
    const QFontMetrics fm(painter_->font());
    painter_->drawText(QPointF(x, y + fm.ascent()), text);
}

void PaintPrinter::end()
{
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

QPagedPaintDevice& QtPrinter::device()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        throw q7::Error("Aucune imprimante n'est installée");
    impl_->printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(),
                                                QPrinter::HighResolution);
    impl_->printer->setPageSize(QPageSize(QPageSize::A4));
    impl_->printer->setDocName(QStringLiteral("Lirabel 3"));
    return *impl_->printer;
}
