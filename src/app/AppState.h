#pragma once
// What the program owns for its whole run and every window works on: the data file
// with its position, the one record buffer, the window state and the settings.
#include "settings/Settings.h"
#include "store/DataFile.h"
#include "store/Fiche.h"
#include "store/Folder.h"

#include <string>

struct WordSearchState {
    std::string field = "titr"; // "titr", "note" or "util"
    std::string word;           // Windows-1252 bytes, as typed
};

struct AppState {
    explicit AppState(q7::Folder workFolder) : folder(workFolder), data(workFolder) {}

    q7::Folder folder;
    q7::DataFile data;
    q7::Fiche buffer;
    bool newRecord = false;
    int criterion = 100; // 100 none, 0 list browsing, 1..21 the search criteria
    WordSearchState word;
    q7::Settings settings;
};
