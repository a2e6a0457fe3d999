#include "store/Journal.h"

#include "store/Backup.h"
#include "store/Errors.h"
#include "store/Fiche.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace q7 {

namespace {

constexpr char magic[8] = {'Q', '7', 'J', 'N', 'L', '2', '\r', '\n'};
// Magic, size before, offset, new size, old size, hash of the old bytes, fingerprint, and a
// hash of all that: within the first sector, so a torn write of the journal keeps it whole
// or loses it. Then the hashes of the new bytes' pieces, the old bytes, a hash of all.
constexpr std::size_t headerSize = 8 + 7 * 8;
constexpr std::uint64_t sector = 512;
// An append of a whole catalogue needs under a megabyte of journal; anything much bigger
// is no journal of ours, and is never read whole.
constexpr std::uint64_t largestJournal = 16 << 20;
constexpr std::uint64_t largestWrite = largestJournal / 8 * sector;

std::uint64_t hashOf(const void* data, std::size_t size, std::uint64_t h = 0xcbf29ce484222325ULL) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ bytes[i]) * 0x100000001b3ULL;
    return h;
}

std::uint64_t hashOf(const std::string& s) {
    return hashOf(s.data(), s.size());
}

void putWord(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out += char((v >> (8 * i)) & 0xff);
}

std::uint64_t word(const std::string& in, std::size_t at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(in[at + std::size_t(i)]);
    return v;
}

bool zeros(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == 0; });
}

// The write cut at Q7.dat's 512-byte boundaries: a power cut tears it there.
template <typename Piece> void forEachPiece(std::uint64_t offset, std::uint64_t size, Piece f) {
    for (std::uint64_t at = offset; at < offset + size;) {
        const std::uint64_t next = std::min(offset + size, (at / sector + 1) * sector);
        f(at, next);
        at = next;
    }
}

std::uint64_t pieceCount(std::uint64_t offset, std::uint64_t size) {
    return size == 0 ? 0 : (offset + size - 1) / sector - offset / sector + 1;
}

std::string readAt(File& file, std::uint64_t from, std::uint64_t to) {
    std::string bytes(to - from, '\0');
    bytes.resize(file.readAt(bytes.data(), bytes.size(), from));
    return bytes;
}

// What a write from `offset` to `end` leaves alone and another catalogue would not share:
// the records just before and after it and the first and last records of the file. Read
// from the disk's cache at save time, it costs a few microseconds; a file's identity
// (device, inode) would cost nothing but changes when a removable disk is mounted again.
std::uint64_t fingerprintOf(File& data, std::uint64_t sizeBefore, std::uint64_t offset,
                            std::uint64_t end) {
    const std::uint64_t f = ficheSize;
    const std::pair<std::uint64_t, std::uint64_t> ranges[] = {
        {0, std::min(f, offset)},
        {offset - std::min(f, offset), offset},
        {end, std::min(end + f, sizeBefore)},
        {std::max(end, sizeBefore - std::min(f, sizeBefore)), sizeBefore},
    };
    std::uint64_t h = hashOf(nullptr, 0);
    for (const auto& [from, to] : ranges)
        if (from < to) {
            const std::string bytes = readAt(data, from, to);
            h = hashOf(bytes.data(), bytes.size(), h);
        }
    return h;
}

struct Header {
    std::uint64_t sizeBefore = 0, offset = 0, newSize = 0, oldSize = 0, oldHash = 0,
                  fingerprint = 0;
};

// Only what this program writes: one record in place, or whole records at the end; never
// an offset past the end of the file and one more record.
bool plausible(const Header& h, std::uint64_t dataSize) {
    const std::uint64_t f = ficheSize;
    if (h.newSize == 0 || h.newSize % f != 0 || h.newSize > largestWrite) return false;
    if (h.offset % f != 0 || h.offset > dataSize + f) return false;
    if (h.oldSize == 0) return h.offset == h.sizeBefore;
    return h.oldSize == f && h.newSize == f && h.sizeBefore >= h.offset + f;
}

// Q7.dat exactly as it was before the write the header announces.
bool untouched(File& data, const Header& h) {
    if (data.size() != h.sizeBefore) return false;
    const std::uint64_t end = h.offset + h.newSize;
    if (fingerprintOf(data, h.sizeBefore, h.offset, end) != h.fingerprint) return false;
    return h.oldSize == 0 || hashOf(readAt(data, h.offset, end)) == h.oldHash;
}

