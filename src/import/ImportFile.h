#pragma once
// Opening a file to import: one rule for the command line and the import window.
#include <cstddef>
#include <string>

namespace q7::import {

// Forty thousand books fit in a few tens of megabytes, whatever the format.
constexpr std::size_t maxImportBytes = std::size_t(1) << 30;

// The bytes of the file at `path` (a name as the system spells it). Only a regular file
// is read: a folder, a device (/dev/zero never ends) or a pipe (a FIFO without a writer
// never starts) is refused at once, never opened for waiting. So is a file of more than
// `limit` bytes, while reading too: it may grow meanwhile, and some files say they are
// empty until read. Throws Error, in French, naming the file.
std::string readImportFile(const std::string& path, std::size_t limit = maxImportBytes);

} // namespace q7::import
