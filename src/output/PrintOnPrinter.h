#pragma once
// Sends pages laid out by the core to the printer service, as one document.
#include "output/PrintLayout.h"
#include "platform/Printer.h"

#include <vector>

// Font size and style are set before the job starts; throws what the printer throws.
void printLayout(Printer& printer, const q7::PrintLayout& layout);
// One document of several pages, each with its own font size and style.
void printPages(Printer& printer, const std::vector<q7::PrintLayout>& pages);
// How wide the printer draws a Windows-1252 text, for the layouts that fit texts.
q7::TextWidth textWidthOn(Printer& printer);
