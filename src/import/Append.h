#pragma once
// The two commands that change a catalogue: an import's append and its undo. Both run
// under the catalogue's lock, after a backup of Q7.dat in Sauvegardes/, synced to disk.
#include "import/Importer.h"
#include "import/Report.h"
#include "store/DataFile.h"
#include "store/Folder.h"

#include <ctime>
#include <string>

namespace q7::import {

struct AppendRequest {
    const SourceFile* source = nullptr;
    std::string sourceName; // as the report names it
    bool lists = false;     // new values into the value lists too
    std::time_t now = 0;
    Progress progress;
};

// Appends the books after a backup, writes the report next to the catalogue
// (Q7import-AAAAMMJJ-HHMMSS.txt) and what --annuler needs. Throws q7::Error (French):
// refused while another program holds the catalogue; on a failed write the catalogue is
// left as it was.
Report appendImport(const Folder& folder, const AppendRequest& request);
// The same through a data file its caller has open and locked already (the program's own):
// nobody else can slip in between.
Report appendImport(DataFile& data, const Folder& folder, const AppendRequest& request);

// What an append would do, read without lock and writing nothing: the trial's report.
Report trialImport(const Folder& folder, const AppendRequest& request);

// Cuts the catalogue back to the count the last import started from, after a backup,
// only when it has not changed since; otherwise throws q7::Error saying why. Returns what
// to tell the user.
std::string undoLastImport(const Folder& folder, std::time_t now);
std::string undoLastImport(DataFile& data, const Folder& folder, std::time_t now);
// "L'importation du 05/03/2024 à 10:15:00 de « livres.csv » (12 fiche(s) ajoutée(s))":
// the one an undo would take back. Throws q7::Error when there is none.
std::string lastImportNamed(const Folder& folder);

// Today's date at `now`, local time.
Date dateAt(std::time_t now);
// "JJ/MM/AAAA à HH:MM:SS" ("AAAAMMJJ-HHMMSS" is the store's fileStamp).
std::string readableStamp(std::time_t now);

} // namespace q7::import
