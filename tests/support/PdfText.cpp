#include "PdfText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

bool havePdfTools() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

PdfText readPdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    PdfText text;
    static const QRegularExpression page(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)")re"));
    for (auto it = page.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (text.pages++ > 0) continue;
        text.width = m.captured(1).toDouble();
        text.height = m.captured(2).toDouble();
    }
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                       R"re(xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>)re"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto w = it.next();
        QString t = w.captured(5);
        t.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&apos;"), QLatin1String("'"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        text.words.append({w.captured(1).toDouble(), w.captured(2).toDouble(),
                           w.captured(3).toDouble(), w.captured(4).toDouble(), t});
    }
    return text;
}

QList<QList<PdfWord>> pdfLines(const PdfText& text, double tolerance) {
    QList<PdfWord> words = text.words;
    std::sort(words.begin(), words.end(), [tolerance](const PdfWord& a, const PdfWord& b) {
        return std::abs(a.yMin - b.yMin) > tolerance ? a.yMin < b.yMin : a.xMin < b.xMin;
    });
    QList<QList<PdfWord>> lines;
    for (const PdfWord& w : words) {
        if (lines.isEmpty() || std::abs(lines.last().first().yMin - w.yMin) > tolerance)
            lines.append(QList<PdfWord>());
        lines.last().append(w);
    }
    return lines;
}

QString joined(const QList<PdfWord>& line) {
    QStringList parts;
    for (const PdfWord& w : line)
        parts << w.text;
    return parts.join(u' ');
}
