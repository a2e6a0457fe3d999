#pragma once
// The pocket catalogue: one HTML page for a phone that finds a book among the whole
// collection as one types, offline. Everything is inside it: its style and script (kept
// readable in resources/poche/) and the books as JSON data (compressed, never markup),
// under a policy that lets the page make no request of any kind.
#include "output/ExportTypes.h"
#include "store/FileSystem.h"

#include <functional>
#include <memory>
#include <string>

namespace q7 {

// The export table's writer: the page's head now, then each record, then what the
// records share (each author, series, shelf... once) and the script.
std::unique_ptr<ExportSession> startPocketPage(std::string& out, const ExportContext& context);

// The page of `count` records, `record(i)` giving the i-th in the order they are listed,
// written beside `path` and renamed over it once whole.
void writePocketPage(FileSystem& fs, const std::string& path, int count,
                     const std::function<const Fiche&(int)>& record, const Settings& captions,
                     const PageExtras& extras);

// A cover's thumbnail keeps to this many bytes of JPEG; the page holds it as base64,
// a third more.
constexpr std::size_t thumbnailBytes = 3000;
constexpr std::size_t thumbnailPageBytes = (thumbnailBytes + 2) / 3 * 4;

// A pocket page is an HTML file: a name that ends otherwise (Q7.dat...) is refused, so
// that a slip of the keyboard never replaces a file of another kind.
bool pocketPageName(std::string_view path);

} // namespace q7
