#pragma once
// Everything a window needs from the platform, made once at start-up (fakes in tests).
#include "platform/BusyCursor.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Fetcher.h"
#include "platform/Launcher.h"
#include "platform/ModalShower.h"
#include "platform/Printer.h"
#include "platform/SettingsBackend.h"
#include "store/FileSystem.h"

#include <string>

struct Services {
    Dialogs& dialogs;
    Printer& printer;
    Launcher& launcher;
    Clock& clock;
    Cursor& cursor;
    q7::SettingsBackend& settingsStore;
    ModalShower& modal;
    q7::Fetcher& fetcher; // the one door to the network
    q7::FileSystem& fs;
    std::string workDir;
    QString programName;
    // What is installed with the program (<prefix>/share/lirabel3): the help text shown
    // when the data folder has none. Empty when there is no such folder.
    std::string installedDir;
};
