#pragma once
// Printer drawing on any paint device with the program's 300-per-inch grid, shrunk
// evenly when the page's printable area is smaller than the label sheet.
#include "platform/Printer.h"

#include <QFont>
#include <QPainter>

#include <memory>

class QPagedPaintDevice;
class QPrinter;

class PaintPrinter : public Printer {
public:
    void setFontSize(int points) override;
    void setBold(bool bold) override;
    void setColor(const QColor& color) override;
    void begin() override;
    void drawText(int x, int y, const QString& text) override;
    void drawTextWithin(int x, int y, int width, const QString& text) override;
    void newPage() override;
    void end() override;

protected:
    // The device of the next document; throws q7::Error when there is none.
    virtual QPagedPaintDevice& device() = 0;
    virtual void finished() {}

private:
    void applyFont();
    std::unique_ptr<QPainter> painter_;
    QPagedPaintDevice* device_ = nullptr;
    int points_ = 10;
    bool bold_ = false;
    QColor color_ = Qt::black;
    double fontDpi_ = 300.0;
};

// The default printer of the system. Every job asks for A4 with the same margins on
// every printer (so the label grid falls on the same place of the sheet) and for colour
// (so red lines print red), whatever the printer's own defaults.
class QtPrinter : public PaintPrinter {
public:
    QtPrinter();
    ~QtPrinter() override;

    // The printer of the last job, as the job set it up; null before the first.
    const QPrinter* job() const { return job_.get(); }

protected:
    QPagedPaintDevice& device() override;
    // The printer of the next job with the system's settings; throws q7::Error when
    // there is none. A test prints into a file instead.
    virtual std::unique_ptr<QPrinter> systemPrinter();

private:
    std::unique_ptr<QPrinter> job_;
};
