#include "output/PrintOnPrinter.h"

#include "platform/QtText.h"

namespace {
QColor colorOf(q7::Ink ink) {
    return ink == q7::Ink::Red ? QColor(255, 0, 0) : QColor(0, 0, 0);
}
} // namespace

void printLayout(Printer& printer, const q7::PrintLayout& layout) {
    printPages(printer, {layout});
}

void printPages(Printer& printer, const std::vector<q7::PrintLayout>& pages) {
    if (pages.empty()) return;
    printer.setFontSize(pages.front().points);
    printer.setBold(pages.front().bold);
    q7::Ink ink = q7::Ink::Black;
    printer.setColor(colorOf(ink));
    PrintJob job(printer);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const q7::PrintLayout& page = pages[p];
        if (p > 0) {
            printer.newPage();
            printer.setFontSize(page.points);
            printer.setBold(page.bold);
        }
        int points = page.points;
        for (const q7::DrawCall& call : page.calls) {
            if (const int wanted = call.points > 0 ? call.points : page.points; wanted != points) {
                points = wanted;
                printer.setFontSize(points);
            }
            if (call.ink != ink) {
                ink = call.ink;
                printer.setColor(colorOf(ink));
            }
            if (call.width > 0)
                printer.drawTextWithin(call.x, call.y, call.width, fromBytes(call.text));
            else
                printer.drawText(call.x, call.y, fromBytes(call.text));
        }
    }
    job.end();
}

q7::TextWidth textWidthOn(Printer& printer) {
    return [&printer](std::string_view text, int points) {
        return printer.textWidth(fromBytes(text), points, false);
    };
}
