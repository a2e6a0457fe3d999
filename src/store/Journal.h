#pragma once
// Q7.jnl: what undoes the write in progress into Q7.dat (a record saved in place, records
// appended). It reaches the disk before the write starts, so a crash or a power cut in
// the middle of it leaves either the new bytes or, once the next open has rolled it
// back, the old ones; never half a record, zeros, or a cut append.
#include "store/FileSystem.h"
#include "store/Folder.h"

#include <memory>
#include <string>

namespace q7 {

inline const std::string journalFileName = "Q7.jnl";

class Journal {
public:
    explicit Journal(Folder folder) : folder_(std::move(folder)) {}
    ~Journal();

    // Before `newBytes` go at `offset` of a catalogue of `sizeBefore` bytes, where
    // `oldBytes` are now (empty for an append): kept and synced.
    void protect(std::uint64_t sizeBefore, std::uint64_t offset, const unsigned char* newBytes,
                 std::size_t newSize, const std::string& oldBytes);
    // The write is on disk (or undone): the journal no longer applies.
    void done();
    // Before Q7.dat is replaced or cut: no journal may apply to it any more, even after a
    // power cut.
    void settle();
    // At close: settled, then removed; kept when a write it protects could not be undone,
    // for the next open to roll it back.
    void close();

    // At open, under the lock: rolls back the write a crash interrupted and removes the
    // journal. Returns whether Q7.dat was changed.
    static bool recover(const Folder& folder, File& data);

private:
    Folder folder_;
    std::unique_ptr<File> file_;
    std::uint64_t size_ = 0; // of the journal file, as last written
    bool unsettled_ = false;
    bool pending_ = false; // a write in progress, or one that could not be undone
};

} // namespace q7
