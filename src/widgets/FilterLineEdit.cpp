#include "widgets/FilterLineEdit.h"

#include <QKeyEvent>

void FilterLineEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).unicode() >= 0x20 &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typed && !accepted_.isEmpty()) {
        for (QChar c : text) {
            if (!accepted_.contains(c)) {
                if (beep_) beep_();
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}
