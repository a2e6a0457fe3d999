// The field table, seen through the record window: every stored field reaches the
// display, the save, the clearing, the printed page, its value list, its insert item and
// its criterion, each in its own control and nowhere else.
#include "AppFixture.h"
#include "record/FieldTable.h"
#include "store/Cp1252.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <set>

using q7::FieldBinding;
using q7::Holds;

namespace {

int rowIndex(const FieldBinding& row) {
    return static_cast<int>(&row - q7::fieldTable().data());
}

// A value of its own for each text row, short enough for the control and the field and
// passing the control's key filter.
std::string valueOf(const FieldBinding& row) {
    const std::string n = std::to_string(rowIndex(row) + 10);
    if (row.accepted) return n;
    const std::string v = "v" + n;
    return row.holds == Holds::Memo ? "mémo " + v : v;
}

QWidget* control(AppFixture& app, const FieldBinding& row) {
    return app.w().findChild<QWidget*>(QLatin1String(row.control));
}

QString shown(QWidget* c) {
    if (auto* cb = qobject_cast<QComboBox*>(c)) return cb->currentText();
    if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
    return {};
}

void type(QWidget* c, const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    if (auto* cb = qobject_cast<QComboBox*>(c)) cb->setEditText(text);
    if (auto* e = qobject_cast<QLineEdit*>(c)) e->setText(text);
}

// One record holding every row's own value; flags set, date 7/12/2026.
q7::Fiche everyValue() {
    FicheBuilder b;
    b.date(7, 12, 2026);
    for (const FieldBinding& row : q7::fieldTable()) {
        if (row.holds == Holds::Text || row.holds == Holds::Memo) b.set(row.field, valueOf(row));
        if (row.holds == Holds::Flag) b.flag(row.flag);
    }
    return b;
}

const std::set<std::string> listFileNames() {
    std::set<std::string> names;
    for (const FieldBinding& row : q7::fieldTable())
        if (row.listFile) names.insert(row.listFile);
    return names;
}

} // namespace

