#pragma once
// lirabel3 --poche FICHIER.html [DOSSIER]: the pocket catalogue written from a terminal or
// a scheduled task, without a display, so that the copy in a folder the phone syncs stays
// fresh. The catalogue is read under its lock and never written.
#include "app/StartFolder.h"

#include <QString>

// Pocket written: 0. The catalogue held by the program (try again later): 75. Anything
// else that stops it: 1, said in French on standard error.
constexpr int pocketLockedExit = 75;

struct PocketOutcome {
    int exitCode = 0;
    QString output; // for standard output
    QString errors; // for standard error
};

PocketOutcome writePocketCatalogue(const StartRequest& request, const QString& home,
                                   const QString& current);
