#include "covers/CoverStore.h"

#include "covers/CoverNames.h"
#include "store/Backup.h"
#include "store/Errors.h"

#include <cerrno>
#include <filesystem>

namespace q7 {

namespace {

std::string join(const std::string& dir, const std::string& name) {
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

// Written beside, synced, renamed over: `path` is the old file or the new one, whole.
void writeWhole(FileSystem& fs, const std::string& dir, const std::string& path,
                std::string_view bytes) {
    const std::string temp = outputScratchPath(path);
    try {
        auto file = fs.open(temp, OpenMode::CreateNoLink);
        bool mine = true;
        try {
            mine = file->tryLock();
        } catch (const IoError&) {
            // A file system without locks: written all the same.
        }
        if (!mine) throw IoError(EAGAIN); // another copy of the program writes it now
        file->truncate(0);
        file->writeAt(bytes.data(), bytes.size(), 0);
        file->sync();
        file.reset();
        fs.rename(temp, path);
    } catch (...) {
        removeQuietly(fs, temp);
        throw;
    }
    fs.syncDir(dir);
}

// A second name, never over a file: false when `to` exists. Where the file system has no
// links, a copy is written beside and renamed.
bool linkOrCopy(FileSystem& fs, const std::string& from, const std::string& dir,
                const std::string& to) {
    if (fs.exists(to)) return false;
    try {
        fs.link(from, to);
    } catch (const IoError& e) {
        if (e.code() == EEXIST) return false;
        auto in = fs.open(from, OpenMode::ReadNoLink);
        std::string bytes(in->size(), '\0');
        bytes.resize(in->readAt(bytes.data(), bytes.size(), 0));
        writeWhole(fs, dir, to, bytes);
        return true;
    }
    fs.syncDir(dir);
    return true;
}

} // namespace

std::string CoverStore::dir() const {
    return folder_.path(coversFolderName);
}

std::string CoverStore::find(std::string_view reference) const {
    const std::string name = coverFileName(reference);
    if (name.empty()) return {};
    const std::string dir = this->dir();
    // As written, then as a camera writes it.
    for (const std::string& candidate : {name, name.substr(0, name.size() - 4) + ".JPG"}) {
        const std::string path = join(dir, candidate);
        if (folder_.fs().kindOf(path) == FileKind::Regular) return path;
    }
    return {};
}

std::string CoverStore::readFile(FileSystem& fs, const std::string& path) {
    auto file = fs.open(path, OpenMode::ReadNoLink);
    const std::uint64_t size = file->size();
    if (size > maxCoverBytes)
        throw Error("la couverture pèse plus de " + std::to_string(maxCoverBytes >> 20) + " Mo");
    std::string bytes(size, '\0');
    bytes.resize(file->readAt(bytes.data(), bytes.size(), 0));
    return bytes;
}

std::string CoverStore::keptName(const std::string& name, std::time_t when) const {
    return "Couverture-" + fileStamp(when) + "-" + name;
}

std::string CoverStore::keepCopy(const std::string& from, const std::string& name,
                                 std::time_t when) {
    FileSystem& fs = folder_.fs();
    const std::string dir = folder_.path(backupFolderName);
    fs.makeDir(dir);
    const std::string base = keptName(name, when);
    std::string target = join(dir, base);
    for (int n = 2; !linkOrCopy(fs, from, dir, target); ++n)
        target = join(dir, base.substr(0, base.size() - 4) + "-" + std::to_string(n) + ".jpg");
    return target;
}

void CoverStore::put(std::string_view reference, std::string_view jpeg, std::time_t when) {
    const std::string name = coverFileName(reference);
    if (name.empty()) throw Error("une fiche sans référence ne peut pas avoir de couverture");
    FileSystem& fs = folder_.fs();
    const std::string dir = this->dir();
    fs.makeDir(dir);
    if (const std::string earlier = find(reference); !earlier.empty()) {
        keepCopy(earlier, name, when);
        if (earlier != join(dir, name)) {
            writeWhole(fs, dir, join(dir, name), jpeg);
            fs.remove(earlier); // "12.JPG": kept aside, now replaced by "12.jpg"
            fs.syncDir(dir);
            return;
        }
    }
    writeWhole(fs, dir, join(dir, name), jpeg);
}

CoverStore::Moved CoverStore::move(std::string_view from, std::string_view to) {
    const std::string path = find(from);
    if (path.empty()) return Moved::noCover;
    const std::string name = coverFileName(to);
    if (name.empty() || !find(to).empty()) return Moved::taken;
    FileSystem& fs = folder_.fs();
    const std::string dir = this->dir();
    // Linked, then unlinked: at every moment the cover has at least one of its names.
    if (!linkOrCopy(fs, path, dir, join(dir, name))) return Moved::taken;
    fs.remove(path);
    fs.syncDir(dir);
    return Moved::done;
}

std::string CoverStore::keepAside(std::string_view reference, std::time_t when) {
    const std::string path = find(reference);
    if (path.empty()) return {};
    const std::string kept = keepCopy(path, coverFileName(reference), when);
    folder_.fs().remove(path);
    folder_.fs().syncDir(dir());
    return kept;
}

std::vector<CoverFile> CoverStore::files() const {
    std::vector<CoverFile> out;
    const std::string dir = this->dir();
    FileSystem& fs = folder_.fs();
    if (fs.kindOf(dir) != FileKind::Folder) return out;
    for (std::string& name : fs.list(dir)) {
        if (name.starts_with('.') && name.ends_with(".lirabel3.tmp")) continue;
        // No look at each file: 40 000 of them cost more than the rest of an overview's
        // opening. A folder named like a cover is taken for one; find() never opens it.
        std::string reference = referenceOfCover(name).value_or(std::string());
        out.push_back({std::move(name), std::move(reference)});
    }
    return out;
}

void CoverStore::tidy() const {
    FileSystem& fs = folder_.fs();
    for (const std::string& dir : {this->dir(), folder_.path(backupFolderName)})
        if (fs.kindOf(dir) == FileKind::Folder) removeOutputScratch(fs, dir);
}

CoverOwners coverOwners(const DataFile& data) {
    CoverOwners owners;
    std::vector<Fiche> block(DataFile::readAheadRecords);
    for (int first = 0; first < data.count();) {
        const int want = std::min<int>(DataFile::readAheadRecords, data.count() - first);
        const int got =
            data.readRecords(first, want, reinterpret_cast<unsigned char*>(block.data()));
        if (got <= 0) break;
        for (int i = 0; i < got; ++i)
            if (std::string key = coverKey(block[std::size_t(i)].view(Field::numero)); !key.empty())
                ++owners[std::move(key)];
        first += got;
    }
    return owners;
}

int ownersOf(const CoverOwners& owners, std::string_view reference) {
    const auto found = owners.find(coverKey(reference));
    return found == owners.end() ? 0 : found->second;
}

} // namespace q7

namespace q7 {

std::string coverLink(const DataFile& data, std::string_view reference,
                      const std::string& pageDir) {
    const std::string path = CoverStore(data.folder()).find(reference);
    if (path.empty() || ownersOf(coverOwners(data), reference) != 1) return {};
    namespace fs = std::filesystem;
    const fs::path from = fs::absolute(pageDir.empty() ? "." : pageDir).lexically_normal();
    const fs::path relative = fs::absolute(path).lexically_normal().lexically_relative(from);
    std::string link;
    for (unsigned char c : relative.generic_string()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') ||
                           std::string_view("-._~/").find(char(c)) != std::string_view::npos;
        if (plain) {
            link += char(c);
        } else {
            static constexpr char hex[] = "0123456789ABCDEF";
            link += '%';
            link += hex[c >> 4];
            link += hex[c & 15];
        }
    }
    return link;
}

} // namespace q7