// Whether `data` is the file the entry was written for, in the middle of that write: its
// size between the sizes before and after, the bytes around the write as they were, and
// each piece of the write old, new, or zeros (unsynced bytes a power cut took).
bool belongs(File& data, const JournalEntry& e, bool& whole) {
    const std::uint64_t size = data.size();
    const std::uint64_t end = e.offset + e.newSize;
    const bool append = e.old.empty();
    if (append ? size < e.sizeBefore || size > end : size != e.sizeBefore) return false;
    if (fingerprintOf(data, e.sizeBefore, e.offset, end) != e.fingerprint) return false;
    whole = size == std::max(e.sizeBefore, end);
    bool ours = true;
    std::size_t i = 0;
    forEachPiece(e.offset, e.newSize, [&](std::uint64_t from, std::uint64_t to) {
        const std::string now = from < size ? readAt(data, from, std::min(to, size)) : "";
        const bool isNew = now.size() == to - from && hashOf(now) == e.sectors[i++];
        const bool isOld = !append && now == e.old.substr(from - e.offset, to - from);
        whole = whole && isNew;
        ours = ours && (isNew || isOld || zeros(now));
    });
    return ours;
}

void rollBack(File& data, const JournalEntry& e) {
    if (!e.old.empty()) data.writeAt(e.old.data(), e.old.size(), e.offset);
    if (data.size() != e.sizeBefore) data.truncate(e.sizeBefore);
    data.syncData();
}

enum class Finding {
    None,     // no journal, or one cleared
    CutShort, // an entry whose writing was cut: Q7.dat was not touched after it
    Whole,    // the write it protects is all on disk
    RollBack,
    // Set aside:
    Foreign,
    Damaged,
    Implausible,
    Unknown,
    Folder,
    Link,
    Special,
};

const char* whatOf(Finding finding) {
    switch (finding) {
    case Finding::Foreign: return "d'un autre catalogue";
    case Finding::Damaged: return "abîmé";
    case Finding::Implausible: return "incohérent";
    case Finding::Unknown: return "d'un format inconnu";
    case Finding::Folder: return "qui est un dossier";
    case Finding::Link: return "qui est un lien symbolique";
    default: return "qui est un fichier spécial";
    }
}

Finding judge(const std::string& bytes, File& data, JournalEntry& e) {
    if (zeros(bytes.substr(0, sizeof magic))) return Finding::None;
    if (bytes.size() < sizeof magic || std::memcmp(bytes.data(), magic, sizeof magic) != 0)
        return Finding::Unknown;
    if (bytes.size() < headerSize ||
        hashOf(bytes.data(), headerSize - 8) != word(bytes, headerSize - 8))
        return Finding::Damaged;
    const Header h{word(bytes, 8),  word(bytes, 16), word(bytes, 24),
                   word(bytes, 32), word(bytes, 40), word(bytes, 48)};
    if (!plausible(h, data.size())) return Finding::Implausible;
    const std::uint64_t pieces = pieceCount(h.offset, h.newSize);
    const std::uint64_t body = headerSize + 8 * pieces;
    const bool complete = bytes.size() == body + h.oldSize + 8 &&
                          hashOf(bytes.data(), bytes.size() - 8) == word(bytes, bytes.size() - 8);
    if (!complete) return untouched(data, h) ? Finding::CutShort : Finding::Damaged;
    e.sizeBefore = h.sizeBefore;
    e.offset = h.offset;
    e.newSize = h.newSize;
    e.fingerprint = h.fingerprint;
    for (std::uint64_t i = 0; i < pieces; ++i)
        e.sectors.push_back(word(bytes, headerSize + 8 * i));
    e.old = bytes.substr(body, h.oldSize);
    if (hashOf(e.old) != h.oldHash) return Finding::Damaged;
    bool whole = false;
    if (!belongs(data, e, whole)) return Finding::Foreign;
    return whole ? Finding::Whole : Finding::RollBack;
}

struct Look {
    Finding finding = Finding::None;
    std::string path;
    bool present = false; // a regular file of that name, to remove
    JournalEntry entry;
};

Look inspect(const Folder& folder, File& data) {
    FileSystem& fs = folder.fs();
    Look look;
    look.path = folder.path(journalFileName);
    switch (fs.kindOf(look.path)) {
    case FileKind::Missing: return look;
    case FileKind::Folder: look.finding = Finding::Folder; return look;
    case FileKind::Link: look.finding = Finding::Link; return look;
    case FileKind::Special: look.finding = Finding::Special; return look;
    case FileKind::Regular: break;
    }
    std::string bytes;
    try {
        auto file = fs.open(look.path, OpenMode::ReadNoLink);
        if (file->size() > largestJournal) {
            look.finding = Finding::Damaged;
            return look;
        }
        bytes = readAt(*file, 0, file->size());
    } catch (const IoError& e) {
        // Put in its place since it was looked at.
        if (e.code() == ELOOP)
            look.finding = Finding::Link;
        else if (e.code() == EISDIR)
            look.finding = Finding::Folder;
        else if (e.code() == ENODEV)
            look.finding = Finding::Special;
        else
            throw;
        return look;
    }
    look.present = true;
    look.finding = judge(bytes, data, look.entry);
    return look;
}

