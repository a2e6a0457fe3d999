#include "store/Errors.h"
#include "store/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q7 {

namespace {

class PosixFile : public File {
public:
    PosixFile(int fd, bool append) : fd_(fd), append_(append) {}
    ~PosixFile() override { ::close(fd_); }

    std::size_t readAt(void* data, std::size_t size, std::uint64_t offset) override {
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = ::pread(fd_, static_cast<char*>(data) + done, size - done,
                                static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                throw IoError(errno);
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    void writeAt(const void* data, std::size_t size, std::uint64_t offset) override {
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = append_ ? ::write(fd_, static_cast<const char*>(data) + done, size - done)
                                : ::pwrite(fd_, static_cast<const char*>(data) + done, size - done,
                                           static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                throw IoError(errno);
            }
            done += static_cast<std::size_t>(n);
        }
    }

    std::uint64_t size() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) throw IoError(errno);
        return static_cast<std::uint64_t>(st.st_size);
    }

    void sync() override {
        if (::fsync(fd_) != 0) throw IoError(errno);
    }

    void syncData() override {
        if (::fdatasync(fd_) != 0) throw IoError(errno);
    }

    void truncate(std::uint64_t size) override {
        while (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
            if (errno != EINTR) throw IoError(errno);
    }

    FileId id() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) throw IoError(errno);
        return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    }

    bool tryLock() override {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno == EWOULDBLOCK) return false;
        throw IoError(errno);
    }

private:
    int fd_;
    bool append_;
};

class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override {
        int flags = O_CLOEXEC;
        switch (mode) {
        case OpenMode::Read: flags |= O_RDONLY; break;
        case OpenMode::ReadWrite: flags |= O_RDWR; break;
        case OpenMode::CreateNew: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
        case OpenMode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
        case OpenMode::Create: flags |= O_RDWR | O_CREAT; break;
        // Not blocking: a FIFO in the file's place must not hang the open.
        case OpenMode::ReadNoLink: flags |= O_RDONLY | O_NOFOLLOW | O_NONBLOCK; break;
        case OpenMode::CreateNoLink: flags |= O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK; break;
        }
        int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) throw IoError(errno);
        struct stat st {};
        const bool stated = ::fstat(fd, &st) == 0;
        const bool own = mode == OpenMode::ReadNoLink || mode == OpenMode::CreateNoLink;
        if ((stated && S_ISDIR(st.st_mode)) || (own && (!stated || !S_ISREG(st.st_mode)))) {
            ::close(fd);
            throw IoError(stated && S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
        }
        if (own) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return std::make_unique<PosixFile>(fd, mode == OpenMode::Append);
    }

    bool exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

    void remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0) throw IoError(errno);
    }

    void rename(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) throw IoError(errno);
    }

    void syncDir(const std::string& dir) override {
        int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) throw IoError(errno);
        int rc = ::fsync(fd);
        int err = errno;
        ::close(fd);
        // Some file systems cannot sync a folder; the rename is done all the same.
        if (rc != 0 && err != EINVAL && err != EROFS) throw IoError(err);
    }

    FileId idOf(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) throw IoError(errno);
        return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    }

    void link(const std::string& from, const std::string& to) override {
        if (::link(from.c_str(), to.c_str()) != 0) throw IoError(errno);
    }

    void makeDir(const std::string& path) override {
        if (::mkdir(path.c_str(), 0777) == 0) return;
        const int err = errno;
        struct stat st {};
        if (err == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
        throw IoError(err);
    }

    std::vector<std::string> list(const std::string& dir) override {
        std::vector<std::string> names;
        DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
        if (!d) throw IoError(errno);
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(std::move(n));
        }
        ::closedir(d);
        return names;
    }

    FileKind kindOf(const std::string& path) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return FileKind::Missing;
            throw IoError(errno);
        }
        if (S_ISREG(st.st_mode)) return FileKind::Regular;
        if (S_ISDIR(st.st_mode)) return FileKind::Folder;
        if (S_ISLNK(st.st_mode)) return FileKind::Link;
        return FileKind::Special;
    }

    std::string resolve(const std::string& path) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) return path; // a link to nothing yet: opening it creates its target
        std::string target = real;
        ::free(real);
        return target;
    }
};

} // namespace

void removeQuietly(FileSystem& fs, const std::string& path) noexcept {
    try {
        if (fs.exists(path)) fs.remove(path);
    } catch (...) {
    }
}

FileSystem& posixFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace q7
