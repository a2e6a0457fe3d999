#pragma once
// The SQL, CSV and HTML forms of a record, as Windows-1252 bytes with CR LF lines.
#include "settings/Settings.h"
#include "store/Fiche.h"

#include <string>

namespace q7 {

// The two lines of one record: "INSERT INTO'table'" and "VALUES('...',...);".
// Quotes inside the values and the table name are doubled so that the script loads.
void appendSqlLines(std::string& out, const Fiche& f, const std::string& tableName);

// One line: the 28 values joined by ";", a quote at each end of the line.
void appendCsvLine(std::string& out, const Fiche& f);

// The one-record page; & < > and " inside the values are escaped. `cover`: the book's
// cover as an address from the page, shown in a last row; "" leaves the page as it was.
std::string htmlPage(const Fiche& f, const Settings& captions, const std::string& cover = {});

} // namespace q7
