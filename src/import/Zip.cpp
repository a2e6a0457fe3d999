#include "import/Zip.h"

#include "store/Errors.h"

#include <zip.h>

#include <memory>

namespace q7::import {

bool isZip(std::string_view bytes) {
    return bytes.starts_with("PK\x03\x04");
}

std::string zipMember(std::string_view archive, const std::string& name, std::size_t limit) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    if (!source) throw Error("Archive zip illisible : " + std::string(zip_error_strerror(&error)));
    zip_t* raw = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!raw) {
        zip_source_free(source);
        const std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw Error("Archive zip illisible : " + why);
    }
    zip_error_fini(&error);
    const std::unique_ptr<zip_t, int (*)(zip_t*)> zip(raw, zip_close);
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
