#pragma once
// The folder Couvertures beside Q7.dat: each book's cover as "<reference>.jpg" (see
// CoverNames.h). Every change goes through the file layer as the catalogue's do: written
// beside and renamed over once synced, never a file half written, never a cover replaced
// or moved over another; what a cover gives way to is kept in Sauvegardes.
#include "store/DataFile.h"
#include "store/Folder.h"

#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q7 {

// A file of Couvertures, and the reference it stands for (empty when it is not a name of
// ours: a picture of the collector's own, "Sans titre.png").
struct CoverFile {
    std::string name;
    std::string reference;
};

class CoverStore {
public:
    // A cover file is read whole; heavier than this it is no cover of ours.
    static constexpr std::uint64_t maxCoverBytes = 32ull * 1024 * 1024;

    explicit CoverStore(const Folder& dataFolder) : folder_(dataFolder) {}

    // The path of the reference's cover, or "" when it has none (an empty reference never
    // has one).
    std::string find(std::string_view reference) const;
    // The cover's bytes, read without following a link nor opening a device; throws
    // IoError, or Error when it is too heavy.
    std::string read(const std::string& path) const { return readFile(folder_.fs(), path); }
    static std::string readFile(FileSystem& fs, const std::string& path);
    // Makes `jpeg` the reference's cover. The cover it replaces is kept in Sauvegardes
    // first. Throws; on a failure the earlier cover stays as it was.
    void put(std::string_view reference, std::string_view jpeg, std::time_t when);

    enum class Moved { done, noCover, taken };
    // The cover of `from` becomes the cover of `to`; a cover `to` already has is never
    // replaced (taken: nothing changed). Throws on a failure, nothing lost.
    Moved move(std::string_view from, std::string_view to);
    // Moves the reference's cover into Sauvegardes, as "Couverture-AAAAMMJJ-HHMMSS-12.jpg";
    // returns where it went, "" when there was none. Throws; the cover stays on a failure.
    std::string keepAside(std::string_view reference, std::time_t when);

    // Every name of Couvertures (our scratch files left out), in no order.
    std::vector<CoverFile> files() const;
    // At open, under the catalogue's lock: removes what a crash left of our writes in
    // Couvertures and in Sauvegardes. Never throws.
    void tidy() const;

    std::string dir() const;

private:
    std::string keptName(const std::string& name, std::time_t when) const;
    // A second name for `from` in Sauvegardes (a copy where there are no links).
    std::string keepCopy(const std::string& from, const std::string& name, std::time_t when);
    Folder folder_;
};

// How many books of the catalogue share each cover file, by coverKey(): one cover is
// sure to be its book's only when the count is 1. Reads the records without moving P.
using CoverOwners = std::unordered_map<std::string, int>;
CoverOwners coverOwners(const DataFile& data);
int ownersOf(const CoverOwners& owners, std::string_view reference);

// The reference's cover as an address from a page written in `pageDir`, relative
// ("../Lirabel3/Couvertures/12.jpg", each part %-encoded); "" when the book has no cover
// of its own (none, or one its reference shares with another book).
std::string coverLink(const DataFile& data, std::string_view reference, const std::string& pageDir);

} // namespace q7
