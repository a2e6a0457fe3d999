#pragma once
// Covers as the pocket page shows them: each book's JPEG in Couvertures/, named after its
// reference, made into a thumbnail small enough that thousands keep the page light.
#include "covers/CoverStore.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class Covers {
public:
    // Lists Couvertures/ once (a folder without it has no cover), and which books share a
    // reference: their cover is no one's.
    explicit Covers(const q7::DataFile& data);

    int count() const { return int(files_.size()); }
    // What the thumbnails can add to the page at most: said before it is written.
    std::uint64_t pageBytesBound() const;
    // The reference's cover made small, as JPEG bytes; "" when it has none, when it cannot
    // be read or when even a coarse thumbnail would be too big.
    std::string thumbnail(std::string_view reference) const;

private:
    q7::FileSystem& fs_;
    q7::CoverOwners owners_;
    std::string dir_;
    std::unordered_map<std::string, std::string> files_; // name in lower case -> name
};

// What the thumbnails would cost, said before writing: "(812 couvertures : 3,2 Mo au
// plus)", or "(aucune dans Couvertures)".
QString coversCost(const Covers& covers);
// A size as a person reads it: "640 Ko", "6,2 Mo".
QString readableSize(std::uint64_t bytes);