std::string setAside(const Folder& folder, const Look& look, std::time_t now) {
    FileSystem& fs = folder.fs();
    const std::string base = "Q7-journal-" + fileStamp(now);
    std::string name = base + ".jnl";
    for (int n = 2; fs.kindOf(folder.path(name)) != FileKind::Missing; ++n)
        name = base + "-" + std::to_string(n) + ".jnl";
    const std::string found = std::string("Un journal d'écriture ") + whatOf(look.finding);
    try {
        fs.rename(look.path, folder.path(name));
    } catch (const IoError& e) {
        return found + " a été trouvé, mais n'a pas pu être mis de côté (" + e.what() +
               "). Rien n'a été modifié.";
    }
    try {
        fs.syncDir(folder.dir());
    } catch (const IoError&) {
        // Back under its name after a power cut, it is only set aside again.
    }
    return found + " a été trouvé et mis de côté : " + name + ". Rien n'a été modifié.";
}

bool regularFileRefused(const IoError& e) {
    return e.code() == ELOOP || e.code() == EISDIR || e.code() == ENODEV;
}

} // namespace

std::string journalBytes(const JournalEntry& e) {
    std::string out(magic, sizeof magic);
    putWord(out, e.sizeBefore);
    putWord(out, e.offset);
    putWord(out, e.newSize);
    putWord(out, e.old.size());
    putWord(out, hashOf(e.old));
    putWord(out, e.fingerprint);
    putWord(out, hashOf(out));
    for (std::uint64_t h : e.sectors)
        putWord(out, h);
    out += e.old;
    putWord(out, hashOf(out));
    return out;
}

Journal::~Journal() {
    try {
        close();
    } catch (...) {
        // Left in place: the next open finds it and rolls back only what it must.
    }
}

std::string Journal::protect(File& data, std::uint64_t sizeBefore, std::uint64_t offset,
                             const unsigned char* bytes, std::size_t size) {
    if (pending_)
        throw Error("Une écriture précédente dans Q7.dat n'a pas pu être défaite : fermez "
                    "Lirabel 3 et rouvrez-le, le catalogue sera remis en état avant toute autre "
                    "écriture");
    JournalEntry e;
    e.sizeBefore = sizeBefore;
    e.offset = offset;
    e.newSize = size;
    if (offset < sizeBefore) {
        e.old = readAt(data, offset, offset + size);
        if (e.old.size() != size) throw IoError(IoError::readPastEnd);
    }
    e.fingerprint = fingerprintOf(data, sizeBefore, offset, offset + size);
    forEachPiece(offset, size, [&](std::uint64_t from, std::uint64_t to) {
        e.sectors.push_back(hashOf(bytes + (from - offset), to - from));
    });
    const std::string entry = journalBytes(e);
    const bool created = !file_;
    if (created) {
        try {
            file_ = folder_.fs().open(folder_.path(journalFileName), OpenMode::CreateNoLink);
        } catch (const IoError& refused) {
            if (!regularFileRefused(refused)) throw;
            throw Error("Q7.jnl n'est pas un fichier ordinaire (un lien, un dossier ou un "
                        "périphérique) : rien n'a été écrit dans Q7.dat");
        }
        size_ = file_->size();
    }
    file_->writeAt(entry.data(), entry.size(), 0);
    // Cut only when it shrinks: a size that changes makes the sync cost a metadata flush,
    // and saves of one record all write entries of one size.
    if (entry.size() < size_) file_->truncate(entry.size());
    size_ = entry.size();
    file_->syncData();
    // The journal's name must survive a power cut as well as its bytes.
    if (created) folder_.fs().syncDir(folder_.dir());
    pending_ = true;
    return std::move(e.old);
}

void Journal::done() {
    if (!file_) return;
    static constexpr char blank[sizeof magic] = {};
    file_->writeAt(blank, sizeof blank, 0);
    // Synced before the write is said done: an entry back after a power cut could roll back
    // a save the collector saw succeed.
    file_->syncData();
    pending_ = false;
}

void Journal::settle() {
    if (pending_) done();
}

void Journal::close() {
    if (!file_) return;
    file_.reset();
    // Cleared on the disk already: no need to sync its removal.
    if (!pending_) removeQuietly(folder_.fs(), folder_.path(journalFileName));
}

std::string Journal::recover(const Folder& folder, File& data, std::time_t now) {
    const Look look = inspect(folder, data);
    FileSystem& fs = folder.fs();
    switch (look.finding) {
    case Finding::None:
    case Finding::CutShort:
        // Left, it would only be found empty again.
        if (look.present) removeQuietly(fs, look.path);
        return {};
    case Finding::RollBack: rollBack(data, look.entry); [[fallthrough]];
    case Finding::Whole:
        // Left, it would be proved whole, or rolled back to the same bytes, again.
        removeQuietly(fs, look.path);
        // Gone for good: back after a power cut, it would be read through once more.
        fs.syncDir(folder.dir());
        return {};
    default: return setAside(folder, look, now);
    }
}

bool Journal::needsRollback(const Folder& folder, File& data) {
    try {
        return inspect(folder, data).finding == Finding::RollBack;
    } catch (const IoError&) {
        return false;
    }
}

} // namespace q7
