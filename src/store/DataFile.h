#pragma once
// Q7.dat: fixed 1048-byte records with one current position P and a count N.
// Sequential reads are served from a block so that whole-file commands run at
// disk speed while every read still moves P by exactly one record.
#include "store/CatalogueNames.h"
#include "store/Errors.h"
#include "store/Fiche.h"
#include "store/FileSystem.h"
#include "store/Folder.h"
#include "store/Journal.h"

#include <memory>
#include <vector>

namespace q7 {

// Another copy of the program holds the catalogue.
class LockedError : public Error {
public:
    LockedError();
};

// Writes records, in blocks, into a new file (Q7.tmp) that will replace Q7.dat. Locks it
// at once (LockedError when another holder has it); a writer dropped before its file was
// put in place removes it.
class RecordWriter {
public:
    RecordWriter(FileSystem& fs, std::string path);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;
    void append(const Fiche& record);
    void appendBytes(const std::string& bytes);
    // Writes `count` whole records at record index `at`, for a rewrite that fills
    // Q7.tmp out of order. Appending continues after the furthest record placed.
    void place(int at, const unsigned char* records, std::size_t count);
    // Flushes and syncs to disk.
    void finish();
    const std::string& path() const { return path_; }
    std::unique_ptr<File> release();
    // Removes the file now (the destructor does it too).
    void discard();

private:
    void flush();
    FileSystem& fs_;
    std::string path_;
    std::unique_ptr<File> file_;
    // Grows to one block as records come; a small catalogue never needs a whole one.
    std::vector<unsigned char> buffer_;
    std::uint64_t written_ = 0;
    bool committed_ = false;
};

class DataFile {
public:
    // Records fetched by one read of the disk (about a megabyte).
    static constexpr int readAheadRecords = 1024;

    explicit DataFile(Folder folder);
    ~DataFile();

    // Opens Q7.dat for reading and writing, or creates it empty, and locks it. P = 0.
    // The lock is checked to hold the file that Q7.dat names once locked: a rewrite by
    // another program may rename a new catalogue over it between the open and the lock.
    // Once the lock is held, a write a crash cut short is rolled back (see Journal.h) and
    // the scratch files a crash left (Q7*.tmp, Sauvegardes/*.part) are removed. A Q7.dat
    // that cannot be written while its journal has a write to roll back is refused with a
    // message saying so.
    void open();
    bool isOpen() const { return file_ != nullptr; }
    // Closes; a catalogue without a single byte is deleted.
    void close();

    int count() const { return count_; }
    int position() const { return position_; }
    bool atEnd() const { return position_ >= count_; }
    void seek(int index);
    void read(Fiche& buffer);
    // Reads record P in place (P increases by 1); valid until the next data-file call.
    // Scans use it to look at records without copying each one.
    const Fiche& readNext();
    // Reads records [first, first + count) into `into` (count * ficheSize bytes) without
    // moving P or the read-ahead block: for a pass that visits books in another order.
    // Returns the whole records read: fewer only when the file was cut meanwhile.
    int readRecords(int first, int count, unsigned char* into) const;
    // Writes the buffer as record P (appended when P = N) and flushes it to disk before
    // returning. On any failure the file is put back as it was (an append is cut back to
    // the whole records, a replaced record gets its old bytes) and the error is thrown;
    // when even that fails, the message says so.
    void write(const Fiche& buffer);
    // Appends the records at the end in one write and one flush: all of them or none.
    // P = N afterwards.
    void append(const std::vector<Fiche>& records);
    // Cuts the catalogue back to its first `count` records (an import undone) and
    // flushes it to disk; P = N afterwards.
    void cutBack(int count);

    // Bytes after the last whole record (a damaged file); never read nor written over.
    std::uint64_t tailBytes() const { return tailBytes_; }

    // A rewrite of the catalogue: records go to Q7.tmp; commit puts it in place of
    // Q7.dat in one atomic rename, after which P = 0. On any failure Q7.dat stays whole.
    // The catalogue it replaces is kept as a backup first (see Backup.h).
    std::unique_ptr<RecordWriter> beginRewrite();
    void commitRewrite(std::unique_ptr<RecordWriter> writer);
    // Why the last rewrite kept no backup (French, for the window), then forgotten;
    // empty when it kept one.
    std::string takeBackupNote();
    // What the last open found of a journal that was not this catalogue's and set aside
    // (French, to be said once), then forgotten; empty when there was none.
    std::string takeJournalNote();

    const Folder& folder() const { return folder_; }

private:
    void adopt(std::unique_ptr<File> file);
    // Whether Q7.dat is a symbolic link to a file elsewhere (path_ is that file).
    bool linked() const;
    std::string tempPath() const;
    void removeLeftoverScratch();
    // Throws the message for a catalogue that cannot be opened for writing (`e`) while a
    // write of its own waits to be rolled back; returns otherwise.
    void refuseUnrepaired(const IoError& e);
    void put(const unsigned char* bytes, std::size_t size);
    std::string tail();
    Folder folder_;
    Journal journal_{folder_};
    std::string path_;
    std::unique_ptr<File> file_;
    int count_ = 0;
    int position_ = 0;
    std::uint64_t tailBytes_ = 0;
    std::string backupNote_;
    std::string journalNote_;
    // Read-ahead block: records [blockStart_, blockStart_ + blockCount_).
    std::vector<Fiche> block_;
    int blockStart_ = 0;
    int blockCount_ = 0;
};

} // namespace q7
