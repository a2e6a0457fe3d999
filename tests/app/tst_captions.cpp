// The record window's captions keep their whole text whatever the desktop's font.
#include "AppFixture.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class TestCaptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionsAreNeverCut_data() {
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("kept"); // every caption keeps the font it was given
        QTest::newRow("the designed size") << 8.0 << true;
        QTest::newRow("a desktop's larger font") << 12.0 << false;
        QTest::newRow("a large font") << 16.0 << false;
    }
    void captionsAreNeverCut() {
        QFETCH(qreal, points);
        QFETCH(bool, kept);
        const QFont before = QApplication::font();
        QFont font = before;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        {
            AppFixture app;
            app.start();
            bool allKept = true;
            for (const q7::FieldBinding& row : q7::fieldTable()) {
                auto* label = qobject_cast<QLabel*>(app.w().caption(row));
                if (!label) continue;
                QVERIFY2(label->sizeHint().width() <= label->width(), row.label);
                allKept = allKept && label->font().pointSizeF() >= points;
            }
            QCOMPARE(allKept, kept);
        }
        QApplication::setFont(before);
    }
};

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
