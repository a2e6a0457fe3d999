#pragma once
// A push button's own key (Alt and its underlined letter) clicks it at once, as the
// mouse does. Qt first shows the button pressed for a tenth of a second, and a command
// behind it (a search ending in a message, a dialog closing) waits that long for nothing.
#include <QObject>

class ButtonKeysAtOnce : public QObject {
public:
    using QObject::QObject;

    // Watches every push button of the application.
    void watchApplication();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
