#include "store/Journal.h"

#include "store/Errors.h"

#include <array>
#include <cstring>

namespace q7 {

namespace {

constexpr char magic[8] = {'Q', '7', 'J', 'N', 'L', '1', '\r', '\n'};
// magic, size before, offset, new size, hash of the new bytes, old size; then the old
// bytes and a hash of all that precedes.
constexpr std::size_t headerSize = 8 + 5 * 8;

std::uint64_t hashOf(const unsigned char* bytes, std::size_t size,
                     std::uint64_t h = 0xcbf29ce484222325ULL) {
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ bytes[i]) * 0x100000001b3ULL;
    return h;
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

const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

struct Entry {
    std::uint64_t sizeBefore = 0, offset = 0, newSize = 0, newHash = 0;
    std::string old;
};

// A journal cut short or emptied is none: Q7.dat was not touched after it.
bool parse(const std::string& bytes, Entry& e) {
    if (bytes.size() < headerSize + 8 || std::memcmp(bytes.data(), magic, 8) != 0) return false;
    e.sizeBefore = word(bytes, 8);
    e.offset = word(bytes, 16);
    e.newSize = word(bytes, 24);
    e.newHash = word(bytes, 32);
    const std::uint64_t oldSize = word(bytes, 40);
    if (oldSize != bytes.size() - headerSize - 8) return false;
    if (hashOf(bytesOf(bytes), bytes.size() - 8) != word(bytes, bytes.size() - 8)) return false;
    e.old = bytes.substr(headerSize, oldSize);
    return true;
}

std::string readAll(File& file) {
    std::string bytes(file.size(), '\0');
    bytes.resize(file.readAt(bytes.data(), bytes.size(), 0));
    return bytes;
}

} // namespace

Journal::~Journal() {
    try {
        close();
    } catch (...) {
        // Left in place: the next open finds it and rolls back only what it must.
    }
}

void Journal::protect(std::uint64_t sizeBefore, std::uint64_t offset, const unsigned char* newBytes,
                      std::size_t newSize, const std::string& oldBytes) {
    std::string entry(magic, sizeof magic);
    putWord(entry, sizeBefore);
    putWord(entry, offset);
    putWord(entry, newSize);
    putWord(entry, hashOf(newBytes, newSize));
    putWord(entry, oldBytes.size());
    entry += oldBytes;
    putWord(entry, hashOf(bytesOf(entry), entry.size()));
    const bool created = !file_;
    if (created) {
        file_ = folder_.fs().open(folder_.path(journalFileName), OpenMode::Create);
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
    unsettled_ = true;
    pending_ = true;
}

void Journal::done() {
    if (!file_) return;
    // Not synced: a journal still whole after a power cut finds the new bytes in place and
    // leaves them. settle() makes it last before Q7.dat is replaced.
    static constexpr char blank[sizeof magic] = {};
    file_->writeAt(blank, sizeof blank, 0);
    pending_ = false;
}

void Journal::settle() {
    if (!file_ || !unsettled_) return;
    file_->syncData();
    unsettled_ = false;
}

void Journal::close() {
    if (!file_) return;
    if (pending_) {
        file_.reset();
        return;
    }
    settle();
    file_.reset();
    removeQuietly(folder_.fs(), folder_.path(journalFileName));
}

bool Journal::recover(const Folder& folder, File& data) {
    FileSystem& fs = folder.fs();
    if (!folder.exists(journalFileName)) return false;
    const std::string path = folder.path(journalFileName);
    Entry e;
    bool valid = false;
    {
        auto file = fs.open(path, OpenMode::Read);
        valid = parse(readAll(*file), e);
    }
    bool changed = false;
    if (valid) {
        std::string now(e.newSize, '\0');
        now.resize(data.readAt(now.data(), now.size(), e.offset));
        const std::uint64_t size = data.size();
        const bool whole = now.size() == e.newSize &&
                           hashOf(bytesOf(now), now.size()) == e.newHash &&
                           size == std::max(e.sizeBefore, e.offset + e.newSize);
        if (!whole) {
            if (!e.old.empty()) data.writeAt(e.old.data(), e.old.size(), e.offset);
            if (size != e.sizeBefore) data.truncate(e.sizeBefore);
            data.syncData();
            changed = true;
        }
    }
    fs.remove(path);
    // A journal back after a power cut would apply to whatever Q7.dat becomes next.
    if (valid) fs.syncDir(folder.dir());
    return changed;
}

} // namespace q7
