#include "CrashReplay.h"

#include "ForeignChanges.h"
#include "store/Journal.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <sys/stat.h>

namespace fsys = std::filesystem;

namespace {

constexpr std::uint64_t sector = 512;
// Points at which a torn write is cut, at most (evenly spread over its sectors).
constexpr int tearPoints = 8;

std::string parentOf(const std::string& name) {
    const auto slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

// The disk as the recorded steps leave it, and what of it a power cut keeps.
struct Disk {
    std::map<std::string, int> names;   // as the program sees them
    std::map<std::string, int> durable; // as a power cut keeps them (folders synced)
    std::set<std::string> dirs;
    std::map<int, std::string> current;
    std::map<int, std::string> synced;
    std::map<int, std::vector<std::pair<std::uint64_t, std::uint64_t>>> unsynced;
    // The last step, when it is a write: the file and its bytes before it.
    int tornFile = -1;
    std::string tornBefore;
    std::uint64_t tornOffset = 0;
    std::uint64_t tornSize = 0;

    explicit Disk(const FolderImage& start)
        : names(start.names), durable(start.names), dirs(start.dirs.begin(), start.dirs.end()),
          current(start.files), synced(start.files) {}

    void apply(const FileStep& s) {
        tornFile = -1;
        switch (s.kind) {
        case FileStep::Open:
            names[s.name] = s.file;
            if (s.empties) current[s.file].clear();
            current[s.file];
            break;
        case FileStep::Write: {
            std::string& bytes = current[s.file];
            tornFile = s.file;
            tornBefore = bytes;
            tornOffset = s.offset;
            tornSize = s.bytes.size();
            if (bytes.size() < s.offset + s.bytes.size()) bytes.resize(s.offset + s.bytes.size());
            bytes.replace(s.offset, s.bytes.size(), s.bytes);
            unsynced[s.file].emplace_back(s.offset, s.bytes.size());
            break;
        }
        case FileStep::Truncate: current[s.file].resize(s.size); break;
        case FileStep::Sync:
            synced[s.file] = current[s.file];
            unsynced.erase(s.file);
            break;
        case FileStep::Rename:
            names[s.to] = names.at(s.name);
            names.erase(s.name);
            break;
        case FileStep::Remove: names.erase(s.name); break;
        case FileStep::Link: names[s.to] = names.at(s.name); break;
        case FileStep::MakeDir: dirs.insert(s.name); break;
        case FileStep::SyncDir:
            std::erase_if(durable, [&](const auto& e) { return parentOf(e.first) == s.name; });
            for (const auto& [name, file] : names)
                if (parentOf(name) == s.name) durable[name] = file;
            break;
        }
    }

    FolderImage image(const std::map<std::string, int>& which,
                      const std::map<int, std::string>& contents) const {
        FolderImage out;
        out.names = which;
        out.dirs.assign(dirs.begin(), dirs.end());
        for (const auto& [name, file] : which) {
            auto it = contents.find(file);
            out.files[file] = it == contents.end() ? std::string() : it->second;
        }
        return out;
    }

    // Synced bytes, the size the program last gave, zeros where it wrote since the sync.
    std::map<int, std::string> zeroed() const {
        std::map<int, std::string> out;
        for (const auto& [file, bytes] : current) {
            auto it = synced.find(file);
            std::string kept = it == synced.end() ? std::string() : it->second;
            kept.resize(bytes.size());
            if (auto u = unsynced.find(file); u != unsynced.end())
                for (const auto& [offset, size] : u->second)
                    if (offset < kept.size())
                        std::fill_n(kept.begin() + long(offset),
                                    std::min<std::uint64_t>(size, kept.size() - offset), '\0');
            out[file] = std::move(kept);
        }
        return out;
    }

    // The last write cut at sector boundaries: its first sectors only, or its last ones.
    std::vector<std::map<int, std::string>> torn() const {
        std::vector<std::map<int, std::string>> out;
        if (tornFile < 0) return out;
        std::vector<std::uint64_t> cuts; // file offsets inside the write, sector-aligned
        for (std::uint64_t at = (tornOffset / sector + 1) * sector; at < tornOffset + tornSize;
             at += sector)
            cuts.push_back(at);
        if (cuts.size() > std::size_t(tearPoints)) {
            std::vector<std::uint64_t> some;
            for (int i = 0; i < tearPoints; ++i)
                some.push_back(cuts[cuts.size() * std::size_t(i) / tearPoints]);
            cuts = some;
        }
        const std::string& after = current.at(tornFile);
        for (std::uint64_t cut : cuts)
            for (bool headFirst : {true, false}) {
                std::string bytes = tornBefore;
                const std::uint64_t from = headFirst ? tornOffset : cut;
                const std::uint64_t to = headFirst ? cut : tornOffset + tornSize;
                if (bytes.size() < to) bytes.resize(to);
                bytes.replace(from, to - from, after, from, to - from);
                auto files = current;
                files[tornFile] = std::move(bytes);
                out.push_back(std::move(files));
            }
        return out;
    }
};

std::string keyOf(const FolderImage& image) {
    std::string key;
    for (const auto& [name, file] : image.names)
        key += name + "=" + std::to_string(file) + ":" +
               std::to_string(std::hash<std::string>()(image.files.at(file))) + "/" +
               std::to_string(image.files.at(file).size()) + ";";
    return key;
}

void build(const FolderImage& image, const std::string& dir) {
    fsys::remove_all(dir);
    fsys::create_directories(dir);
    for (const std::string& sub : image.dirs)
        fsys::create_directories(dir + "/" + sub);
    std::map<int, std::string> first;
    for (const auto& [name, file] : image.names) {
        const std::string path = dir + "/" + name;
        fsys::create_directories(fsys::path(path).parent_path());
        if (auto it = first.find(file); it != first.end()) {
            fsys::create_hard_link(it->second, path);
            continue;
        }
        std::ofstream(path, std::ios::binary) << image.files.at(file);
        first[file] = path;
    }
}

std::string describe(const std::string& name, const std::string* now, const FolderImage& before,
                     const FolderImage& after) {
    const std::string* old = contentOf(before, name);
    const std::string* made = contentOf(after, name);
    if (!now) return old && made ? name + " a disparu" : std::string();
    if ((old && *now == *old) || (made && *now == *made)) return {};
    // A backup made on the way holds one of the two catalogues.
    const std::string* oldData = contentOf(before, "Q7.dat");
    const std::string* newData = contentOf(after, "Q7.dat");
    if (!old && !made && name.starts_with("Sauvegardes/") &&
        ((oldData && *now == *oldData) || (newData && *now == *newData)))
        return {};
    if (!old && !made) return name + " est resté";
    return name + " n'est ni l'ancien ni le nouveau (" + std::to_string(now->size()) + " octets)";
}

void add(std::string& problems, const std::string& problem) {
    if (!problem.empty()) problems += (problems.empty() ? "" : " ; ") + problem;
}

std::set<std::string> namesOf(const FolderImage& a, const FolderImage& b, const FolderImage& c) {
    std::set<std::string> all;
    for (const FolderImage* image : {&a, &b, &c})
        for (const auto& entry : image->names)
            all.insert(entry.first);
    return all;
}

bool setAsideName(const std::string& name) {
    return name.starts_with("Q7-journal-") && name.ends_with(".jnl");
}

// Runs the open path; the folder as it leaves it, or what it said when it threw.
std::string run(const std::function<void(const std::string&)>& open, const std::string& dir,
                FolderImage& now) {
    try {
        if (open) open(dir);
    } catch (const std::exception& e) {
        return std::string("message à l'ouverture : ") + e.what();
    }
    now = readFolder(dir);
    return {};
}

// Every file is as before or after the command (only as after once it returned, when
// `before` is `after`).
std::string check(const CrashRule& rule, const FolderImage& before, const FolderImage& after,
                  const std::string& dir) {
    FolderImage now;
    if (std::string said = run(rule.recover, dir, now); !said.empty()) return said;
    std::string problems;
    for (const std::string& name : namesOf(before, after, now))
        add(problems, describe(name, contentOf(now, name), before, after));
    auto live = now.names.find("Q7.dat");
    for (const auto& [name, file] : now.names)
        if (live != now.names.end() && name != live->first && file == live->second)
            add(problems, name + " est le catalogue lui-même");
    if (problems.empty() && rule.across) problems = rule.across(before, after, now);
    return problems;
}

// Another program changed Q7.dat (or brought a journal) after the crash: the open writes
// nothing into Q7.dat, and a journal found is removed or set aside as it was; the other
// files are as before or after the command.
std::string checkUntouched(const CrashRule& rule, const FolderImage& before,
                           const FolderImage& after, const FolderImage& changed,
                           const std::string& dir) {
    FolderImage now;
    if (std::string said = run(rule.reopen ? rule.reopen : rule.recover, dir, now); !said.empty())
        return said;
    std::string problems;
    const std::string* was = contentOf(changed, "Q7.dat");
    const std::string* is = contentOf(now, "Q7.dat");
    if (!is || *is != *was)
        add(problems, "Q7.dat, changé par l'autre programme, a été réécrit (" +
                          std::to_string(is ? is->size() : 0) + " octets au lieu de " +
                          std::to_string(was->size()) + ")");
    const std::string* journal = contentOf(changed, "Q7.jnl");
    for (const std::string& name : namesOf(before, after, now)) {
        const std::string* content = contentOf(now, name);
        if (name == "Q7.dat" || (name == "Q7.jnl" && !content)) continue;
        if (setAsideName(name) && content && (!journal || *content != *journal))
            add(problems, name + " n'est pas le journal trouvé");
        else if (!setAsideName(name))
            add(problems, describe(name, content, before, after));
    }
    return problems;
}

} // namespace

const char* crashModelName(CrashModel model) {
    switch (model) {
    case CrashModel::ProcessCrash: return "arrêt du programme";
    case CrashModel::LostUnsynced: return "coupure, non synchronisé perdu";
    case CrashModel::ZeroedUnsynced: return "coupure, tailles gardées, zéros";
    case CrashModel::TornSectors: return "coupure, secteurs de 512 déchirés";
    case CrashModel::ReturnedThenPowerCut: return "commande rendue, puis coupure";
    case CrashModel::ThenRecordsAppended: return "puis 5 fiches ajoutées par Windows";
    case CrashModel::ThenCatalogueCopied: return "puis autre catalogue copié (même taille)";
    case CrashModel::ThenBackupRestored: return "puis sauvegarde plus grande remise";
    case CrashModel::ThenOtherJournal: return "puis Q7.jnl d'un autre dossier";
    }
    return "";
}

bool changedAfterCrash(CrashModel model) {
    return model >= CrashModel::ThenRecordsAppended;
}

std::string crashTableRows(const std::string& command, const std::vector<CrashCount>& counts) {
    std::string rows;
    for (const CrashCount& count : counts) {
        rows += command + " | " + crashModelName(count.model) + " | " +
                std::to_string(count.states) + " | " + std::to_string(count.breaking) + "\n";
        for (const std::string& example : count.examples)
            rows += "    " + example + "\n";
    }
    return rows;
}

const std::string* contentOf(const FolderImage& image, const std::string& name) {
    auto it = image.names.find(name);
    return it == image.names.end() ? nullptr : &image.files.at(it->second);
}

FolderImage readFolder(const std::string& dir) {
    FolderImage image;
    std::map<std::uint64_t, int> byInode;
    auto take = [&](const std::string& name) {
        const std::string path = dir + "/" + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return;
        if (S_ISDIR(st.st_mode)) {
            image.dirs.push_back(name);
            for (const auto& inner : fsys::directory_iterator(path))
                if (!inner.is_directory()) {
                    const std::string sub = name + "/" + inner.path().filename().string();
                    struct stat in {};
                    ::stat((dir + "/" + sub).c_str(), &in);
                    auto [it, added] = byInode.emplace(in.st_ino, int(byInode.size()));
                    if (added) {
                        std::ifstream f(dir + "/" + sub, std::ios::binary);
                        image.files[it->second].assign(std::istreambuf_iterator<char>(f), {});
                    }
                    image.names[sub] = it->second;
                }
            return;
        }
        auto [it, added] = byInode.emplace(st.st_ino, int(byInode.size()));
        if (added) {
            std::ifstream f(path, std::ios::binary);
            image.files[it->second].assign(std::istreambuf_iterator<char>(f), {});
        }
        image.names[name] = it->second;
    };
    for (const auto& entry : fsys::directory_iterator(dir))
        take(entry.path().filename().string());
    return image;
}

std::vector<CrashCount> replayCrashes(const RecordingFileSystem& recorded, const CrashRule& rule,
                                      const std::string& scratch) {
    const FolderImage& before = recorded.start();
    Disk end(before);
    for (const FileStep& step : recorded.steps())
        end.apply(step);
    const FolderImage after = end.image(end.names, end.current);

    std::vector<CrashCount> counts;
    std::vector<std::set<std::string>> seen(std::size(crashModels));
    for (CrashModel model : crashModels)
        counts.push_back({model, 0, 0, {}});
    const std::string dir = scratch + "/dossier";
    auto tryState = [&](CrashModel model, const FolderImage& image) {
        CrashCount& count = counts[std::size_t(model)];
        if (!seen[std::size_t(model)].insert(keyOf(image)).second) return;
        ++count.states;
        build(image, dir);
        const std::string problem =
            changedAfterCrash(model) ? checkUntouched(rule, before, after, image, dir)
            : model == CrashModel::ReturnedThenPowerCut ? check(rule, after, after, dir)
                                                        : check(rule, before, after, dir);
        if (problem.empty()) return;
        ++count.breaking;
        if (count.examples.size() < 3) count.examples.push_back(problem);
    };
    // A crash, then another program: from every state a journal is in (the untouched
    // folder too, for a journal brought from elsewhere).
    auto changeAfter = [&](const FolderImage& image) {
        if (!image.names.count(q7::journalFileName) && &image != &before) return;
        for (CrashModel model : crashModels) {
            FolderImage changed = image;
            if (changeAfterCrash(model, before, changed, scratch)) tryState(model, changed);
        }
    };

    Disk disk(before);
    const auto& steps = recorded.steps();
    // The command has returned once its last sync is done.
    std::size_t returned = 0;
    for (std::size_t k = 0; k < steps.size(); ++k)
        if (steps[k].kind == FileStep::Sync || steps[k].kind == FileStep::SyncDir) returned = k + 1;
    changeAfter(before);
    for (std::size_t k = 0; k <= steps.size(); ++k) {
        if (k > 0) disk.apply(steps[k - 1]);
        const FolderImage crashed = disk.image(disk.names, disk.current);
        tryState(CrashModel::ProcessCrash, crashed);
        changeAfter(crashed);
        for (const auto* names : {&disk.durable, &disk.names}) {
            const FolderImage lost = disk.image(*names, disk.synced);
            tryState(CrashModel::LostUnsynced, lost);
            tryState(CrashModel::ZeroedUnsynced, disk.image(*names, disk.zeroed()));
            if (names == &disk.durable) changeAfter(lost);
        }
        for (const auto& files : disk.torn())
            tryState(CrashModel::TornSectors, disk.image(disk.names, files));
        if (returned == 0 || k < returned) continue;
        if (k == returned) tryState(CrashModel::ReturnedThenPowerCut, crashed);
        tryState(CrashModel::ReturnedThenPowerCut, disk.image(disk.durable, disk.synced));
        tryState(CrashModel::ReturnedThenPowerCut, disk.image(disk.durable, disk.zeroed()));
    }
    return counts;
}
