#include "import/ImportFile.h"

#include "store/Errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace q7::import {

namespace {

std::string sizeText(std::size_t bytes) {
    if (bytes % (std::size_t(1) << 30) == 0) return std::to_string(bytes >> 30) + " Go";
    if (bytes % (std::size_t(1) << 20) == 0) return std::to_string(bytes >> 20) + " Mo";
    return std::to_string(bytes) + " octets";
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

} // namespace

std::string readImportFile(const std::string& path, std::size_t limit) {
    const std::string named = "« " + path + " »";
    const auto unreadable = [&](int code) {
        return Error("Le fichier " + named + " ne peut pas être lu : " + ioMessage(code));
    };
    const auto refuseKind = [&](const struct stat& st) {
        if (S_ISDIR(st.st_mode)) throw Error(named + " est un dossier, pas un fichier à importer");
        if (!S_ISREG(st.st_mode))
            throw Error(named + " n'est pas un fichier ordinaire (périphérique, tube ou socket) : "
                                "rien n'est importé");
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) throw Error("Le fichier " + named + " n'existe pas");
        throw unreadable(errno);
    }
    refuseKind(st);
    // Not waiting on open, should the name have become a pipe since the look above.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) throw unreadable(errno);
    if (::fstat(file.fd, &st) != 0) throw unreadable(errno);
    refuseKind(st);

    const Error tooBig("Le fichier " + named + " dépasse " + sizeText(limit) +
                       " : ce n'est pas un catalogue de livres");
    if (std::uint64_t(st.st_size) > limit) throw tooBig;
    // Room for the whole file at once: growing by doubling would hold it twice.
    std::string bytes;
    bytes.reserve(std::size_t(st.st_size));
    std::vector<char> block(std::size_t(1) << 20);
    for (;;) {
        const ssize_t got = ::read(file.fd, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
            throw Error("Le fichier " + named +
                        " ne peut pas être lu jusqu'au bout : " + ioMessage(errno));
        if (got == 0) return bytes;
        if (bytes.size() + std::size_t(got) > limit) throw tooBig;
        bytes.append(block.data(), std::size_t(got));
    }
}

} // namespace q7::import
