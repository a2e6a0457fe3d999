#pragma once
// Sends a page laid out by the core to the printer service: one document, one page.
#include "output/PrintLayout.h"
#include "platform/Printer.h"

// Font size and style are set before the job starts; throws what the printer throws.
void printLayout(Printer& printer, const q7::PrintLayout& layout);
