#pragma once
// Printing on the default printer. Positions are device units of a 300-per-inch grid
// from the top-left corner of the printable area.
#include <QColor>
#include <QString>

#include <functional>

class QPainter;
class QRectF;

class Printer {
public:
    virtual ~Printer() = default;
    // Font settings apply to the text drawn after them; they may precede begin().
    virtual void setFontSize(int points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setColor(const QColor& color) = 0;
    // Throws q7::Error when no printer can be used.
    virtual void begin() = 0;
    virtual void drawText(int x, int y, const QString& text) = 0;
    // Draws the whole characters of the text that fit in `width` units from x.
    virtual void drawTextWithin(int x, int y, int width, const QString& text) = 0;
    // Starts the next page of the document; font settings carry over.
    virtual void newPage() = 0;
    // How wide `text` is drawn at that size, in device units: layouts measure before they
    // draw, at any time, with or without a document begun.
    virtual int textWidth(const QString& text, int points, bool bold) = 0;
    // Paints a picture (a chart) into the box of the page given in device units: `paint`
    // draws into that rectangle of the painter when the page is made, so it must stay
    // valid until end().
    using Painting = std::function<void(QPainter& painter, const QRectF& box)>;
    virtual void drawPainting(int x, int y, int width, int height, Painting paint) = 0;
    // Turns the next document's pages sideways (A4 landscape); begin() takes it, and the
    // documents after that one are upright again.
    virtual void setLandscape(bool landscape) = 0;
    // Sends the document.
    virtual void end() = 0;
    // Drops the document begun: nothing of it reaches the paper.
    virtual void abort() noexcept = 0;
};

// One document: begun at construction, sent by end(). Left without end() (the drawing
// threw), the job is dropped: a half page is never printed.
class PrintJob {
public:
    explicit PrintJob(Printer& printer) : printer_(printer) { printer_.begin(); }
    ~PrintJob() {
        if (open_) printer_.abort();
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    // Sends the page; throws what the printer throws.
    void end() {
        open_ = false;
        printer_.end();
    }

private:
    Printer& printer_;
    bool open_ = true;
};
