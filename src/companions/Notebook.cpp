#include "companions/Notebook.h"

#include "store/TextFile.h"

namespace q7 {

namespace {
const std::string crLf = "\r\n";
const std::string emptyNotebook = "Vide";
} // namespace

std::string dateStamp(int day, int month, int year) {
    return "=== " + std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year) +
           " ===";
}

std::vector<std::string> referenceStamp(std::string_view title, std::string_view reference) {
    return {"=== " + std::string(title), "REF= " + std::string(reference)};
}

std::string linesToAppend(bool atLineStart, const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += atLineStart ? line + crLf : crLf + line;
    return out;
}

std::string loadNotebook(const Folder& folder) {
    if (!folder.exists(notebookFileName)) {
        const std::string fresh = emptyNotebook + crLf;
        replaceFile(folder, notebookFileName, fresh);
        return fresh;
    }
    return readWholeFile(folder, notebookFileName);
}

std::string saveNotebook(const Folder& folder, const std::string& text) {
    const std::string bytes = text.empty() ? emptyNotebook : text;
    replaceFile(folder, notebookFileName, bytes);
    return bytes;
}

} // namespace q7
