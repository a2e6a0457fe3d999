#include "platform/ReadableColour.h"

#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double minimumContrast = 4.5;

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto at = [t](float a, float b) { return a + (b - a) * static_cast<float>(t); };
    return QColor::fromRgbF(at(from.redF(), to.redF()), at(from.greenF(), to.greenF()),
                            at(from.blueF(), to.blueF()));
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background) {
    if (contrastRatio(wanted, background) >= minimumContrast) return wanted;
    const QColor towards = luminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    // The least change that reads, in twentieths.
    for (int step = 1; step <= 20; ++step) {
        const QColor shade = mix(wanted.toRgb(), towards, step / 20.0);
        if (contrastRatio(shade, background) >= minimumContrast) return shade;
    }
    return towards;
}

void keepColoursReadable(QWidget& root) {
    // "color: rgb(0,0,255)" or "color: red", not "background-color".
    static const QRegularExpression textColour(QStringLiteral(
        R"((?<![-\w])color\s*:\s*(rgb\(\s*\d+\s*,\s*\d+\s*,\s*\d+\s*\)|#[0-9a-fA-F]{3,6}|[a-zA-Z]+))"));
    static const QRegularExpression numbers(QStringLiteral(R"(\d+)"));
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (QWidget* w : widgets) {
        QString sheet = w->styleSheet();
        if (sheet.isEmpty() || sheet.contains(QLatin1String("background"))) continue;
        const QRegularExpressionMatch m = textColour.match(sheet);
        if (!m.hasMatch()) continue;
        const QString value = m.captured(1);
        QColor wanted;
        if (value.startsWith(QLatin1String("rgb"))) {
            QList<int> rgb;
            for (auto it = numbers.globalMatch(value); it.hasNext();)
                rgb << it.next().captured().toInt();
            wanted = QColor(rgb.value(0), rgb.value(1), rgb.value(2));
        } else {
            wanted = QColor::fromString(value);
        }
        if (!wanted.isValid()) continue;
        const QColor shown = readableOn(wanted, w->palette().color(w->backgroundRole()));
        if (shown == wanted) continue;
        sheet.replace(m.capturedStart(1), m.capturedLength(1), shown.name());
        w->setStyleSheet(sheet);
    }
}
