#pragma once
// A value list file as the widgets show it.
#include "store/Folder.h"

#include <QStringList>

#include <string>

// The values of the list file, in file order; throws IoError (a missing file included).
QStringList readListValues(const q7::Folder& folder, const std::string& name);
// The same from the file's bytes.
QStringList listValuesOf(const std::string& fileBytes);
// Writes the values as the list file, safely.
void writeListValues(const q7::Folder& folder, const std::string& name, const QStringList& values);
