// Keys of the record window: field filters, menu shortcuts over the fields, Alt+arrows.
#include "app/Q7note.h"
#include "app/Q7resume.h"
#include "AppFixture.h"
#include "widgets/MemoEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

class TestKeyboard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldFilters_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("beeps");
        QTest::newRow("pages") << "edtnbpage"
                               << "1a"
                               << "1" << 1;
        QTest::newRow("price with comma") << "edtprix"
                                          << "12,5"
                                          << "12,5" << 0;
        QTest::newRow("price with point") << "edtprix"
                                          << "12.5"
                                          << "125" << 1;
        QTest::newRow("isbn") << "edtisbn"
                              << "978-2-07"
                              << "978-2-07" << 0;
        QTest::newRow("isbn refuses blanks") << "edtisbn"
                                             << "2 X"
                                             << "2X" << 1;
        QTest::newRow("day") << "edtjour"
                             << "x9"
                             << "9" << 1;
        QTest::newRow("year") << "edtannee"
                              << "2o26"
                              << "226" << 1;
        QTest::newRow("edition year") << "edtanedition"
                                      << "19é9"
                                      << "199" << 1;
        QTest::newRow("reference takes all") << "edtnumero"
                                             << "A-1 é"
                                             << "A-1 é" << 0;
    }
    void fieldFilters() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, beeps);
        AppFixture app;
        app.start();
        app.trigger("menuNouvelle");
        auto* edit = app.w().findChild<QLineEdit*>(field);
        edit->clear();
        typeText(edit, typed);
        QCOMPARE(edit->text(), kept);
        QCOMPARE(app.dialogs().log.count("beep"), beeps);
    }

    // Right after "Mettre à vide", Ctrl+Z brings back every field and both memos; after
    // anything else it is the field's own undo again.
    void ctrlZUndoesTheClearing_data() {
        QTest::addColumn<QString>("between"); // what happens between Ctrl+V and Ctrl+Z
        QTest::addColumn<bool>("restored");
        QTest::newRow("at once") << "" << true;
        QTest::newRow("after typing") << "type" << false;
        QTest::newRow("after a command") << "menuControl" << false;
        QTest::newRow("after ticking") << "tick" << false;
    }
    void ctrlZUndoesTheClearing() {
        QFETCH(QString, between);
        QFETCH(bool, restored);
        AppFixture app;
        app.start();
        app.trigger("menuNouvelle");
        auto& u = app.ui();
        typeInto(u.cbtitre, "Les Misérables");
        typeInto(u.edtprix, "12,5");
        typeInto(u.cbpos2, "Salon");
        u.ckblut->setChecked(true);
        app.program->windows().note->memo().setPlainText("première note\ndeux");
        app.program->windows().resume->memo().setPlainText("résumé");
        const q7::RecordScreen before = app.w().screen();
        QTest::keyClick(u.cbauteur->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(u.cbtitre->currentText(), QString());
        const q7::RecordScreen cleared = app.w().screen();
        if (between == "type") typeText(u.cbauteur->lineEdit(), "H");
        if (between == "tick") QTest::mouseClick(u.ckbsignet, Qt::LeftButton);
        if (between.startsWith("menu")) app.trigger(qPrintable(between));
        QTest::keyClick(u.cbauteur->lineEdit(), Qt::Key_Z, Qt::ControlModifier);
        const q7::RecordScreen after = app.w().screen();
        for (const q7::FieldBinding& row : q7::fieldTable())
            if (row.printed)
                QCOMPARE(after.*row.printed, restored ? before.*row.printed : cleared.*row.printed);
        QCOMPARE(u.ckblut->isChecked(), restored);
        QCOMPARE(app.program->windows().note->memo().toPlainText(),
                 restored ? QString("première note\ndeux") : QString());
        // The author field's own undo still takes back what was typed into it.
        if (between == "type") QCOMPARE(u.cbauteur->currentText(), QString());
        // A second Ctrl+Z does not clear again nor bring anything else back.
        QTest::keyClick(u.cbauteur->lineEdit(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(u.cbtitre->currentText(), restored ? QString("Les Misérables") : QString());
    }

    void ctrlVClearsInsteadOfPasting() {
        AppFixture app({FicheBuilder().numero(1).set(q7::Field::titre, "Titre")});
        app.start();
        app.trigger("menuliste");
        QApplication::clipboard()->setText("collé");
        app.ui().cbtitre->setFocus();
        QTest::keyClick(app.ui().cbtitre->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(app.ui().cbtitre->currentText(), QString());
        QCOMPARE(app.ui().edtnumero->text(), QString("0"));
    }

    void ctrlEAndCTakeTheMenuOverTheField() {
        AppFixture app({FicheBuilder().numero(1)});
        app.fakes->settings.set("confirmemod", "0");
        app.start();
        app.trigger("Titres");
        app.ui().cbtitre->setEditText(QString()); // the record's title is empty
        app.ui().cbtitre->setFocus();
        QTest::keyClick(app.ui().cbtitre->lineEdit(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(app.ui().edtcptfiche->text(), QString("1"));
        app.ui().cbtitre->setFocus();
        app.ui().cbtitre->setEditText("Nouveau");
        QTest::keyClick(app.ui().cbtitre->lineEdit(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(app.records()[0].text(q7::Field::titre), std::string("Nouveau"));
        // In main-menu mode Ctrl+C does nothing, not even a copy.
        QApplication::clipboard()->setText("avant");
        app.ui().edtnumero->setEnabled(true);
        app.ui().edtnumero->selectAll();
        app.ui().edtnumero->setFocus();
        QTest::keyClick(app.ui().edtnumero, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("avant"));
    }

    void ctrlRBelongsToTheSummary_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("opens");
        QTest::newRow("main menu") << 0 << false;
        QTest::newRow("new record") << 1 << true;
        QTest::newRow("search") << 3 << true;
        QTest::newRow("browse") << 4 << true;
    }
    void ctrlRBelongsToTheSummary() {
        QFETCH(int, mode);
        QFETCH(bool, opens);
        AppFixture app({FicheBuilder().numero(1)});
        app.start();
        if (mode == 1) app.trigger("menuNouvelle");
        if (mode == 3) app.trigger("Auteur");
        if (mode == 4) app.trigger("menuliste");
        app.state().criterion = q7::Criterion::Isbn; // so that list browsing would show itself
        QTest::keyClick(&app.w(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(app.fakes->modal.shown, opens ? QStringList{"TFormresume"} : QStringList{});
        QCOMPARE(app.state().criterion, q7::Criterion::Isbn);
    }

    void altArrows_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("counter");
        QTest::newRow("main menu right") << 0 << int(Qt::Key_Right) << "0";
        QTest::newRow("new record right") << 1 << int(Qt::Key_Right) << "4";
        QTest::newRow("browse right") << 4 << int(Qt::Key_Right) << "2/3";
        QTest::newRow("browse down") << 4 << int(Qt::Key_Down) << "3/3";
        QTest::newRow("browse up") << 4 << int(Qt::Key_Up) << "1/3";
        QTest::newRow("browse left at start") << 4 << int(Qt::Key_Left) << "1/3";
        QTest::newRow("search right steps") << 3 << int(Qt::Key_Right) << "1/3";
        QTest::newRow("search left nothing") << 3 << int(Qt::Key_Left) << "0";
        QTest::newRow("search down nothing") << 3 << int(Qt::Key_Down) << "0";
    }
    void altArrows() {
        QFETCH(int, mode);
        QFETCH(int, key);
        QFETCH(QString, counter);
        AppFixture app(
            {FicheBuilder().numero(1), FicheBuilder().numero(2), FicheBuilder().numero(3)});
        app.start();
        if (mode == 1) app.trigger("menuNouvelle");
        if (mode == 3) {
            app.trigger("Titres");
            app.ui().cbtitre->setEditText(QString()); // empty titles everywhere
        }
        if (mode == 4) app.trigger("menuliste");
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &app.w();
        QTest::keyClick(focus, Qt::Key(key), Qt::AltModifier);
        const QString shown = mode == 1 ? app.ui().edtnumero->text() : app.ui().edtnbfiche->text();
        QCOMPARE(shown, counter);
        // Without Alt nothing happens.
        QTest::keyClick(focus, Qt::Key(key));
        QCOMPARE(mode == 1 ? app.ui().edtnumero->text() : app.ui().edtnbfiche->text(), counter);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
