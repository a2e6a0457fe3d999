// The progress gauge of long commands: what it shows, and how often it is painted.
#include "platform/ProgressGauge.h"

#include <QProgressBar>
#include <QTest>

struct Report {
    qint64 at; // ms
    int value;
    int maximum;
};
Q_DECLARE_METATYPE(QList<Report>)

class TestGauge : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsChangesAtMostThirtyTimesASecond_data() {
        QTest::addColumn<QList<Report>>("reports");
        QTest::addColumn<QList<int>>("shown"); // values the bar took, in order
        auto steady = [](int maximum, int from, int to, qint64 start, qint64 every) {
            QList<Report> r;
            for (int v = from; v <= to; ++v)
                r << Report{start + (v - from) * every, v, maximum};
            return r;
        };
        QTest::newRow("a fast command shows its first step and its end")
            << steady(1000, 0, 1000, 0, 0) << QList<int>{10, 1000};
        QTest::newRow("a slow one a new value every 33 ms")
            << steady(100, 0, 100, 0, 10)
            << QList<int>{1,  5,  9,  13, 17, 21, 25, 29, 33, 37, 41, 45, 49,
                          53, 57, 61, 65, 69, 73, 77, 81, 85, 89, 93, 97, 100};
        QTest::newRow("no repaint while the percentage stays")
            << steady(100000, 0, 999, 0, 1) << QList<int>{};
        QTest::newRow("the end is shown even right after a step")
            << QList<Report>{{0, 1, 3}, {1, 2, 3}, {2, 3, 3}} << QList<int>{1, 3};
        QTest::newRow("a second maximum starts anew")
            << QList<Report>{{0, 0, 26}, {0, 26, 26}, {100, 0, 4}, {100, 1, 4}, {200, 4, 4}}
            << QList<int>{26, 0, 4};
    }
    void showsChangesAtMostThirtyTimesASecond() {
        QFETCH(QList<Report>, reports);
        QFETCH(QList<int>, shown);
        QProgressBar bar;
        bar.setRange(0, 100);
        bar.setValue(0);
        qint64 now = 0;
        ProgressGauge gauge(bar, [&now] { return now; });
        QList<int> seen;
        connect(&bar, &QProgressBar::valueChanged, &bar, [&seen](int v) { seen << v; });
        for (const Report& r : reports) {
            now = r.at;
            gauge.report(r.value, r.maximum);
            QCOMPARE(bar.maximum(), r.maximum);
        }
        QCOMPARE(seen, shown);
    }
};

QTEST_MAIN(TestGauge)
#include "tst_gauge.moc"
