#include "widgets/ButtonKeys.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QShortcutEvent>

void ButtonKeysAtOnce::watchApplication() {
    QCoreApplication::instance()->installEventFilter(this);
}

bool ButtonKeysAtOnce::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Shortcut) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    // A letter shared by several buttons only moves the focus; a checkable button or one
    // with a menu keeps Qt's own way.
    if (!button || button->isCheckable() || button->menu() ||
        static_cast<QShortcutEvent*>(event)->isAmbiguous())
        return false;
    button->click();
    return true;
}
