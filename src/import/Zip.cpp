#include "import/Zip.h"

#include "store/Errors.h"

#include <zip.h>

#include <memory>

namespace q7::import {

bool isZip(std::string_view bytes) {
    return bytes.starts_with("PK\x03\x04");
}

namespace {

// A libzip error, released however the opening ends.
class ZipError {
public:
    ZipError() { zip_error_init(&error_); }
    ~ZipError() { zip_error_fini(&error_); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;
    zip_error_t* get() { return &error_; }
    [[noreturn]] void raise() {
        throw Error("Archive zip illisible : elle est abîmée ou incomplète");
    }

private:
    zip_error_t error_;
};

// Read only: closing it writes nothing back, so it is discarded.
struct Discard {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};

} // namespace

std::string zipMember(std::string_view archive, const std::string& name, std::size_t limit) {
    std::unique_ptr<zip_t, Discard> zip;
    {
        ZipError error;
        zip_source_t* source =
            zip_source_buffer_create(archive.data(), archive.size(), 0, error.get());
        if (!source) error.raise();
        zip.reset(zip_open_from_source(source, ZIP_RDONLY, error.get()));
        if (!zip) {
            zip_source_free(source);
            error.raise();
        }
    }
    zip_t* raw = zip.get();
    zip_stat_t stat;
    if (zip_stat(raw, name.c_str(), 0, &stat) != 0)
        throw Error("L'archive ne contient pas de fichier " + name);
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> member(zip_fopen(raw, name.c_str(), 0),
                                                                   zip_fclose);
    if (!member) throw Error("Le fichier " + name + " de l'archive ne peut pas être lu");
    // The announced size may lie: read in blocks and stop at the limit.
    std::string bytes;
    char block[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(member.get(), block, sizeof block);
        if (n < 0) throw Error("Le fichier " + name + " de l'archive est abîmé");
        if (n == 0) break;
        bytes.append(block, static_cast<std::size_t>(n));
        if (bytes.size() > limit)
            throw Error("Le fichier " + name + " de l'archive est trop grand pour un catalogue");
    }
    return bytes;
}

} // namespace q7::import
