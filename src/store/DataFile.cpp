#include "store/DataFile.h"

#include "store/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace q7 {

namespace {
constexpr int blockRecords = DataFile::readAheadRecords;
constexpr int negativeSeek = 131;
} // namespace

LockedError::LockedError()
    : Error("Le catalogue Q7.dat de ce dossier est déjà ouvert par un autre Lirabel 3") {}

// ---- RecordWriter

RecordWriter::RecordWriter(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {
    file_ = fs_.open(path_, OpenMode::CreateNew);
    // Locked before it becomes Q7.dat, so the catalogue is never unlocked.
    file_->tryLock();
}

RecordWriter::~RecordWriter() = default;

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
    return std::move(file_);
}

void RecordWriter::discard() {
    file_.reset();
    try {
        if (fs_.exists(path_)) fs_.remove(path_);
    } catch (...) {
    }
}

// ---- DataFile

DataFile::DataFile(Folder folder) : folder_(std::move(folder)) {}

DataFile::~DataFile() = default;

void DataFile::open() {
    path_ = folder_.path(dataFileName);
    std::unique_ptr<File> file;
    if (folder_.fs().exists(path_))
        file = folder_.fs().open(path_, OpenMode::ReadWrite);
    else
        file = folder_.fs().open(path_, OpenMode::CreateNew);
    if (!file->tryLock()) throw LockedError();
    adopt(std::move(file));
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
    file_.reset();
    blockCount_ = 0;
    if (empty) folder_.fs().remove(path_);
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

void DataFile::write(const Fiche& buffer) {
    if (!file_) throw IoError(EBADF);
    if (position_ == count_ && tailBytes_ != 0)
        throw Error("Q7.dat se termine par une fiche incomplète : aucune fiche ne peut y être "
                    "ajoutée sans l'écraser");
    file_->writeAt(buffer.bytes.data(), ficheSize, std::uint64_t(position_) * ficheSize);
    if (position_ >= blockStart_ && position_ < blockStart_ + blockCount_)
        block_[std::size_t(position_ - blockStart_)] = buffer;
    if (position_ == count_) ++count_;
    ++position_;
}

std::string DataFile::tail() {
    std::string bytes(tailBytes_, '\0');
    if (tailBytes_ != 0)
        file_->readAt(bytes.data(), bytes.size(), std::uint64_t(count_) * ficheSize);
    return bytes;
}

std::unique_ptr<RecordWriter> DataFile::beginRewrite() {
    return std::make_unique<RecordWriter>(folder_.fs(), folder_.path(tempFileName));
}

void DataFile::commitRewrite(std::unique_ptr<RecordWriter> writer) {
    try {
        // A damaged end is carried over as it was, never dropped.
        if (tailBytes_ != 0) writer->appendBytes(tail());
        writer->finish();
        folder_.fs().rename(writer->path(), path_);
    } catch (...) {
        writer->discard();
        throw;
    }
    auto file = writer->release();
    file_.reset();
    adopt(std::move(file));
    folder_.fs().syncDir(folder_.dir());
}

} // namespace q7