class TestFields : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every stored field and flag has exactly one row and one control of the form.
    void everyFieldHasOneRow() {
        std::multiset<int> fields, flags;
        std::set<std::string> controls;
        for (const FieldBinding& row : q7::fieldTable()) {
            if (row.holds == Holds::Text || row.holds == Holds::Memo)
                fields.insert(static_cast<int>(row.field));
            if (row.holds == Holds::Flag) flags.insert(static_cast<int>(row.flag));
            QVERIFY2(controls.insert(row.control).second, row.control);
        }
        for (int f = 0; f < q7::fieldCount; ++f)
            QCOMPARE(fields.count(f), std::size_t(1));
        for (int f = 0; f < q7::flagCount; ++f)
            QCOMPARE(flags.count(f), std::size_t(1));
        QCOMPARE(listFileNames().size(), std::size_t(15));
        QCOMPARE(q7::listManagerOrder().size(), std::size_t(15));
    }

    // Shown, then saved unchanged: the same bytes; each control shows its own field.
    void displayAndSaveUseEachFieldsOwnControl() {
        const q7::Fiche record = everyValue();
        AppFixture app({record});
        app.start();
        app.trigger("menuliste");
        for (const FieldBinding& row : q7::fieldTable()) {
            QWidget* c = control(app, row);
            if (row.holds == Holds::Text) QCOMPARE(shown(c), QString::fromStdString(valueOf(row)));
            if (row.holds == Holds::Flag) QVERIFY(qobject_cast<QCheckBox*>(c)->isChecked());
        }
        QCOMPARE(app.ui().edtannee->text(), QString("2026"));
        app.trigger("menuEnregistrer");
        QCOMPARE(app.records().at(0).bytes, record.bytes);

        // Typed anew, one control at a time: only its own field changes.
        for (const FieldBinding& row : q7::fieldTable()) {
            if (row.holds != Holds::Text) continue;
            app.trigger("menuliste");
            type(control(app, row), "9");
            app.trigger("menuEnregistrer");
            q7::Fiche expected = record;
            expected.setText(row.field, "9");
            QVERIFY2(app.records().at(0).bytes == expected.bytes, row.control);
            app.trigger("menuliste");
            type(control(app, row), valueOf(row));
            app.trigger("menuEnregistrer");
        }
        QCOMPARE(app.records().at(0).bytes, record.bytes);
    }

    void clearingEmptiesEveryControl() {
        AppFixture app({everyValue()});
        app.start();
        app.trigger("menuliste");
        app.trigger("menuVide");
        for (const FieldBinding& row : q7::fieldTable()) {
            QWidget* c = control(app, row);
            if (row.holds == Holds::Flag) QVERIFY(!qobject_cast<QCheckBox*>(c)->isChecked());
            if (row.holds != Holds::Flag && row.holds != Holds::Memo)
                QCOMPARE(shown(c), row.listFile ? QString() : QString("0"));
        }
        app.trigger("menuEnregistrer");
        const q7::Fiche saved = app.records().at(0);
        for (const FieldBinding& row : q7::fieldTable())
            if (row.holds == Holds::Memo) QVERIFY(saved.view(row.field).empty());
    }

    // The printed page carries every value the window shows.
    void printedPageCarriesEveryField() {
        AppFixture app({everyValue()});
        app.start();
        app.trigger("menuliste");
        app.trigger("menuimprimerfiche");
        QString page;
        for (const DrawnText& t : app.fakes->printer.pages.at(0))
            page += t.text + u'\n';
        for (const FieldBinding& row : q7::fieldTable()) {
            const bool text = row.holds == Holds::Text || row.holds == Holds::Memo;
            QCOMPARE(row.printed != nullptr || row.printedFlag != nullptr, true);
            if (text) QVERIFY2(page.contains(QString::fromStdString(valueOf(row))), row.control);
        }
        QVERIFY(page.contains("Date d'enregistrement =7:12:2026"));
    }

    // Each drop-down is loaded from its own list file.
    void eachDropDownLoadsItsOwnList() {
        AppFixture app;
        for (const FieldBinding& row : q7::fieldTable())
            if (row.listFile)
                writeBytes(app.dir() + "/" + row.listFile, "liste " + valueOf(row) + "\r\n");
        app.start();
        app.trigger("menuNouvelle");
        for (const FieldBinding& row : q7::fieldTable()) {
            if (!row.listFile) continue;
            auto* cb = qobject_cast<QComboBox*>(control(app, row));
            QCOMPARE(cb->count(), 1);
            QCOMPARE(cb->itemText(0), QString::fromStdString("liste " + valueOf(row)));
        }
    }

    // "Inserer dans liste": the field's own text goes to the field's own file only.
    void insertItemsWriteTheirOwnFile_data() {
        QTest::addColumn<int>("index");
        for (const FieldBinding& row : q7::fieldTable())
            if (row.insertItem) QTest::newRow(row.insertItem) << rowIndex(row);
    }
    void insertItemsWriteTheirOwnFile() {
        QFETCH(int, index);
        const FieldBinding& row = q7::fieldTable()[static_cast<std::size_t>(index)];
        AppFixture app;
        app.start();
        app.trigger("menuNouvelle");
        type(control(app, row), valueOf(row));
        app.trigger(row.insertItem);
        for (const std::string& name : listFileNames()) {
            const bool written = QFile::exists(app.path(QString::fromStdString(name)));
            QCOMPARE(written, name == row.listFile);
        }
        QCOMPARE(readBytes(app.dir() + "/" + row.listFile), valueOf(row) + "\r\n");
    }

    // A criterion finds the record whose own field holds the control's value.
    void criteriaTestTheirOwnField_data() {
        QTest::addColumn<int>("index");
        for (const FieldBinding& row : q7::fieldTable())
            if (row.search.item) QTest::newRow(row.search.item) << rowIndex(row);
    }
    void criteriaTestTheirOwnField() {
        QFETCH(int, index);
        const FieldBinding& row = q7::fieldTable()[static_cast<std::size_t>(index)];
        // The first record holds the value in every other field, the second in this one.
        q7::Fiche decoy = everyValue(), target;
        if (row.holds == Holds::Flag) {
            decoy.setFlag(row.flag, false);
            target.setFlag(row.flag, true);
        } else {
            decoy.setText(row.field, "autre");
            for (const FieldBinding& other : q7::fieldTable())
                if (other.holds == Holds::Text) decoy.setText(other.field, valueOf(row));
            decoy.setText(row.field, "autre");
            target.setText(row.field, valueOf(row));
        }
        AppFixture app({decoy, target});
        app.start();
        app.trigger(row.search.item);
        if (row.holds == Holds::Flag)
            qobject_cast<QCheckBox*>(control(app, row))->setChecked(true);
        else
            type(control(app, row), valueOf(row));
        app.trigger("menuChercher");
        QCOMPARE(app.state().hits, 1);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("2/2"));
        QCOMPARE(app.state().criterion, row.search.criterion);
    }
};

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
