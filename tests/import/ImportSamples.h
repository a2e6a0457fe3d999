#pragma once
// Sample files of other programs, built here: a spreadsheet's CSV, Tellico's XML (bare
// and zipped), GCstar's .gcs.
#include <string>
#include <vector>

namespace samples {

// UTF-8 with a byte order mark, "," between values, a header in French.
std::string spreadsheetUtf8Bom();
// Windows-1252, ";" between values, a header in English.
std::string spreadsheetCp1252();
// Three books: several authors, a custom location field, accents.
std::string tellicoXml();
// `xml` as tellico.xml inside a zip archive, as Tellico saves a .tc.
std::string zipped(const std::string& xml, const std::string& member = "tellico.xml");
std::string gcstar();

} // namespace samples
