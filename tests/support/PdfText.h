#pragma once
// Reads back what a PDF page holds, with poppler's pdftotext: every word with its box,
// in points from the page's top-left corner.
#include <QList>
#include <QString>

struct PdfWord {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

struct PdfText {
    int pages = 0;
    double width = 0, height = 0; // of the first page
    QList<PdfWord> words;         // of every page, in the file's order
};

// False when poppler-utils is not installed.
bool havePdfTools();
PdfText readPdfText(const QString& pdf);
// Words whose tops lie within `tolerance` of each other make one line; lines top to
// bottom, words left to right.
QList<QList<PdfWord>> pdfLines(const PdfText& text, double tolerance = 0.5);
// A line's words joined by single spaces.
QString joined(const QList<PdfWord>& line);
