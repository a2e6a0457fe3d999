#pragma once
// An OpenDocument spreadsheet (.ods) of one sheet, every cell a text: a spreadsheet shows
// an ISBN or a reference as it was typed ("0439023483", "007"), never as a number.
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

class Spreadsheet {
public:
    explicit Spreadsheet(std::string sheetName); // UTF-8
    // Cells are UTF-8; a line break starts a new paragraph of the cell. The first row
    // added is the header, in bold.
    void addRow(const std::vector<std::string_view>& cells);
    // The file's bytes: a zip whose first member is the stored media type, as the format
    // asks. Throws q7::Error when the archive cannot be made.
    std::string bytes() const;

private:
    std::string name_;
    std::string rows_;                // the table's rows as XML
    std::vector<std::size_t> widest_; // characters, by column
    bool header_ = true;
};

} // namespace q7
