#pragma once
// Bytes of the catalogue (Windows-1252) <-> text of the widgets.
#include "store/Cp1252.h"

#include <QString>

#include <string>

inline QString fromBytes(std::string_view bytes)
{
    QString s;
    s.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) s.append(QChar(char16_t(q7::cp1252ToUnicode(static_cast<unsigned char>(c)))));
    return s;
}

// Characters outside the code page become '?'.
inline std::string toBytes(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        if (c.isSurrogate()) {
            out += '?';
            continue;
        }
        out += static_cast<char>(q7::unicodeToCp1252(c.unicode()));
    }
    return out;
}
