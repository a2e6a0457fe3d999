#pragma once
// The files written by the exporters collectors bring: reading sites, phone apps and
// catalogue programs, told by their header. Each exporter is one row of a table: the
// column names that tell it, and what its makers mean by their columns where the common
// names would read them otherwise.
#include "import/SourceBook.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q7::import {

struct ExporterColumn {
    const char* name; // folded
    Target target;
};

struct Exporter {
    const char* name;                    // as the report says it: "Goodreads"
    std::vector<const char*> signature;  // folded names that must all be in the header
    std::vector<ExporterColumn> columns; // its own meanings, before the common names
};

const std::vector<Exporter>& exporters();

// The exporter whose signature the header holds, or nullptr. `folded` are the header's
// names as foldName gives them.
const Exporter* recognizeExporter(const std::vector<std::string>& folded);

// The exporter's own meaning of a column, or nullopt to ask the common names.
std::optional<Target> exporterTarget(const Exporter& exporter, std::string_view folded);

} // namespace q7::import
