#include "store/Backup.h"

#include "store/CatalogueNames.h"
#include "store/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace q7 {

namespace {

constexpr std::string_view prefix = "Q7-";
constexpr std::string_view extension = ".dat";
// A copy is written under this name and renamed once whole.
constexpr std::string_view partial = ".part";

std::string stamp(std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

bool digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Q7-AAAAMMJJ-HHMMSS.dat" or "...-N.dat": its stamp and N (1 without a suffix).
struct Name {
    std::string stamp;
    long number = 1;
};
bool parseName(std::string_view name, Name& out) {
    if (name.size() < prefix.size() + 15 + extension.size()) return false;
    if (name.substr(0, prefix.size()) != prefix) return false;
    if (name.substr(name.size() - extension.size()) != extension) return false;
    const std::string_view body =
        name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
    if (!digits(body.substr(0, 8)) || body[8] != '-' || !digits(body.substr(9, 6))) return false;
    out.stamp = std::string(body.substr(0, 15));
    out.number = 1;
    if (body.size() == 15) return true;
    const std::string_view suffix = body.substr(15);
    if (suffix.size() < 2 || suffix.size() > 6 || suffix[0] != '-' || !digits(suffix.substr(1)))
        return false;
    out.number = std::stol(std::string(suffix.substr(1)));
    return true;
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
        const std::string base = std::string(prefix) + stamp(when);
        std::string name = base + std::string(extension);
        for (int n = 2; fs.exists(join(dir, name)); ++n)
            name = base + "-" + std::to_string(n) + std::string(extension);
        const std::string target = join(dir, name);
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
            if (a.first.stamp != b.first.stamp) return a.first.stamp > b.first.stamp;
            return a.first.number > b.first.number;
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
