#pragma once
// What the window benchmark watches while a key's command runs: the windows as they
// come and go, and the moment the user has the result. That moment is the result window
// painted (or, for a command that ends by closing its dialog, the dialog gone), then the
// event loop idle and the display server done drawing: nothing left to wait for.
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>
#include <map>

namespace bench {

using Clock = std::chrono::steady_clock;

class WindowStage : public QObject {
public:
    WindowStage();

    // Run on a window, by object name, once it is shown and painted.
    std::map<QString, std::function<void(QWidget&)>> scripts;

    // What ends the next span: a window of that object name painted ("QMessageBox" for
    // any message box), which is then closed as a user who has read it would; or, when
    // empty, a dialog hidden.
    void expect(const QString& window);
    // When the awaited result was on screen and all was quiet, running the event loop
    // until then if the command has already returned; fatal if it never comes.
    Clock::time_point settledAt();
    // The text of the last message box seen.
    const QString& shown() const { return shown_; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void idle();
    bool isResult(QWidget& window) const;

    enum class State { Waiting, Seen, Settled } state_ = State::Settled;
    QString resultWindow_;
    QString shown_;
    QPointer<QWidget> result_;
    QEventLoop* waiting_ = nullptr;
    Clock::time_point settledAt_;
};

} // namespace bench
