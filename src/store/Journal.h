#pragma once
// Q7.jnl: what undoes the write in progress into Q7.dat (a record saved in place, records
// appended). It reaches the disk before the write starts, and is cleared on the disk before
// the write is reported done: a crash or a power cut in the middle of the write leaves
// either the new bytes or, once the next open has rolled them back, the old ones; never
// half a record, zeros, or a cut append; and a write that returned is never undone.
//
// A journal belongs to one catalogue and one write. Besides the bytes it would put back it
// keeps the size Q7.dat had, a hash of each 512-byte sector of the new bytes, and a
// fingerprint of the records around the write and at both ends of the file. At open it is
// applied only to that file in the middle of that write; any other is set aside under a
// dated name and said, Q7.dat left as it is.
#include "store/FileSystem.h"
#include "store/Folder.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace q7 {

inline const std::string journalFileName = "Q7.jnl";

// One write as the journal keeps it.
struct JournalEntry {
    std::uint64_t sizeBefore = 0; // of Q7.dat
    std::uint64_t offset = 0;     // of the write; sizeBefore for an append
    std::uint64_t newSize = 0;
    // Of the bytes around the write, which it does not touch (see Journal.cpp).
    std::uint64_t fingerprint = 0;
    // Of the new bytes, one per piece of the write between 512-byte boundaries of Q7.dat.
    std::vector<std::uint64_t> sectors;
    std::string old; // the bytes it replaces; none for an append
};

// The journal file holding that entry (the format the fuzz target builds on).
std::string journalBytes(const JournalEntry& entry);

class Journal {
public:
    explicit Journal(Folder folder) : folder_(std::move(folder)) {}
    ~Journal();

    // Before `size` new bytes go at `offset` of `data`, now `sizeBefore` bytes long (an
    // append when offset is sizeBefore): the entry is written and synced. Returns the bytes
    // they replace, for the caller's own undo of a failed write. Refused while a failed
    // write could not be undone: its entry is what the next open needs.
    std::string protect(File& data, std::uint64_t sizeBefore, std::uint64_t offset,
                        const unsigned char* bytes, std::size_t size);
    // The write is on disk (or undone): the entry is cleared and synced, so that no later
    // crash or power cut can roll it back.
    void done();
    // Before Q7.dat is replaced or cut: a failed write that could not be undone is past
    // undoing, its entry no longer applies.
    void settle();
    // At close: removed; kept when a write it protects could not be undone, for the next
    // open to roll it back.
    void close();

    // At open, under the lock: rolls back the write a crash interrupted in this very file
    // and removes the journal. A journal of another file or another write, or no journal
    // at all (damaged, a link, a folder, a device), is set aside as
    // Q7-journal-AAAAMMJJ-HHMMSS.jnl, Q7.dat untouched. Returns what the collector must be
    // told (French, UTF-8), or "".
    static std::string recover(const Folder& folder, File& data,
                               std::time_t now = std::time(nullptr));
    // Whether `data` has a write of its own to roll back; reads only (for a catalogue
    // that cannot be written).
    static bool needsRollback(const Folder& folder, File& data);

private:
    Folder folder_;
    std::unique_ptr<File> file_;
    std::uint64_t size_ = 0; // of the journal file, as last written
    bool pending_ = false;   // a write in progress, or one that could not be undone
};

} // namespace q7
