#include "widgets/MemoEdit.h"

#include "platform/MemoText.h"
#include "platform/QtText.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

int MemoEdit::storedLength(const QString& text) {
    return int(text.size() + text.count(u'\n'));
}

int MemoEdit::room() const {
    const QString selected = textCursor().selection().toPlainText();
    return limit - storedLength(toPlainText()) + storedLength(selected);
}

void MemoEdit::setStoredText(const std::string& bytes) {
    QString text = fromBytes(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    setPlainText(text);
}

std::string MemoEdit::storedText() const {
    QString text = memoText(*this);
    text.replace(u'\n', QStringLiteral("\r\n"));
    return toBytes(text);
}

void MemoEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = event->text();
    const bool typed = enter || (!text.isEmpty() && text.at(0).unicode() >= 0x20 &&
                                 !(event->modifiers() & Qt::ControlModifier));
    if (typed && room() < (enter ? 2 : int(text.size()))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MemoEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    int left = room();
    QString taken;
    for (QChar c : text) {
        const int cost = c == u'\n' ? 2 : 1;
        if (cost > left) break;
        taken += c;
        left -= cost;
    }
    textCursor().insertText(taken);
}
