#pragma once
// Backups of the catalogue: before Q7.dat is replaced or changed in bulk, the catalogue
// as it stands is kept in the folder Sauvegardes of the data folder, so a collector can
// go back to it. Keeping a backup never stops the command it precedes.
#include "store/Folder.h"

#include <ctime>
#include <string>

namespace q7 {

inline const std::string backupFolderName = "Sauvegardes";
inline constexpr int backupsKept = 10;

enum class BackupMethod {
    // Q7.dat is about to be replaced by a rename and never written again: a hard link
    // keeps it at no cost; a copy where the file system has no links.
    LinkOrCopy,
    // Q7.dat will be written in place (records appended): only a copy stays as it is.
    Copy,
};

struct Backup {
    std::string path;    // the backup made; empty when none was needed or made
    std::string failure; // why none could be made (French, UTF-8); empty otherwise
    bool failed() const { return !failure.empty(); }
};

// "AAAAMMJJ-HHMMSS", local time: the date in the names of the files kept aside.
std::string fileStamp(std::time_t when);

// Keeps the folder's Q7.dat as Sauvegardes/Q7-NNNNNN-AAAAMMJJ-HHMMSS.dat: N one more
// than the highest number there (the order of making, which the clock cannot upset), then
// the local time `when` for the collector. An empty or missing catalogue needs no backup.
// Never throws: a failure is returned, no partial backup left.
Backup backUpCatalogue(const Folder& folder, BackupMethod method,
                       std::time_t when = std::time(nullptr));

// Once the change is done: removes all but the ten last made, by their numbers (names
// without one, from earlier versions, go first, oldest date first), never `justMade`.
// Files of the folder that are not backups are never touched. Never throws.
void pruneBackups(const Folder& folder, int keep = backupsKept, const std::string& justMade = {});

// At open, under the lock: removes what a crash left in Sauvegardes/, copies cut short
// (*.part) and a backup that is a second name of the live catalogue `live` (a crash
// between the link and the rename), which the next save would change too. Never throws.
void tidyBackups(const Folder& folder, const FileId& live);

// The change did not happen after all: removes the backup just made (a hard link would
// otherwise follow the catalogue's later changes). Never throws.
void withdrawBackup(const Folder& folder, const Backup& backup);

// The note the window shows, after the command's own messages, when no backup was kept.
std::string backupFailureMessage(const Backup& backup);

} // namespace q7
