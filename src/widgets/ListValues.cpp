#include "widgets/ListValues.h"

#include "platform/QtText.h"
#include "store/ListFile.h"
#include "store/TextFile.h"

QStringList readListValues(const q7::Folder& folder, const std::string& name) {
    return listValuesOf(q7::readWholeFile(folder, name));
}

QStringList listValuesOf(const std::string& fileBytes) {
    const std::vector<std::string> lines = q7::parseListLines(fileBytes);
    QStringList values;
    values.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        values << fromBytes(line);
    return values;
}

void writeListValues(const q7::Folder& folder, const std::string& name, const QStringList& values) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(values.size()));
    for (const QString& value : values)
        lines.push_back(toBytes(value));
    q7::writeListFile(folder, name, lines);
}
