#include "store/DataFile.h"

#include "store/Backup.h"
#include "store/Errors.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>

namespace q7 {

namespace {
constexpr int blockRecords = DataFile::readAheadRecords;
constexpr int negativeSeek = 131;
// Opening again after a rename slipped in between open and lock; more than a few in a
// row means another program rewrites the catalogue without pause.
constexpr int lockAttempts = 8;

bool stillNamed(FileSystem& fs, const std::string& path, File& file) {
    try {
        return fs.idOf(path) == file.id();
    } catch (const IoError&) {
        return false; // removed meanwhile (an empty catalogue closed by its program)
    }
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".")
                                      : path.substr(0, std::max<std::size_t>(slash, 1));
}

// "Disque plein" + what could not be undone, as one message.
std::string alsoFailed(const std::exception& first, const std::string& what,
                       const std::exception& second) {
    std::string text = first.what();
    if (!text.empty() && std::isalnum(static_cast<unsigned char>(text.back()))) text += '.';
    return text + " " + what + " (" + second.what() + ")";
}
} // namespace

LockedError::LockedError()
    : Error("Le catalogue Q7.dat de ce dossier est déjà ouvert par un autre Lirabel 3") {}

// ---- RecordWriter

RecordWriter::RecordWriter(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {
    // Locked before it becomes Q7.dat, so the catalogue is never unlocked; emptied only
    // once locked, since a scratch file someone else holds is not ours to touch.
    file_ = fs_.open(path_, OpenMode::Create);
    if (!file_->tryLock()) throw LockedError();
    file_->truncate(0);
}

RecordWriter::~RecordWriter() {
    if (!committed_) discard();
}

void RecordWriter::append(const Fiche& record) {
    // Taken at the first record: a rewrite that places its records takes none.
    if (buffer_.capacity() == 0) buffer_.reserve(blockRecords * ficheSize);
    buffer_.insert(buffer_.end(), record.bytes.begin(), record.bytes.end());
    if (buffer_.size() >= blockRecords * ficheSize) flush();
}

void RecordWriter::appendBytes(const std::string& bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    flush();
}

void RecordWriter::place(int at, const unsigned char* records, std::size_t count) {
    flush();
    const std::uint64_t offset = std::uint64_t(at) * ficheSize;
    file_->writeAt(records, count * ficheSize, offset);
    written_ = std::max(written_, offset + count * ficheSize);
}

void RecordWriter::flush() {
    if (buffer_.empty()) return;
    file_->writeAt(buffer_.data(), buffer_.size(), written_);
    written_ += buffer_.size();
    buffer_.clear();
}

void RecordWriter::finish() {
    flush();
    file_->sync();
}

std::unique_ptr<File> RecordWriter::release() {
    committed_ = true;
    return std::move(file_);
}

void RecordWriter::discard() {
    if (!file_) return;
    file_.reset();
    removeQuietly(fs_, path_);
}

// ---- DataFile

DataFile::DataFile(Folder folder) : folder_(std::move(folder)) {}

DataFile::~DataFile() = default;

void DataFile::open() {
    FileSystem& fs = folder_.fs();
    for (int attempt = 1;; ++attempt) {
        path_ = folder_.path(dataFileName);
        // Never truncates: another program may have created it a moment ago.
        std::unique_ptr<File> file;
        try {
            file = fs.open(path_, OpenMode::Create);
        } catch (const IoError& e) {
            refuseUnrepaired(e);
            throw;
        }
        if (!file->tryLock()) throw LockedError();
        if (stillNamed(fs, path_, *file)) {
            // A Q7.dat that is a symbolic link: rewrites replace the file it names (beside
            // it, so the rename stays on one file system), never the link itself.
            path_ = fs.resolve(path_);
            journalNote_ = Journal::recover(folder_, *file);
            adopt(std::move(file));
            break;
        }
        if (attempt == lockAttempts) throw LockedError();
    }
    removeLeftoverScratch();
}

void DataFile::refuseUnrepaired(const IoError& e) {
    if (e.code() != EACCES && e.code() != EPERM && e.code() != EROFS) return;
    std::unique_ptr<File> file;
    try {
        file = folder_.fs().open(path_, OpenMode::Read);
    } catch (const IoError&) {
        return;
    }
    if (Journal::needsRollback(folder_, *file))
        throw Error("Le catalogue Q7.dat n'a pas pu être réparé après une écriture interrompue, "
                    "car il est en lecture seule. Rien n'a été modifié.");
}

void DataFile::removeLeftoverScratch() {
    // Under our lock no other copy writes here: a scratch file is what a crash left.
    FileSystem& fs = folder_.fs();
    try {
        for (const std::string& name : fs.list(folder_.dir()))
            if (isScratchName(name)) removeQuietly(fs, folder_.path(name));
    } catch (const IoError&) {
        // A folder that cannot be listed keeps its leftovers; they only take room.
    }
    removeOutputScratch(fs, folder_.dir());
    if (linked()) removeQuietly(fs, tempPath());
    tidyBackups(folder_, file_->id());
}

void DataFile::adopt(std::unique_ptr<File> file) {
    file_ = std::move(file);
    const std::uint64_t size = file_->size();
    count_ = static_cast<int>(size / ficheSize);
    tailBytes_ = size % ficheSize;
    position_ = 0;
    blockCount_ = 0;
}

void DataFile::close() {
    if (!file_) return;
    const bool empty = count_ == 0 && tailBytes_ == 0;
    journal_.close();
    file_.reset();
    blockCount_ = 0;
    // An empty catalogue elsewhere, behind a link, is not ours to delete.
    if (empty && !linked()) folder_.fs().remove(path_);
}

void DataFile::seek(int index) {
    if (!file_) throw IoError(EBADF);
    if (index < 0) throw IoError(negativeSeek);
    if (index > count_) throw IoError(IoError::readPastEnd);
    position_ = index;
}

void DataFile::read(Fiche& buffer) {
    buffer = readNext();
}

const Fiche& DataFile::readNext() {
    static_assert(sizeof(Fiche) == ficheSize, "a record is its bytes");
    if (!file_) throw IoError(EBADF);
    if (position_ >= count_) throw IoError(IoError::readPastEnd);
    if (position_ < blockStart_ || position_ >= blockStart_ + blockCount_) {
        const int n = std::min(blockRecords, count_ - position_);
        // Sized once: a block of another size would be cleared again for nothing.
        if (block_.empty()) block_.resize(blockRecords);
        blockCount_ = 0;
        const std::size_t got = file_->readAt(block_.data(), std::size_t(n) * ficheSize,
                                              std::uint64_t(position_) * ficheSize);
        const int whole = static_cast<int>(got / ficheSize);
        if (whole == 0) throw IoError(IoError::readPastEnd);
        blockStart_ = position_;
        blockCount_ = whole;
    }
    return block_[std::size_t(position_++ - blockStart_)];
}

int DataFile::readRecords(int first, int count, unsigned char* into) const {
    if (!file_) throw IoError(EBADF);
    if (first < 0 || count < 0 || first > count_ - count) throw IoError(IoError::readPastEnd);
    const std::size_t got =
        file_->readAt(into, std::size_t(count) * ficheSize, std::uint64_t(first) * ficheSize);
    return static_cast<int>(got / ficheSize);
}

void DataFile::write(const Fiche& buffer) {
    put(buffer.bytes.data(), ficheSize);
    if (position_ >= blockStart_ && position_ < blockStart_ + blockCount_)
        block_[std::size_t(position_ - blockStart_)] = buffer;
    if (position_ == count_) ++count_;
    ++position_;
}

void DataFile::append(const std::vector<Fiche>& records) {
    if (!file_) throw IoError(EBADF);
    position_ = count_;
    if (records.empty()) return;
    put(records.front().bytes.data(), records.size() * ficheSize);
    count_ += static_cast<int>(records.size());
    position_ = count_;
}

void DataFile::cutBack(int count) {
    if (!file_) throw IoError(EBADF);
    if (count < 0 || count > count_ || tailBytes_ != 0) throw IoError(IoError::readPastEnd);
    journal_.settle();
    file_->truncate(std::uint64_t(count) * ficheSize);
    file_->syncData();
    count_ = count;
    position_ = count_;
    blockCount_ = 0;
}

void DataFile::put(const unsigned char* bytes, std::size_t size) {
    if (!file_) throw IoError(EBADF);
    const bool appending = position_ == count_;
    if (appending && tailBytes_ != 0)
        throw Error("Q7.dat se termine par une fiche incomplète : aucune fiche ne peut y être "
                    "ajoutée sans l'écraser");
    const std::uint64_t offset = std::uint64_t(position_) * ficheSize;
    // What a failed write must give back.
    const std::string before = journal_.protect(
        *file_, std::uint64_t(count_) * ficheSize + tailBytes_, offset, bytes, size);
    try {
        file_->writeAt(bytes, size, offset);
        file_->syncData();
        journal_.done();
    } catch (const std::exception& failure) {
        try {
            if (appending) {
                file_->truncate(offset);
            } else {
                file_->writeAt(before.data(), size, offset);
            }
            file_->syncData();
            journal_.done();
        } catch (const std::exception& undo) {
            // The journal stays: the next open puts the catalogue back.
            if (appending)
                throw Error(alsoFailed(failure,
                                       "La fiche à moitié écrite n'a pas pu être retirée de la "
                                       "fin de Q7.dat",
                                       undo));
            throw Error(
                alsoFailed(failure, "La fiche d'avant n'a pas pu être remise dans Q7.dat", undo));
        }
        throw;
    }
}

std::string DataFile::tail() {
    std::string bytes(tailBytes_, '\0');
    if (tailBytes_ != 0)
        file_->readAt(bytes.data(), bytes.size(), std::uint64_t(count_) * ficheSize);
    return bytes;
}

std::unique_ptr<RecordWriter> DataFile::beginRewrite() {
    return std::make_unique<RecordWriter>(folder_.fs(), tempPath());
}

void DataFile::commitRewrite(std::unique_ptr<RecordWriter> writer) {
    backupNote_.clear();
    Backup backup;
    try {
        // A damaged end is carried over as it was, never dropped.
        if (tailBytes_ != 0) writer->appendBytes(tail());
        writer->finish();
        journal_.settle();
        backup = backUpCatalogue(folder_, BackupMethod::LinkOrCopy);
        folder_.fs().rename(writer->path(), path_);
    } catch (...) {
        writer->discard();
        withdrawBackup(folder_, backup);
        throw;
    }
    auto file = writer->release();
    file_.reset();
    adopt(std::move(file));
    backupNote_ = backupFailureMessage(backup);
    if (!backup.failed()) pruneBackups(folder_, backupsKept, backup.path);
    folder_.fs().syncDir(linked() ? directoryOf(path_) : folder_.dir());
}

bool DataFile::linked() const {
    return path_ != folder_.path(dataFileName);
}

std::string DataFile::tempPath() const {
    return linked() ? directoryOf(path_) + "/" + tempFileName : folder_.path(tempFileName);
}

std::string DataFile::takeBackupNote() {
    return std::exchange(backupNote_, std::string());
}

std::string DataFile::takeJournalNote() {
    return std::exchange(journalNote_, std::string());
}

} // namespace q7
