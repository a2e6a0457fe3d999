#pragma once
// The progress bar of a command that runs without going back to the event loop. The
// bar repaints itself at once whenever what it shows changes, and on a display each
// repaint costs about as much as exporting a few hundred records: drawing every
// percent made a small catalogue's export ten times slower than its file work. So
// the bar is shown only when its percentage changes, at most about 30 times a
// second, and always when it reaches its maximum.
#include <QElapsedTimer>

#include <functional>

class QProgressBar;

class ProgressGauge {
public:
    // Milliseconds since any fixed moment; tests drive their own.
    using Clock = std::function<qint64()>;
    static constexpr qint64 repaintInterval = 33;

    explicit ProgressGauge(QProgressBar& bar, Clock clock = {});

    // `value` of 0..maximum done. A new maximum is taken at once.
    void report(int value, int maximum);

private:
    QProgressBar& bar_;
    Clock clock_;
    QElapsedTimer elapsed_;
    qint64 shownAt_ = 0;
    bool shown_ = false;
};
