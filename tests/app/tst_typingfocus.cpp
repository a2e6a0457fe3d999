// A command that puts the caret in a field: what is typed next replaces what it showed.
#include "AppFixture.h"
#include "companions/FindDialog.h"
#include "output/Q7etiq.h"
#include "search/Q7recmot.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The field a widget with the focus belongs to: an editable drop-down owns its edit.
QWidget* fieldOf(QWidget* focus) {
    if (focus && qobject_cast<QComboBox*>(focus->parentWidget())) return focus->parentWidget();
    return focus;
}

QString shown(QWidget* field) {
    if (auto* combo = qobject_cast<QComboBox*>(field)) return combo->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) return edit->text();
    return QStringLiteral("<pas un champ>");
}

struct Typed {
    QString field;  // the object name of the field that had the focus
    QString before; // what it showed
    QString after;  // what it shows once typed into
};

Typed typeIntoFocus(QWidget& window, const QString& text) {
    QWidget* focus = window.focusWidget();
    if (!focus) return {QStringLiteral("<aucun>"), {}, {}};
    QWidget* field = fieldOf(focus);
    Typed t{field->objectName(), shown(field), {}};
    typeText(focus, text);
    t.after = shown(field);
    return t;
}

void setEdit(QWidget* window, const char* name, const QString& text) {
    window->findChild<QLineEdit*>(QLatin1String(name))->setText(text);
}

} // namespace

class TestTypingFocus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typingReplacesWhatTheFieldShowed_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("showedText"); // the field held text before: it must go
        // Every criterion of the field table, after a book was shown.
        for (const q7::FieldBinding& row : q7::fieldTable()) {
            if (row.search.criterion == q7::Criterion::None ||
                row.search.criterion == q7::Criterion::UserCheck)
                continue;
            QTest::newRow(row.search.item) << row.search.item << row.control
                                           << (row.field == q7::Field::numero ? "42"
                                               : row.field == q7::Field::isbn ? "9782070360024"
                                                                              : "Camus Albert")
                                           << true;
        }
        QTest::newRow("rank") << "menuRang"
                              << "edtnbfiche"
                              << "2" << true;
        QTest::newRow("four positions") << "menumulpos"
                                        << "cbpos1"
                                        << "Salon" << true;
        QTest::newRow("new record's title") << "menuNouvelle"
                                            << "cbtitre"
                                            << "La Peste" << true;
        QTest::newRow("empty reference") << "menuEnregistrer"
                                         << "edtnumero"
                                         << "A-12" << false;
        QTest::newRow("word search") << "menumot"
                                     << "edtrecmot"
                                     << "peste" << true;
        QTest::newRow("notebook's find") << "smenucarnet"
                                         << "edttexte"
                                         << "mardi" << true;
        // A mistyped ISBN goes back to its field, to be typed over.
        QTest::newRow("ISBN lookup") << "menuIsbn"
                                     << "edtisbn"
                                     << "9782070360024" << true;
        // Opened from the main menu, where the record window leaves it.
        QTest::newRow("options") << "smenuoptions"
                                 << "edttxtutil"
                                 << "Thème" << true;
        QTest::newRow("labels") << "spdbimpression"
                                << "edtajout"
                                << "12" << true;
    }
    void typingReplacesWhatTheFieldShowed() {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, showedText);
        FicheBuilder book;
        book.numero(1);
        for (const q7::FieldBinding& row : q7::fieldTable())
            if (row.search.criterion != q7::Criterion::None && row.field != q7::Field::numero)
                book.set(row.field, "Vide");
        AppFixture app({book});
        app.start();
        app.w().activateWindow();
        // A book is shown: every field holds text. The options open from the main menu.
        if (command != "smenuoptions") app.trigger("menuliste");
        setEdit(app.program->windows().recmot, "edtrecmot", "ancien mot");
        setEdit(app.program->windows().etiq, "edtajout", "7");

        Typed t;
        app.fakes->modal.fallback = [&](QDialog& d) {
            if (d.objectName() == "carnetform") {
                auto* find = d.findChild<FindDialog*>();
                find->setFindText("lundi");
                d.findChild<QPushButton*>("btcherche")->click();
                QApplication::processEvents();
                t = typeIntoFocus(*find, typed);
                find->hide();
                return;
            }
            t = typeIntoFocus(d, typed);
        };
        if (command == "menuEnregistrer") {
            app.trigger("menuNouvelle");
            app.ui().edtnumero->clear();
            app.ui().cbauteur->setFocus();
        }
        app.trigger(qPrintable(command));
        if (t.field.isEmpty()) t = typeIntoFocus(app.w(), typed);
        QCOMPARE(t.field, field);
        QCOMPARE(!t.before.isEmpty(), showedText);
        QCOMPARE(t.after, typed);
        if (command == "menuEnregistrer")
            QCOMPARE(app.dialogs().log.count("message:Le champs réference est vide !"), 1);
    }

    // Back from a window, the focus is where it was when one can still type there, else on
    // the first field; never in the read-only counters.
    void focusAfterWindows_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("typing");   // a new record is typed, the caret in the author
        QTest::addColumn<QString>("focus"); // empty: no field, the main menu's are disabled
        QTest::newRow("the overview") << "menuvue" << false << "";
        QTest::newRow("a book opened from the overview") << "menuvue" << false << "cbtitre";
        QTest::newRow("the loans") << "smenuprets" << false << "";
        QTest::newRow("the import") << "menuImporter" << false << "";
        QTest::newRow("the notes of a new record") << "menuNotes" << true << "cbauteur";
    }
    void focusAfterWindows() {
        QFETCH(QString, command);
        QFETCH(bool, typing);
        QFETCH(QString, focus);
        AppFixture app({FicheBuilder().numero(1).set(q7::Field::titre, "Nana"),
                        FicheBuilder().numero(2).set(q7::Field::titre, "Germinal")});
        app.start();
        app.w().activateWindow();
        // The fields were typed in, then disabled: the focus went on to the counters.
        app.trigger("menuNouvelle");
        if (typing) {
            app.ui().cbauteur->setFocus(Qt::MouseFocusReason);
        } else {
            app.trigger("menuRetour");
        }
        app.fakes->modal.script("formvue", [&](QDialog& d) {
            if (focus.isEmpty()) return;
            auto* table = d.findChild<QAbstractItemView*>("tblvue");
            table->setCurrentIndex(table->model()->index(1, 0));
            QTest::keyClick(table, Qt::Key_Return);
        });
        app.trigger(qPrintable(command));
        QApplication::processEvents();
        QWidget* now = app.w().focusWidget();
        const auto* edit = qobject_cast<QLineEdit*>(now);
        QVERIFY2(!edit || !edit->isReadOnly(), qPrintable(now->objectName()));
        if (focus.isEmpty())
            QVERIFY2(!now || now == &app.w(), qPrintable(now->objectName()));
        else
            QCOMPARE(fieldOf(now)->objectName(), focus);
        if (!focus.isEmpty() && !typing)
            QCOMPARE(app.ui().cbtitre->currentText(), QString("Germinal"));
    }
};

QTEST_MAIN(TestTypingFocus)
#include "tst_typingfocus.moc"
