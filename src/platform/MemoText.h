#pragma once
// The text of a multi-line edit as it is held, for saving and searching.
// QPlainTextEdit::toPlainText() turns no-break spaces (byte 0xA0) into plain spaces,
// which would change the user's text on the next save; the raw text keeps them.
#include <QPlainTextEdit>
#include <QString>
#include <QTextDocument>

#include <string_view>

// Line breaks as LF, every other character as typed; positions match the editor's.
inline QString memoText(const QPlainTextEdit& memo) {
    QString text = memo.document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
    return text;
}

// A view of a widget's text for the core's templates, without copying.
inline std::u16string_view u16view(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}
