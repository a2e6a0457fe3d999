#pragma once
// The one file layer of the core. Everything that touches the disk goes through it,
// so a test can make any step fail and check that nothing was lost.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace q7 {

// Which file a name or an open handle is: two are the same file when both match.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

class File {
public:
    virtual ~File() = default;
    // Reads up to `size` bytes at `offset`; returns the count read (short at the end).
    virtual std::size_t readAt(void* data, std::size_t size, std::uint64_t offset) = 0;
    // Writes all bytes at `offset` or throws.
    virtual void writeAt(const void* data, std::size_t size, std::uint64_t offset) = 0;
    virtual std::uint64_t size() = 0;
    virtual void sync() = 0;
    // Flushes the contents (and the size) to disk, not the other metadata.
    virtual void syncData() = 0;
    // Cuts or extends the file to `size` bytes.
    virtual void truncate(std::uint64_t size) = 0;
    // Exclusive advisory lock; false when another holder has it.
    virtual bool tryLock() = 0;
    virtual FileId id() = 0;
};

enum class OpenMode {
    Read,      // existing file, read only
    ReadWrite, // existing file
    CreateNew, // created empty, truncating any file of that name
    Append,    // created when missing, writes go to the end
    Create,    // read and write, created empty when missing, never truncated
    // A regular file only, never reached through a symbolic link: a link, a folder or a
    // device in its place is refused (IoError) without being read or written.
    ReadNoLink,   // existing file, read only
    CreateNoLink, // as Create
};

// What a name stands for, the name itself when it is a symbolic link.
enum class FileKind { Missing, Regular, Folder, Link, Special };

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> open(const std::string& path, OpenMode mode) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual void remove(const std::string& path) = 0;
    // Atomically replaces `to` with `from`.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    virtual void syncDir(const std::string& dir) = 0;
    // The file a name stands for now; throws IoError when there is none.
    virtual FileId idOf(const std::string& path) = 0;
    // A second name for the same file (a hard link); throws when the file system has none.
    virtual void link(const std::string& from, const std::string& to) = 0;
    // Creates a folder; an existing one is fine.
    virtual void makeDir(const std::string& path) = 0;
    // Names of the entries of a folder (not "." nor "..").
    virtual std::vector<std::string> list(const std::string& dir) = 0;
    // The file a name finally stands for, through symbolic links (a rename over the link
    // would replace the link, not the file); the name itself when it is no link.
    virtual std::string resolve(const std::string& path) { return path; }
    // Not following a symbolic link. Layers without links or special files see only
    // regular files.
    virtual FileKind kindOf(const std::string& path) {
        return exists(path) ? FileKind::Regular : FileKind::Missing;
    }
};

// The real one.
FileSystem& posixFileSystem();

// Removes a scratch file after a failure; a file that cannot be removed only takes room,
// so nothing is thrown (the failure being reported is the first one).
void removeQuietly(FileSystem& fs, const std::string& path) noexcept;

} // namespace q7
