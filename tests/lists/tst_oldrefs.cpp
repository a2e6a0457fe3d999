// "Anciens numeros": a reference of a deleted record given to the record being edited.
#include "AppFixture.h"
#include "lists/Q7anciennum.h"
#include "ui_Q7anciennum.h"

#include <QListWidget>
#include <QTest>

#include <functional>

namespace {
void inOldReferences(AppFixture& app,
                     std::function<void(Tformanciennum&, Ui::Tformanciennum&)> action) {
    app.fakes->modal.script("formanciennum", [action](QDialog& d) {
        auto& form = static_cast<Tformanciennum&>(d);
        action(form, form.ui());
    });
    app.trigger("menuanciennum");
}

void clickLine(QListWidget* box, int row) {
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {},
                      box->visualItemRect(box->item(row)).center());
}

QStringList lines(const QListWidget* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->item(i)->text();
    return out;
}

const std::string missing = "<missing>";
std::string fileOf(const AppFixture& app) {
    return QFile::exists(app.path("Q7ancnum.lst")) ? readBytes(app.dir() + "/Q7ancnum.lst")
                                                   : missing;
}
} // namespace

class TestOldReferences : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void choosing_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown"); // in file order, never sorted
        QTest::addColumn<int>("clicked");       // -1: no line clicked
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QByteArray>("left"); // "<missing>" when deleted
        QTest::newRow("one line") << QByteArray("17\r\n") << QStringList{"17"} << -1 << "17"
                                  << QByteArray("<missing>");
        QTest::newRow("three, none clicked")
            << QByteArray("30\r\n4\r\n12\r\n") << QStringList{"30", "4", "12"} << -1 << "30"
            << QByteArray("4\r\n12\r\n");
        QTest::newRow("three, second clicked")
            << QByteArray("30\r\n4\r\n12\r\n") << QStringList{"30", "4", "12"} << 1 << "4"
            << QByteArray("30\r\n12\r\n");
        QTest::newRow("three, last clicked")
            << QByteArray("30\r\n4\r\n12\r\n") << QStringList{"30", "4", "12"} << 2 << "12"
            << QByteArray("30\r\n4\r\n");
        QTest::newRow("duplicates: one left")
            << QByteArray("8\r\n8\r\n") << QStringList{"8", "8"} << 1 << "8" << QByteArray("8\r\n");
        QTest::newRow("two, last taken")
            << QByteArray("5\r\n6\r\n") << QStringList{"5", "6"} << 1 << "6" << QByteArray("5\r\n");
        QTest::newRow("LF lines, no final end")
            << QByteArray("A-1\nB-2") << QStringList{"A-1", "B-2"} << -1 << "A-1"
            << QByteArray("B-2\r\n");
    }
    void choosing() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        QFETCH(int, clicked);
        QFETCH(QString, taken);
        QFETCH(QByteArray, left);
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/Q7ancnum.lst", file.toStdString());
        app.start();
        app.trigger("menuNouvelle");
        QCOMPARE(app.ui().edtnumero->text(), QString("2"));
        bool closed = false;
        inOldReferences(app, [&](Tformanciennum& d, Ui::Tformanciennum& u) {
            QCOMPARE(d.windowTitle(), QString("Anciens numeros"));
            QCOMPARE(lines(u.listnum), shown);
            QCOMPARE(u.lblchoix->text(), shown.first());
            QVERIFY(u.btchoisir->isEnabled());
            if (clicked >= 0) {
                clickLine(u.listnum, clicked);
                QCOMPARE(u.lblchoix->text(), shown.at(clicked));
            }
            u.btchoisir->click();
            closed = !d.isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(app.ui().edtnumero->text(), taken);
        QCOMPARE(QByteArray::fromStdString(fileOf(app)), left);
        QVERIFY(!QFile::exists(app.path("Q7ancnum.lst.tmp")));
        QVERIFY(app.dialogs().boxes().isEmpty());
    }

    void keyboardMovesTheChoice() {
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/Q7ancnum.lst", "30\r\n4\r\n12\r\n");
        app.start();
        app.trigger("menuNouvelle");
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) {
            clickLine(u.listnum, 0);
            QTest::keyClick(u.listnum, Qt::Key_Down);
            QTest::keyClick(u.listnum, Qt::Key_Down);
            QCOMPARE(u.lblchoix->text(), QString("12"));
            QTest::keyClick(u.listnum, Qt::Key_Return); // "&Choisir" is the default button
        });
        QCOMPARE(app.ui().edtnumero->text(), QString("12"));
        QCOMPARE(fileOf(app), std::string("30\r\n4\r\n"));
    }

    // A missing file, or an existing empty one: nothing to take.
    void emptyStates_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("missing") << QByteArray("<missing>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("NUL first") << QByteArray("\0"
                                                 "12\r\n",
                                                 5);
    }
    void emptyStates() {
        QFETCH(QByteArray, file);
        AppFixture app({FicheBuilder().numero(1)});
        if (file != "<missing>") writeBytes(app.dir() + "/Q7ancnum.lst", file.toStdString());
        app.start();
        app.trigger("menuNouvelle");
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) {
            QCOMPARE(u.lblchoix->text(), QString("Liste vide"));
            QVERIFY(!u.btchoisir->isEnabled());
            QCOMPARE(u.listnum->count(), 0);
            QTest::keyClick(u.listnum, Qt::Key_Return);
        });
        QCOMPARE(app.ui().edtnumero->text(), QString("2"));
        QCOMPARE(QByteArray::fromStdString(fileOf(app)), file);
    }

    void lastTakenThenListeVide() {
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/Q7ancnum.lst", "9\r\n");
        app.start();
        app.trigger("menuNouvelle");
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) { u.btchoisir->click(); });
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) {
            QCOMPARE(u.lblchoix->text(), QString("Liste vide"));
            QVERIFY(!u.btchoisir->isEnabled());
        });
        QCOMPARE(fileOf(app), missing);
        QCOMPARE(app.ui().edtnumero->text(), QString("9"));
    }

    // Taking the last reference rewrites a file that hides bytes after a NUL, instead
    // of deleting them with it.
    void lastTakenKeepsWhatANulHides() {
        AppFixture app({FicheBuilder().numero(1)});
        const std::string hidden("\0"
                                 "12\r\n",
                                 5);
        writeBytes(app.dir() + "/Q7ancnum.lst", "9\r\n" + hidden);
        app.start();
        app.trigger("menuNouvelle");
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) { u.btchoisir->click(); });
        QCOMPARE(app.ui().edtnumero->text(), QStringLiteral("9"));
        QCOMPARE(fileOf(app), hidden);
    }

    void cancelChangesNothing() {
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/Q7ancnum.lst", "30\r\n4\r\n");
        app.start();
        app.trigger("menuliste");
        for (bool escape : {true, false}) {
            inOldReferences(app, [escape](Tformanciennum& d, Ui::Tformanciennum& u) {
                clickLine(u.listnum, 1);
                if (escape)
                    QTest::keyClick(u.listnum, Qt::Key_Escape);
                else
                    u.Button2->click();
                QVERIFY(!d.isVisible());
            });
        }
        QCOMPARE(app.ui().edtnumero->text(), QString("1"));
        QCOMPARE(fileOf(app), std::string("30\r\n4\r\n"));
    }

    // The deletion command appends the reference; the window gives it back.
    void deletedRecordsReferenceComesBack() {
        AppFixture app({FicheBuilder().numero(1), FicheBuilder().numero(2)});
        app.fakes->settings.set("confirmesup", "0");
        app.start();
        app.trigger("menuliste");
        app.trigger("menuEffacer");
        QCOMPARE(fileOf(app), std::string("1\r\n"));
        app.trigger("menuNouvelle");
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) { u.btchoisir->click(); });
        QCOMPARE(app.ui().edtnumero->text(), QString("1"));
        QCOMPARE(fileOf(app), missing);
    }

    void offeredWhereARecordIsEdited() {
        AppFixture app({FicheBuilder().numero(1)});
        app.start();
        QVERIFY(!app.ui().menuanciennum->isEnabled());
        for (const char* mode : {"menuNouvelle", "menuliste", "Titres"}) {
            app.trigger(mode);
            QVERIFY2(app.ui().menuanciennum->isEnabled(), mode);
        }
    }

    // A failing step leaves the file whole and gives no reference: it could otherwise be
    // given twice.
    void failedRewriteGivesNothing_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("op");
        QTest::newRow("rewrite: open")
            << QByteArray("30\r\n4\r\n") << int(FaultyFileSystem::Op::Open);
        QTest::newRow("rewrite: write")
            << QByteArray("30\r\n4\r\n") << int(FaultyFileSystem::Op::Write);
        QTest::newRow("rewrite: sync")
            << QByteArray("30\r\n4\r\n") << int(FaultyFileSystem::Op::Sync);
        QTest::newRow("rewrite: rename")
            << QByteArray("30\r\n4\r\n") << int(FaultyFileSystem::Op::Rename);
        QTest::newRow("delete") << QByteArray("30\r\n") << int(FaultyFileSystem::Op::Remove);
    }
    void failedRewriteGivesNothing() {
        QFETCH(QByteArray, file);
        QFETCH(int, op);
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/Q7ancnum.lst", file.toStdString());
        app.start();
        app.trigger("menuNouvelle");
        inOldReferences(app, [&](Tformanciennum& d, Ui::Tformanciennum& u) {
            app.fs.onlyFor("Q7ancnum.lst");
            app.fs.failNth(FaultyFileSystem::Op(op), 1);
            u.btchoisir->click();
            app.fs.reset();
            QVERIFY(d.isVisible());
        });
        QCOMPARE(app.dialogs().boxes(), QStringList{"error:Erreur E/S 5."});
        QCOMPARE(app.ui().edtnumero->text(), QString("2"));
        QCOMPARE(QByteArray::fromStdString(fileOf(app)), file);
        QVERIFY(!QFile::exists(app.path("Q7ancnum.lst.tmp")));
    }

    void unreadableFileOffersNothing() {
        AppFixture app({FicheBuilder().numero(1)});
        writeBytes(app.dir() + "/Q7ancnum.lst", "30\r\n");
        app.start();
        app.trigger("menuNouvelle");
        app.fs.onlyFor("Q7ancnum.lst");
        app.fs.failNth(FaultyFileSystem::Op::Read, 1, 13 /* EACCES */);
        inOldReferences(app, [](Tformanciennum&, Ui::Tformanciennum& u) {
            QVERIFY(!u.btchoisir->isEnabled());
            QCOMPARE(u.listnum->count(), 0);
        });
        QCOMPARE(app.dialogs().boxes(), QStringList{"error:Accès refusé."});
        QCOMPARE(fileOf(app), std::string("30\r\n"));
    }
};

QTEST_MAIN(TestOldReferences)
#include "tst_oldrefs.moc"
