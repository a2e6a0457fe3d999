#pragma once
// Printer drawing on any paint device with the program's 300-per-inch grid, shrunk
// evenly when the page's printable area is smaller than the label sheet. The pages are
// kept until end() and only then painted, so that a dropped job leaves nothing on the
// device: Qt cannot take back a page once painting has begun (CUPS gets it at the
// painter's end, whatever happened).
#include "platform/Printer.h"

#include <QColor>
#include <QString>

#include <map>
#include <memory>
#include <utility>
#include <vector>

class QFontMetricsF;
class QPagedPaintDevice;
class QPrinter;

class PaintPrinter : public Printer {
public:
    PaintPrinter();
    ~PaintPrinter() override;
    void setFontSize(int points) override;
    void setBold(bool bold) override;
    void setColor(const QColor& color) override;
    void begin() override;
    void drawText(int x, int y, const QString& text) override;
    void drawTextWithin(int x, int y, int width, const QString& text) override;
    void newPage() override;
    int textWidth(const QString& text, int points, bool bold) override;
    void drawPainting(int x, int y, int width, int height, Painting paint) override;
    void setLandscape(bool landscape) override;
    void end() override;
    void abort() noexcept override;

protected:
    // Whether the document being begun is landscape (valid within device()).
    bool landscape() const { return landscape_; }
    // The device of the next document; throws q7::Error when there is none.
    virtual QPagedPaintDevice& device() = 0;
    virtual void finished() {}

private:
    struct Stroke {
        int x, y;
        int width; // 0: the whole text
        QString text;
        int points;
        bool bold;
        QColor color;
        int page;          // from 0
        int height = 0;    // of a painting
        Painting painting; // empty for text
    };
    void keep(int x, int y, int width, const QString& text);
    QPagedPaintDevice* device_ = nullptr; // of the document begun; null when none
    std::vector<Stroke> strokes_;         // every page of the document, in order
    int pageNumber_ = 0;                  // of the page being drawn
    int points_ = 10;
    bool bold_ = false;
    QColor color_ = Qt::black;
    std::map<std::pair<int, bool>, std::unique_ptr<QFontMetricsF>> metrics_; // by size, bold
    bool nextLandscape_ = false; // asked for the next document
    bool landscape_ = false;     // of the document begun
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
