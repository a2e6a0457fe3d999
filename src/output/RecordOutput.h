#pragma once
// The two outputs of the record shown: its printed page and Q7fiche.txt. Both are whole
// commands (hourglass, errors in the error box) and return false when they failed.
#include "output/PrintLayout.h"

struct AppState;
struct Services;

// "&Impression fiche": prints what the window's controls show; the record number is
// the data file's position.
bool printRecordPage(AppState& state, Services& services, const q7::RecordScreen& screen);

// "Q7fiche.txt": writes the record buffer to Q7fiche.txt in the working folder.
bool writeRecordTextFile(AppState& state, Services& services);
