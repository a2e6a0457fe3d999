#pragma once
// Printer drawing on any paint device with the program's 300-per-inch grid, shrunk
// evenly when the page's printable area is smaller than the label sheet.
#include "platform/Printer.h"

#include <QFont>
#include <QPainter>

#include <memory>

class QPagedPaintDevice;

class PaintPrinter : public Printer {
public:
    void setFontSize(int points) override;
    void setBold(bool bold) override;
    void setColor(const QColor& color) override;
    void begin() override;
    void drawText(int x, int y, const QString& text) override;
    void end() override;

protected:
    // The device of the next document; throws q7::Error when there is none.
    virtual QPagedPaintDevice& device() = 0;
    virtual void finished() {}

private:
    void applyFont();
    std::unique_ptr<QPainter> painter_;
    int points_ = 10;
    bool bold_ = false;
    QColor color_ = Qt::black;
    double fontDpi_ = 300.0;
};

// The default printer of the system.
class QtPrinter : public PaintPrinter {
public:
    QtPrinter();
    ~QtPrinter() override;

protected:
    QPagedPaintDevice& device() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
