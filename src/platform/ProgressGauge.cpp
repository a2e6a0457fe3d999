#include "platform/ProgressGauge.h"

#include <QProgressBar>

namespace {
qint64 percent(int value, int maximum) {
    return maximum > 0 ? qint64(value) * 100 / maximum : 0;
}
} // namespace

ProgressGauge::ProgressGauge(QProgressBar& bar, Clock clock) : bar_(bar), clock_(std::move(clock)) {
    if (!clock_) {
        elapsed_.start();
        clock_ = [this] { return elapsed_.elapsed(); };
    }
}

void ProgressGauge::report(int value, int maximum) {
    if (bar_.maximum() != maximum || bar_.minimum() != 0) bar_.setRange(0, maximum);
    if (percent(value, maximum) == percent(bar_.value(), maximum) && value != maximum) return;
    const qint64 now = clock_();
    if (value != maximum && shown_ && now - shownAt_ < repaintInterval) return;
    bar_.setValue(value);
    shown_ = true;
    shownAt_ = now;
}
