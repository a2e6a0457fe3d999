#pragma once
// Rebuilds, from a recorded command, every folder a crash after each of its steps could
// leave, runs the program's open path on each, and checks that every file is either as
// it was before the command or as the command left it, whole.
#include "RecordingFileSystem.h"

#include <functional>
#include <string>
#include <vector>

enum class CrashModel {
    ProcessCrash,   // the program dies: everything it wrote stays
    LostUnsynced,   // power cut: what was not synced is gone
    ZeroedUnsynced, // power cut: sizes kept, the bytes not synced read as zeros
    TornSectors,    // power cut in a write: only some of its 512-byte sectors reached disk
    // The command returned (its last sync done), then the power failed, at any point of
    // what follows: what it wrote must all be there, never the old files.
    ReturnedThenPowerCut,
    // A crash or a power cut, then, before the next start, a program that knows no journal
    // changes Q7.dat: the open must write nothing into it.
    ThenRecordsAppended, // the Windows program adds five books
    ThenCatalogueCopied, // another catalogue of the same size copied in its place
    ThenBackupRestored,  // an older catalogue of ten more books put back
    ThenOtherJournal,    // Q7.jnl of another folder (a save in progress there) copied in
};
inline constexpr CrashModel crashModels[] = {
    CrashModel::ProcessCrash,         CrashModel::LostUnsynced,
    CrashModel::ZeroedUnsynced,       CrashModel::TornSectors,
    CrashModel::ReturnedThenPowerCut, CrashModel::ThenRecordsAppended,
    CrashModel::ThenCatalogueCopied,  CrashModel::ThenBackupRestored,
    CrashModel::ThenOtherJournal};
const char* crashModelName(CrashModel model);
// Whether Q7.dat was changed by another program after the crash.
bool changedAfterCrash(CrashModel model);

struct CrashRule {
    // The program's open path on a rebuilt folder (a real directory); a throw is a
    // wrong message and breaks the rule.
    std::function<void(const std::string& dir)> recover;
    // The open path alone, for a folder another program changed after the crash (nothing
    // of the command resumed); `recover` when empty.
    std::function<void(const std::string& dir)> reopen;
    // A rule across files, checked after `recover` on the folder's files by name; returns
    // what is wrong, or "".
    std::function<std::string(const FolderImage& before, const FolderImage& after,
                              const FolderImage& now)>
        across;
};

struct CrashCount {
    CrashModel model;
    int states = 0;                    // distinct folders
    int breaking = 0;                  // of them, those the rule fails on
    std::vector<std::string> examples; // the first few failures, said plainly
};

// `scratch` is an empty folder the rebuilt folders are made in, one after another.
std::vector<CrashCount> replayCrashes(const RecordingFileSystem& recorded, const CrashRule& rule,
                                      const std::string& scratch);

// The table's lines of one command: "command | model | states | breaking", then the
// first failures of each model, indented.
std::string crashTableRows(const std::string& command, const std::vector<CrashCount>& counts);

// The program's open path: Q7.dat opened under its lock, read through and closed; a
// journal it set aside must be named in what it says.
void openCatalogue(const std::string& dir);

// The folder's files now (one level of sub-folders), as an image.
FolderImage readFolder(const std::string& dir);
// The content a name has in an image, or nullptr when the image has no such name.
const std::string* contentOf(const FolderImage& image, const std::string& name);

// A rule across files: no reference offered in Q7ancnum.lst is the number of a record in
// Q7.dat (given twice, it would name two books); a reference lost from both is the lesser
// harm. Returns what is wrong, or "".
std::string referencesFreeOrLost(const FolderImage& before, const FolderImage& after,
                                 const FolderImage& now);
