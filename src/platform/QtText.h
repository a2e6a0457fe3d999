#pragma once
// Bytes of the catalogue (Windows-1252) <-> text of the widgets.
#include "store/Cp1252.h"

#include <QString>

#include <string>

inline QString fromBytes(std::string_view bytes) {
    // Written in place: big value lists pass through here at every loading.
    QString s(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = s.data();
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(char16_t(byte < 0x80 || byte > 0x9F ? byte : q7::cp1252ToUnicode(byte)));
    }
    return s;
}

// Characters outside the code page become '?'.
inline std::string toBytes(const QString& text) {
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

// A caption as a screen reader says it: without its shortcut mark ("&&" is one "&") or
// the blanks around it.
inline QString spokenCaption(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && ++i == caption.size()) break;
        out += caption.at(i);
    }
    return out.trimmed();
}

// A caption made of the user's text: an "&" shows as itself, not as a shortcut mark.
inline QString literalCaption(std::string_view bytes) {
    return fromBytes(bytes).replace(u'&', QStringLiteral("&&"));
}
