#include "store/Backup.h"

#include "store/CatalogueNames.h"
#include "store/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace q7 {

namespace {

constexpr std::string_view prefix = "Q7-";
constexpr std::string_view extension = ".dat";
// A copy is written under this name and renamed once whole.
constexpr std::string_view partial = ".part";

bool digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Q7-NNNNNN-AAAAMMJJ-HHMMSS.dat": N counts the backups in the order they were made, so
// the order holds whatever the clock said. Names of earlier versions, without it
// ("Q7-AAAAMMJJ-HHMMSS.dat", "...-2.dat"), are older than any numbered one.
struct Name {
    bool numbered = false;
    std::uint64_t sequence = 0;
    std::string stamp;
    long number = 1; // the earlier names' "-2", "-3"... within one second
};

bool newer(const Name& a, const Name& b) {
    if (a.numbered != b.numbered) return a.numbered;
    if (a.numbered) return a.sequence > b.sequence;
    if (a.stamp != b.stamp) return a.stamp > b.stamp;
    return a.number > b.number;
}

std::vector<std::string_view> splitDashes(std::string_view s) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t dash = s.find('-', from);
        parts.push_back(s.substr(from, dash == std::string_view::npos ? dash : dash - from));
        if (dash == std::string_view::npos) return parts;
        from = dash + 1;
    }
}

bool parseName(std::string_view name, Name& out) {
    if (name.size() <= prefix.size() + extension.size()) return false;
    if (!name.starts_with(prefix) || !name.ends_with(extension)) return false;
    const auto parts =
        splitDashes(name.substr(prefix.size(), name.size() - prefix.size() - extension.size()));
    for (std::string_view part : parts)
        if (!digits(part)) return false;
    const auto stamped = [&](std::size_t at) {
        if (parts[at].size() != 8 || parts[at + 1].size() != 6) return false;
        out.stamp = std::string(parts[at]) + "-" + std::string(parts[at + 1]);
        return true;
    };
    out = Name{};
    if (parts.size() == 3 && parts[1].size() == 8) {
        // 18 digits cannot overflow; a longer number is not a name of ours.
        if (parts[0].size() > 18 || !stamped(1)) return false;
        out.numbered = true;
        out.sequence = std::stoull(std::string(parts[0]));
        return true;
    }
    if (parts.size() < 2 || parts.size() > 3 || !stamped(0)) return false;
    if (parts.size() == 3) {
        if (parts[2].size() > 5) return false;
        out.number = std::stol(std::string(parts[2]));
    }
    return true;
}

std::string numberedName(std::uint64_t sequence, std::time_t when) {
    char number[24];
    std::snprintf(number, sizeof number, "%06llu", static_cast<unsigned long long>(sequence));
    return std::string(prefix) + number + "-" + fileStamp(when) + std::string(extension);
}

std::string join(const std::string& dir, const std::string& name) {
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string backupDir(const Folder& folder) {
    return folder.path(backupFolderName);
}

void copyFile(FileSystem& fs, const std::string& from, const std::string& to) {
    const std::string temp = to + std::string(partial);
    try {
        auto in = fs.open(from, OpenMode::Read);
        auto out = fs.open(temp, OpenMode::CreateNew);
        std::vector<char> block(std::size_t(1) << 20);
        std::uint64_t offset = 0;
        for (;;) {
            const std::size_t n = in->readAt(block.data(), block.size(), offset);
            if (n == 0) break;
            out->writeAt(block.data(), n, offset);
            offset += n;
        }
        out->sync();
        out.reset();
        fs.rename(temp, to);
    } catch (...) {
        removeQuietly(fs, temp);
        throw;
    }
}

} // namespace

std::string fileStamp(std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

Backup backUpCatalogue(const Folder& folder, BackupMethod method, std::time_t when) {
    Backup made;
    FileSystem& fs = folder.fs();
    try {
        // The file itself: a hard link to a symbolic link would follow the live catalogue.
        const std::string catalogue = fs.resolve(folder.path(dataFileName));
        if (!fs.exists(catalogue)) return made;
        if (fs.open(catalogue, OpenMode::Read)->size() == 0) return made;
        const std::string dir = backupDir(folder);
        try {
            fs.makeDir(dir);
        } catch (const IoError&) {
            if (fs.exists(dir)) throw Error("un fichier porte déjà ce nom");
            throw;
        }
        std::uint64_t sequence = 0;
        for (const std::string& entry : fs.list(dir)) {
            Name name;
            if (parseName(entry, name) && name.numbered)
                sequence = std::max(sequence, name.sequence);
        }
        std::string target;
        do
            target = join(dir, numberedName(++sequence, when));
        while (fs.exists(target));
        bool linked = false;
        if (method == BackupMethod::LinkOrCopy) {
            try {
                fs.link(catalogue, target);
                linked = true;
            } catch (const IoError&) {
                // No hard links here (another device, FAT, a network share): copy.
            }
        }
        if (!linked) copyFile(fs, catalogue, target);
        made.path = target;
        fs.syncDir(dir);
    } catch (const std::exception& e) {
        if (!made.path.empty()) removeQuietly(fs, made.path);
        made.path.clear();
        made.failure = e.what();
    }
    return made;
}

void pruneBackups(const Folder& folder, int keep, const std::string& justMade) {
    FileSystem& fs = folder.fs();
    try {
        const std::string dir = backupDir(folder);
        if (!fs.exists(dir)) return;
        std::vector<std::pair<Name, std::string>> backups;
        for (const std::string& entry : fs.list(dir)) {
            Name name;
            if (parseName(entry, name)) backups.emplace_back(name, entry);
        }
        if (int(backups.size()) <= keep) return;
        const auto made = [&](const std::string& entry) {
            return !justMade.empty() && join(dir, entry) == justMade;
        };
        std::sort(backups.begin(), backups.end(), [&](const auto& a, const auto& b) {
            if (made(a.second) != made(b.second)) return made(a.second);
            return newer(a.first, b.first);
        });
        keep = std::max(keep, justMade.empty() ? 0 : 1);
        for (std::size_t i = std::size_t(std::max(keep, 0)); i < backups.size(); ++i)
            removeQuietly(fs, join(dir, backups[i].second));
    } catch (...) {
        // Too many backups is no reason to fail a command that succeeded.
    }
}

void tidyBackups(const Folder& folder, const FileId& live) {
    FileSystem& fs = folder.fs();
    try {
        const std::string dir = backupDir(folder);
        if (!fs.exists(dir)) return;
        for (const std::string& entry : fs.list(dir)) {
            Name name;
            const std::string path = join(dir, entry);
            if (entry.starts_with(prefix) && entry.ends_with(partial))
                removeQuietly(fs, path);
            else if (parseName(entry, name) && fs.idOf(path) == live)
                removeQuietly(fs, path);
        }
    } catch (...) {
        // Leftovers only take room; the catalogue opens all the same.
    }
}

void withdrawBackup(const Folder& folder, const Backup& backup) {
    if (!backup.path.empty()) removeQuietly(folder.fs(), backup.path);
}

std::string backupFailureMessage(const Backup& backup) {
    if (!backup.failed()) return {};
    return "La commande a été faite, mais sans sauvegarde : le catalogue d'avant n'a pas pu être "
           "gardé dans le dossier « " +
           backupFolderName + " » (" + backup.failure + ").";
}

} // namespace q7
