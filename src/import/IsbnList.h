#pragma once
// A scanned list of ISBNs (one a line, as a barcode scanner or a phone app writes them)
// made into books by asking the bibliographic services, for the import's usual path.
#include "import/SourceBook.h"
#include "store/Errors.h"

#include <functional>
#include <string>
#include <string_view>

namespace q7 {
class SettingsBackend;
}
namespace q7::lookup {
class IsbnLookup;
}

namespace q7::import {

struct IsbnListRequest {
    std::string folder;                  // the catalogue's: its author list is reused
    SettingsBackend* settings = nullptr; // [Notices]; null: the collector's wutfn.ini
    // Before each ISBN is asked: its rank from 1, how many are to be asked, the ISBN.
    std::function<void(int rank, int total, const std::string& isbn13)> progress;
    // The caller's, so that it can stop the run with cancel(); null: one of the run's own.
    lookup::IsbnLookup* lookup = nullptr;
    // Asked before each ISBN: true ends the run.
    std::function<bool()> stopped;
};

// The run ended before its last ISBN: cancelled, or the program quitting under it.
class IsbnListStopped : public Error {
public:
    IsbnListStopped(int asked, int total);
    int asked; // answered before the stop
    int total;
};

// Blank lines and repeated ISBNs are skipped; a wrong check digit, an ISBN no source
// knows, a source that fails: each is a rejected line saying why. Throws q7::Error when
// the file holds no ISBN at all, IsbnListStopped when the run is stopped.
SourceFile readIsbnList(std::string_view bytes, const IsbnListRequest& request);

// True when every line holds one ISBN and nothing else (a heading "ISBN" or "EAN" on the
// first line aside), wrong check digits included: told from a spreadsheet by content.
bool looksLikeIsbnList(std::string_view bytes);

} // namespace q7::import
