#pragma once
// A scanned list of ISBNs (one a line, as a barcode scanner or a phone app writes them)
// made into books by asking the bibliographic services, for the import's usual path.
#include "import/SourceBook.h"

#include <functional>
#include <string>
#include <string_view>

namespace q7 {
class SettingsBackend;
}

namespace q7::import {

struct IsbnListRequest {
    std::string folder;                               // the catalogue's: its author list is reused
    SettingsBackend* settings = nullptr;              // [Notices]; null: the collector's wutfn.ini
    std::function<void(const std::string&)> progress; // one line per ISBN, for a terminal
};

// Blank lines and repeated ISBNs are skipped; a wrong check digit, an ISBN no source
// knows, a source that fails: each is a rejected line saying why. Throws q7::Error when
// the file holds no ISBN at all.
SourceFile readIsbnList(std::string_view bytes, const IsbnListRequest& request);

} // namespace q7::import
