#pragma once
// Where a window opens.
#include <QScreen>
#include <QWidget>

// In the middle of the desktop's free area, whatever window it belongs to.
inline void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
