#pragma once
// What the program owns for its whole run and every window works on: the data file
// with its position, the one record buffer, the window state and the settings.
#include "record/FieldTable.h"
#include "settings/Settings.h"
#include "store/DataFile.h"
#include "store/Fiche.h"
#include "store/Folder.h"

#include <string>

struct WordSearchState {
    q7::Field field = q7::Field::titre; // title, notes or the user text
    std::string word;                   // Windows-1252 bytes, as typed
};

struct AppState {
    explicit AppState(q7::Folder workFolder) : folder(workFolder), data(workFolder) {}

    q7::Folder folder;
    q7::DataFile data;
    q7::Fiche buffer;
    bool newRecord = false;
    q7::Criterion criterion = q7::Criterion::None;
    int hits = 0; // records found by the running search; the window shows it
    WordSearchState word;
    q7::Settings settings;
};
