// The windows' own colours with a dark theme: kept where they read, shaded where not.
#include "platform/ReadableColour.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class TestReadableColour : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void contrast() {
        QCOMPARE(qRound(contrastRatio(Qt::black, Qt::white) * 10), 210);
        QCOMPARE(contrastRatio(Qt::blue, Qt::blue), 1.0);
    }

    void shadedOnlyWhereUnreadable_data() {
        QTest::addColumn<QColor>("wanted");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("kept");
        const QColor light(0xef, 0xef, 0xef), dark(0x35, 0x35, 0x35);
        QTest::newRow("blue on light") << QColor(0, 0, 255) << light << true;
        QTest::newRow("red on light") << QColor(255, 0, 0) << light << false; // 3.6:1
        QTest::newRow("blue on dark") << QColor(0, 0, 255) << dark << false;
        QTest::newRow("black on dark") << QColor(Qt::black) << dark << false;
        QTest::newRow("white on dark") << QColor(Qt::white) << dark << true;
        QTest::newRow("yellow on white") << QColor(Qt::yellow) << QColor(Qt::white) << false;
    }
    void shadedOnlyWhereUnreadable() {
        QFETCH(QColor, wanted);
        QFETCH(QColor, background);
        QFETCH(bool, kept);
        const QColor shown = readableOn(wanted, background);
        QCOMPARE(shown == wanted, kept);
        QVERIFY2(contrastRatio(shown, background) >= 4.5, qPrintable(shown.name()));
        // The hue stays where there is one: a shaded blue is still blue.
        if (wanted.hsvHue() >= 0 && wanted.hsvSaturation() == 255)
            QCOMPARE(shown.hsvHue(), wanted.hsvHue());
    }

    // The style sheets of a window, under a dark palette: text colours are shaded, a sheet
    // with its own background is left as drawn.
    void styleSheetsUnderADarkPalette() {
        QWidget window;
        QPalette dark = window.palette();
        dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
        window.setPalette(dark);
        auto* status = new QLabel(&window);
        status->setStyleSheet(
            "color: rgb(0,0,255); font-weight: bold; text-decoration: underline;");
        auto* own = new QLabel(&window);
        own->setStyleSheet("background-color: rgb(0, 128, 128); color: white;");
        auto* named = new QLabel(&window);
        named->setStyleSheet("color: red; font-size: 12pt;");
        keepColoursReadable(window);
        QVERIFY(status->styleSheet().endsWith("; font-weight: bold; text-decoration: underline;"));
        const QColor shown(status->styleSheet().section(';', 0, 0).section(':', 1).trimmed());
        QVERIFY2(contrastRatio(shown, dark.color(QPalette::Window)) >= 4.5,
                 qPrintable(status->styleSheet()));
        QCOMPARE(own->styleSheet(), QString("background-color: rgb(0, 128, 128); color: white;"));
        QVERIFY(named->styleSheet().startsWith("color: #"));
        QVERIFY(named->styleSheet().endsWith("; font-size: 12pt;"));
    }
};

QTEST_MAIN(TestReadableColour)
#include "tst_readablecolour.moc"
