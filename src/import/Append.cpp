#include "import/Append.h"

#include "import/ImportLists.h"
#include "import/ImportLoans.h"
#include "import/LastImport.h"
#include "store/Backup.h"
#include "store/DataFile.h"
#include "store/Errors.h"
#include "store/TextFile.h"

#include <csignal>
#include <cstdio>

#include <pthread.h>

namespace q7::import {

namespace {

std::tm local(std::time_t now) {
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

// The program holds the folder: say what to do about it.
void openLocked(DataFile& data, const char* what) {
    try {
        data.open();
    } catch (const LockedError&) {
        throw Error(std::string("Lirabel 3 a ce catalogue ouvert (Q7.dat est verrouillé) : "
                                "fermez le programme, puis relancez ") +
                    what + ". Rien n'a changé.");
    }
}

std::string reportName(const Folder& folder, std::time_t now) {
    const std::string base = "Q7import-" + q7::fileStamp(now);
    std::string name = base + ".txt";
    for (int n = 2; folder.exists(name); ++n)
        name = base + "-" + std::to_string(n) + ".txt";
    return name;
}

// A backup kept in Sauvegardes/, said in the report; its failure never stops the import.
void keepBackup(const Folder& folder, std::time_t now, Report& report, Backup& backup) {
    backup = backUpCatalogue(folder, BackupMethod::Copy, now);
    if (backup.failed())
        report.backupFailure = backupFailureMessage(backup);
    else
        report.backup = backup.path;
}

// A step after the records are in: its failure is said in the report, never as a failed
// import.
template <typename Step> void afterwards(Report& report, const char* what, Step step) {
    try {
        step();
    } catch (const std::exception& e) {
        report.warnings.push_back(std::string(what) + " : " + e.what());
    }
}

LastImport readLastImport(const Folder& folder) {
    if (!folder.exists(lastImportFileName))
        throw Error("Aucune importation à annuler dans ce dossier.");
    std::optional<LastImport> last = parseLastImport(readWholeFile(folder, lastImportFileName));
    if (!last)
        throw Error(lastImportFileName + " est illisible : l'annulation est refusée. Rien n'a "
                                         "changé.");
    return *last;
}

std::string importNamed(const LastImport& last) {
    return "L'importation du " + last.when +
           (last.source.empty() ? "" : " de « " + last.source + " »") + " (" +
           std::to_string(last.after - last.before) + " fiche(s) ajoutée(s))";
}

// An import that added nothing: nothing to take back, and nothing older either.
std::string undoNothing(const Folder& folder, const LastImport& last) {
    folder.fs().remove(folder.path(lastImportFileName));
    return importNamed(last) + " n'avait rien ajouté : rien n'est défait, le catalogue n'a pas "
                               "changé.";
}

// Ctrl+C, a kill or a closed terminal wait until the records are in: the append is one
// write that a signal would cut in the middle.
class HeldSignals {
public:
    HeldSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&held, s);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t previous_;
};

std::string failed(const std::exception& e) {
    std::string why = e.what();
    return "L'importation a échoué : " + why + (why.ends_with('.') ? "" : ".") +
           " Le catalogue est resté tel qu'il était.";
}

} // namespace

Date dateAt(std::time_t now) {
    const std::tm t = local(now);
    return {t.tm_mday, t.tm_mon + 1, t.tm_year + 1900};
}

std::string readableStamp(std::time_t now) {
    const std::tm t = local(now);
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d à %02d:%02d:%02d", t.tm_mday, t.tm_mon + 1,
                  t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

Report appendImport(const Folder& folder, const AppendRequest& request) {
    DataFile data(folder);
    openLocked(data, "l'importation");
    const std::string journal = data.takeJournalNote();
    Report report = appendImport(data, folder, request);
    if (!journal.empty()) report.warnings.insert(report.warnings.begin(), journal);
    data.close();
    return report;
}

Report trialImport(const Folder& folder, const AppendRequest& request) {
    Existing existing = peekCatalogue(folder);
    reserveLentReferences(folder, existing);
    reserveFreedReferences(folder, existing);
    Plan plan = planImport(*request.source, existing, dateAt(request.now), request.progress);
    plan.report.source = request.sourceName;
    if (request.lists)
        for (const ListAddition& add : newListValues(folder, plan.records))
            plan.report.lists.push_back(add.file + " : " + std::to_string(add.values.size()) +
                                        " valeur(s) seraient ajoutée(s)");
    return plan.report;
}

Report appendImport(DataFile& data, const Folder& folder, const AppendRequest& request) {
    Existing existing = scanCatalogue(data);
    reserveLentReferences(folder, existing);
    reserveFreedReferences(folder, existing);
    Plan plan = planImport(*request.source, existing, dateAt(request.now), request.progress);
    Report& report = plan.report;
    report.source = request.sourceName;
    report.action = "ajout au catalogue";
    // What undoes the import is on disk before the first record: never records in without
    // it. The undo of an earlier import goes back in place should this one fail.
    LastImport last;
    last.source = request.sourceName;
    last.before = report.before;
    last.after = report.before + int(plan.records.size());
    const bool changed = !plan.records.empty();
    if (changed) {
        last.fingerprintBefore = fingerprint(data);
        last.fingerprint = fingerprint(last.fingerprintBefore, plan.records);
        last.when = readableStamp(request.now);
        last.report = reportName(folder, request.now);
        if (request.lists) last.lists = newListValues(folder, plan.records);
        const std::string earlier = folder.exists(lastImportFileName)
                                        ? readWholeFile(folder, lastImportFileName)
                                        : std::string();
        Backup backup;
        keepBackup(folder, request.now, report, backup);
        try {
            replaceFile(folder, lastImportFileName, formatLastImport(last));
            HeldSignals held;
            // All the records or none, flushed to disk.
            data.append(plan.records);
        } catch (const std::exception& e) {
            withdrawBackup(folder, backup);
            try {
                if (earlier.empty())
                    removeQuietly(folder.fs(), folder.path(lastImportFileName));
                else
                    replaceFile(folder, lastImportFileName, earlier);
            } catch (...) {
                // The failure said is the import's.
            }
            throw Error(failed(e));
        }
        pruneBackups(folder, backupsKept, backup.path);
    }
    // The records are in: what follows must not make the user believe otherwise.
    afterwards(report, "Les listes n'ont pas été complétées", [&] {
        if (!changed || last.lists.empty()) return;
        addToLists(folder, last.lists);
        for (const ListAddition& add : last.lists)
            report.lists.push_back(add.file + " : " + std::to_string(add.values.size()) +
                                   " valeur(s) ajoutée(s)");
    });
    afterwards(report, "Les prêts n'ont pas été inscrits dans Q7prets.txt", [&] {
        if (!changed) return;
        try {
            last.loans = addImportedLoans(folder, plan.loans, report);
        } catch (...) {
            report.lent = 0;
            report.loans.clear();
            throw;
        }
    });
    // An import that added nothing is still the last one: --annuler must never reach back
    // to an earlier import. One that added books wrote this before them; again only when
    // its loans are to be taken out too.
    afterwards(report, "--annuler ne pourra pas défaire cette importation", [&] {
        if (changed && last.loans.empty()) return;
        if (!changed) {
            last.fingerprint = last.fingerprintBefore = fingerprint(data);
            last.when = readableStamp(request.now);
            last.report = reportName(folder, request.now);
        }
        replaceFile(folder, lastImportFileName, formatLastImport(last));
    });
    afterwards(report, "Le rapport n'a pas pu être écrit à côté du catalogue", [&] {
        const std::string name =
            last.report.empty() ? reportName(folder, request.now) : last.report;
        report.written = name;
        try {
            replaceFile(folder, name, reportFileBytes(renderReport(report)));
        } catch (...) {
            report.written.clear();
            throw;
        }
    });
    return report;
}

std::string lastImportNamed(const Folder& folder) {
    return importNamed(readLastImport(folder));
}

std::string undoLastImport(const Folder& folder, std::time_t now) {
    const LastImport last = readLastImport(folder); // said before the lock is tried
    if (last.after == last.before) return undoNothing(folder, last);
    DataFile data(folder);
    openLocked(data, "l'annulation");
    // A journal set aside at the open is said whatever the undo says.
    const std::string journal = data.takeJournalNote();
    std::string said;
    try {
        said = undoLastImport(data, folder, now);
    } catch (const std::exception& e) {
        if (journal.empty()) throw;
        throw Error(journal + "\n" + e.what());
    }
    if (!journal.empty()) said = journal + "\n" + said;
    data.close();
    return said;
}

std::string undoLastImport(DataFile& data, const Folder& folder, std::time_t now) {
    const LastImport last = readLastImport(folder);
    const int added = last.after - last.before;
    if (added == 0) return undoNothing(folder, last);
    const std::string named = importNamed(last);
    const std::string since = "Le catalogue a changé depuis l'importation du " + last.when +
                              (last.source.empty() ? "" : " de « " + last.source + " »");
    const std::string keep = " : l'annulation est refusée pour ne rien perdre. Le catalogue "
                             "d'avant l'importation est gardé dans " +
                             backupFolderName + "/.";
    // Already back to where the import started: an undo cut short by a crash, or an import
    // stopped before its records. What is left to do is finished.
    const bool cut = last.fingerprintBefore != 0 && data.count() == last.before &&
                     data.tailBytes() == 0 && fingerprint(data) == last.fingerprintBefore;
    if (!cut && (data.count() != last.after || data.tailBytes() != 0))
        throw Error(since + " (" + std::to_string(data.count()) + " fiches au lieu de " +
                    std::to_string(last.after) + ")" + keep);
    if (!cut && fingerprint(data) != last.fingerprint)
        throw Error(since + " (des fiches ont été modifiées ou déplacées)" + keep);

    Report unused;
    if (!cut) {
        Backup backup;
        keepBackup(folder, now, unused, backup);
        data.cutBack(last.before);
        pruneBackups(folder, backupsKept, backup.path);
    }
    removeFromLists(folder, last.lists);
    std::string loansNote;
    try {
        removeImportedLoans(folder, last.loans);
        if (!last.loans.empty())
            loansNote = "\n" + std::to_string(last.loans.size()) +
                        " prêt(s) de cette importation retiré(s) de Q7prets.txt.";
    } catch (const std::exception& e) {
        loansNote = "\nAttention : les prêts de cette importation n'ont pas pu être retirés de "
                    "Q7prets.txt : " +
                    std::string(e.what());
    }
    folder.fs().remove(folder.path(lastImportFileName));
    folder.fs().syncDir(folder.dir());
    std::string text = named + " est annulée : " + std::to_string(added) +
                       " fiche(s) retirée(s) ; le catalogue compte de nouveau " +
                       std::to_string(last.before) + " fiche(s).";
    if (!unused.backup.empty()) text += "\nSauvegarde d'avant l'annulation : " + unused.backup;
    if (!unused.backupFailure.empty()) text += "\n" + unused.backupFailure;
    return text + loansNote;
}

} // namespace q7::import
