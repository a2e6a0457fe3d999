// The about box: its mail link handed to the launcher, its look, and closing.
#include "companions/apropos.h"
#include "FakeServices.h"
#include "record/AppState.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct About {
    QTemporaryDir dir;
    FakeServices fakes{q7::posixFileSystem(), dir.path().toStdString()};
    AppState state{q7::Folder(q7::posixFileSystem(), dir.path().toStdString())};
    Taproposform form{state, fakes.services};

    QLabel* label(const char* name) { return form.findChild<QLabel*>(name); }
    bool open(std::function<void()> whileOpen) {
        fakes.modal.script(QStringLiteral("aproposform"), [whileOpen](QDialog&) { whileOpen(); });
        form.execute();
        return !form.isVisible();
    }
};

} // namespace

class TestApropos : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mailLinkOpensTheMailProgram_data() {
        QTest::addColumn<int>("how"); // 0 click, 1 Enter, 2 Space
        QTest::newRow("click") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Space") << 2;
    }
    void mailLinkOpensTheMailProgram() {
        QFETCH(int, how);
        About a;
        bool stillOpen = false;
        a.open([&] {
            QLabel* link = a.label("Label3");
            if (how == 0)
                QTest::mouseClick(link, Qt::LeftButton);
            else
                QTest::keyClick(link, how == 1 ? Qt::Key_Return : Qt::Key_Space);
            stillOpen = a.form.isVisible();
        });
        const QString address = QStringLiteral(Q7_CONTACT);
        QCOMPARE(a.label("Label3")->text(), address);
        QCOMPARE(a.fakes.launcher.mails,
                 QStringList{"mailto:" + address + "?subject=Lirabel3&body=votre message "});
        QVERIFY(stillOpen);
        QVERIFY(a.fakes.dialogs.log.isEmpty()); // a missing mail program is not reported
    }

    void closesWithEscOrFermer_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("Fermer") << false;
    }
    void closesWithEscOrFermer() {
        QFETCH(bool, escape);
        About a;
        bool closed = false;
        a.open([&] {
            auto* fermer = a.form.findChild<QPushButton*>("btbfermer");
            if (escape)
                QTest::keyClick(fermer, Qt::Key_Escape);
            else
                QTest::mouseClick(fermer, Qt::LeftButton);
            closed = !a.form.isVisible();
        });
        QVERIFY(closed);
        QVERIFY(a.fakes.launcher.mails.isEmpty());
    }

    void panelShowsPictureTitleAndCredits() {
        About a;
        QCOMPARE(a.form.windowTitle(), QStringLiteral("A propos de"));
        const QPixmap picture = a.label("Image1")->pixmap();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), QSize(32, 32));
        QLabel* title = a.label("Label1");
        QCOMPARE(title->text(), QStringLiteral("Lirabel 3 (Q7)"));
        QVERIFY(title->font().bold() && title->font().underline());
        QVERIFY(title->font().pointSizeF() > a.label("Label4")->font().pointSizeF());
        QVERIFY(a.label("Label2")->text().contains(QStringLiteral("Les auteurs de Lirabel")));
        QVERIFY(a.label("Label2")->text().contains(QStringLiteral("6/2004")));
        QCOMPARE(a.label("Label4")->text(), QStringLiteral("Version: Normale"));
        a.form.show();
        QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        a.form.hide();
    }
};

QTEST_MAIN(TestApropos)
#include "tst_apropos.moc"
