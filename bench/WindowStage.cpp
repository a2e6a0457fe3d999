#include "WindowStage.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

namespace bench {

WindowStage::WindowStage() {
    qApp->installEventFilter(this);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &WindowStage::idle);
}

void WindowStage::expect(const QString& window) {
    resultWindow_ = window;
    state_ = State::Waiting;
    result_ = nullptr;
    settledAt_ = {};
}

Clock::time_point WindowStage::settledAt() {
    if (state_ == State::Seen) {
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        waiting_ = &loop;
        loop.exec();
        waiting_ = nullptr;
    }
    if (state_ != State::Settled || settledAt_ == Clock::time_point{})
        qFatal("no %s came", resultWindow_.isEmpty() ? "closing" : qPrintable(resultWindow_));
    return settledAt_;
}

bool WindowStage::eventFilter(QObject* object, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return false;
    QWidget* window = widget->window();
    if (event->type() == QEvent::Paint) {
        // Any part of the result window painted: it is on screen.
        if (state_ == State::Waiting && isResult(*window)) {
            state_ = State::Seen;
            result_ = window;
        }
    } else if (widget != window) {
        return false;
    } else if (event->type() == QEvent::Show && scripts.count(window->objectName())) {
        QTimer::singleShot(0, window, [this, window] {
            QApplication::processEvents(); // painted before the user acts
            scripts[window->objectName()](*window);
        });
    } else if (event->type() == QEvent::Hide && state_ == State::Waiting &&
               resultWindow_.isEmpty() && qobject_cast<QDialog*>(window)) {
        state_ = State::Seen;
    }
    return false;
}

// The event loop has nothing left to do: once the result is painted, the span ends as
// soon as the display server has drawn it too.
void WindowStage::idle() {
    if (state_ != State::Seen) return;
    QGuiApplication::sync();
    settledAt_ = Clock::now();
    state_ = State::Settled;
    if (waiting_) waiting_->quit();
    if (!result_) return;
    QTimer::singleShot(0, result_, [this, window = result_] {
        if (auto* box = qobject_cast<QMessageBox*>(window.data())) {
            shown_ = box->text();
            box->done(0);
        } else if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
            dialog->done(QDialog::Accepted);
        }
    });
}

bool WindowStage::isResult(QWidget& window) const {
    if (resultWindow_ == QLatin1String("QMessageBox")) return qobject_cast<QMessageBox*>(&window);
    return !resultWindow_.isEmpty() && window.objectName() == resultWindow_;
}

} // namespace bench
