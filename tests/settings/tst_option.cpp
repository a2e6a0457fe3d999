// The options window with the real settings routine on a fake store: what the user
// types, what "A&ppliquer" stores and shows, and the two "Parcourir" buttons.
#include "AppFixture.h"
#include "FakeServices.h"
#include "record/AppState.h"
#include "settings/Q7option.h"
#include "settings/SettingsRoutine.h"
#include "store/Cp1252.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using q7::lit;

namespace {

const QString selfRefusal = QStringLiteral("message:Non non Q7 ne doit pas s'appeler lui même :-)");

// Stands for the other windows that show the settings.
class RecordingView : public SettingsView {
public:
    QStringList shown;
    void showSettings(const q7::Settings& v, bool fromRead) override {
        shown << QString::fromStdString(q7::cp1252ToUtf8(v.textutilisateur)) +
                     (fromRead ? "/lec" : "/ecr");
    }
};

struct Options {
    QTemporaryDir dir;
    FakeServices fakes{q7::posixFileSystem(), dir.path().toStdString()};
    AppState state{q7::Folder(q7::posixFileSystem(), dir.path().toStdString())};
    SettingsRoutine routine{state.settings, fakes.settings};
    Tformoption form{state, fakes.services};
    RecordingView other;

    Options() {
        routine.addView(&other);
        routine.addView(&form);
        routine.setSource([this] { return form.typedSettings(); });
        form.setApply([this] { routine.run(QStringLiteral("ecr")); });
        routine.run(QStringLiteral("lec"));
    }
    QLineEdit* edit(const QString& name) { return form.findChild<QLineEdit*>(name); }
    void click(const char* name) {
        QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void retype(const QString& name, const QString& text) {
        edit(name)->clear();
        typeText(edit(name), text);
    }
    bool open(std::function<void()> whileOpen) {
        fakes.modal.script(QStringLiteral("formoption"), [whileOpen](QDialog&) { whileOpen(); });
        form.execute();
        return form.isVisible();
    }
    std::string stored(const std::string& key) { return fakes.settings.values[key]; }
};

} // namespace

class TestOption : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Closing without "A&ppliquer" stores nothing but keeps the typed text for the
    // next opening, where "A&ppliquer" stores and shows it.
    void typedCaptionComesBackAtNextOpening_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Fermer") << false;
        QTest::newRow("Esc") << true;
    }
    void typedCaptionComesBackAtNextOpening() {
        QFETCH(bool, escape);
        Options o;
        QCOMPARE(o.edit("edtext2")->text(),
                 QStringLiteral("C:\\Program Files\\Accessoires\\WORDPAD.EXE"));
        bool closed = false;
        o.open([&] {
            o.retype("edttxtutil", QStringLiteral("Cote"));
            if (escape)
                QTest::keyClick(o.edit("edttxtutil"), Qt::Key_Escape);
            else
                o.click("btfermer");
            closed = !o.form.isVisible();
        });
        QVERIFY(closed);
        QVERIFY(o.fakes.settings.writes.empty());
        QCOMPARE(o.state.settings.textutilisateur, lit("Mots clés"));
        QCOMPARE(o.other.shown, QStringList{"Mots clés/lec"});

        QString reopened;
        o.open([&] {
            reopened = o.edit("edttxtutil")->text();
            o.click("btappliquer");
            closed = !o.form.isVisible();
        });
        QCOMPARE(reopened, QStringLiteral("Cote"));
        QVERIFY(closed);
        QCOMPARE(o.stored("textutilisateur"), std::string("Cote"));
        QCOMPARE(o.state.settings.textutilisateur, std::string("Cote"));
        QCOMPARE(o.other.shown, (QStringList{"Mots clés/lec", "Cote/ecr"}));
    }

    // The currency box takes 11 characters; the settings keep 10, the box all 11
    // until the settings are read again.
    void elevenCharacterCurrency() {
        Options o;
        QString typed;
        o.open([&] {
            o.retype("edtdevise", QStringLiteral("Francs suisses"));
            typed = o.edit("edtdevise")->text();
            o.click("btappliquer");
        });
        QCOMPARE(typed, QStringLiteral("Francs suis"));
        QCOMPARE(o.stored("devise"), std::string("Francs sui"));
        QCOMPARE(o.state.settings.devise, std::string("Francs sui"));
        QCOMPARE(o.edit("edtdevise")->text(), QStringLiteral("Francs suis"));
        o.routine.run(QStringLiteral("lec"));
        QCOMPARE(o.edit("edtdevise")->text(), QStringLiteral("Francs sui"));
    }

    void captionsTakeTenCharacters() {
        Options o;
        o.open([&] {
            o.retype("edttxtutil", QStringLiteral("Très long libellé"));
            o.retype("edtcocheutil", QStringLiteral("Prêté à un ami"));
            o.click("btfermer");
        });
        const q7::Settings typed = o.form.typedSettings();
        QCOMPARE(typed.textutilisateur, lit("Très long "));
        QCOMPARE(typed.cocheutilisateur, lit("Prêté à un"));
    }

    void confirmationsAndPathsAreApplied() {
        Options o;
        o.open([&] {
            o.form.findChild<QCheckBox*>("cbconfirmesup")->click();
            o.retype("edtext1", QStringLiteral("/usr/bin/gnome-calculator"));
            o.retype("edtext2", QString());
            o.click("btappliquer");
        });
        QCOMPARE(o.stored("confirmesup"), std::string("0"));
        QCOMPARE(o.stored("confirmemod"), std::string("1"));
        QCOMPARE(o.stored("appext_manip"), std::string("/usr/bin/gnome-calculator"));
        QCOMPARE(o.stored("appext_gest"), std::string()); // an empty path is stored as is
        QVERIFY(!o.state.settings.confirmesup);
    }

    // A store that refuses a value: the error box, the window stays open with what was
    // typed; once the store works again "A&ppliquer" closes it.
    void failedStoreKeepsTheWindowOpen() {
        Options o;
        o.fakes.settings.failOnWrite = "devise";
        bool openAfterFailure = false;
        QString kept;
        bool closedAtLast = false;
        o.open([&] {
            o.retype("edttxtutil", QStringLiteral("Lieu"));
            o.click("btappliquer");
            openAfterFailure = o.form.isVisible();
            kept = o.edit("edttxtutil")->text();
            o.fakes.settings.failOnWrite.clear();
            o.click("btappliquer");
            closedAtLast = !o.form.isVisible();
        });
        QVERIFY(openAfterFailure);
        QCOMPARE(kept, QStringLiteral("Lieu"));
        QCOMPARE(o.fakes.dialogs.boxes().size(), 1);
        QVERIFY(o.fakes.dialogs.boxes().first().startsWith("error:Impossible d'écrire devise"));
        QVERIFY(closedAtLast);
        QCOMPARE(o.stored("textutilisateur"), std::string("Lieu"));
    }

    // Both "Parcourir" share one handler; the button decides the edit. The program's
    // own file is refused (name compared with its case), a cancel changes nothing.
    void browse_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("chosen"); // "" = cancel; %1 = own file name
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("log");
        const QStringList fileOnly{"open-file"};
        const QStringList refused{"open-file", "beep", selfRefusal};
        const QString own = Tformoption::ownFileName();
        const QString calc = QStringLiteral("C:\\WINDOWS\\CALC.EXE");
        const QString pad = QStringLiteral("C:\\Program Files\\Accessoires\\WORDPAD.EXE");
        QTest::newRow("first button") << "btext1"
                                      << "edtext1"
                                      << "edtext2"
                                      << "/usr/bin/galculator"
                                      << "/usr/bin/galculator" << fileOnly;
        QTest::newRow("second button, blanks") << "btext2"
                                               << "edtext2"
                                               << "edtext1"
                                               << "/opt/mon éditeur/edit"
                                               << "/opt/mon éditeur/edit" << fileOnly;
        QTest::newRow("own program refused") << "btext1"
                                             << "edtext1"
                                             << "edtext2"
                                             << "/usr/local/bin/" + own << "" << refused;
        QTest::newRow("own program refused, second") << "btext2"
                                                     << "edtext2"
                                                     << "edtext1"
                                                     << "/tmp/" + own << "" << refused;
        QTest::newRow("other letter case accepted")
            << "btext1"
            << "edtext1"
            << "edtext2"
            << "/usr/bin/" + own.toUpper() << "/usr/bin/" + own.toUpper() << fileOnly;
        QTest::newRow("name only ending like it")
            << "btext2"
            << "edtext2"
            << "edtext1"
            << "/usr/bin/x" + own << "/usr/bin/x" + own << fileOnly;
        QTest::newRow("cancel") << "btext1"
                                << "edtext1"
                                << "edtext2"
                                << "" << calc << fileOnly;
        QTest::newRow("cancel, second") << "btext2"
                                        << "edtext2"
                                        << "edtext1"
                                        << "" << pad << fileOnly;
    }
    void browse() {
        QFETCH(QString, button);
        QFETCH(QString, edit);
        QFETCH(QString, other);
        QFETCH(QString, chosen);
        QFETCH(QString, result);
        QFETCH(QStringList, log);
        Options o;
        const QString otherBefore = o.edit(other)->text();
        if (chosen.isEmpty())
            o.fakes.dialogs.files.push_back(std::nullopt);
        else
            o.fakes.dialogs.files.push_back(chosen);
        o.open([&] { o.click(button.toLatin1().constData()); });
        QCOMPARE(o.edit(edit)->text(), result);
        QCOMPARE(o.edit(other)->text(), otherBefore);
        QCOMPARE(o.fakes.dialogs.log, log);
        QVERIFY(o.fakes.settings.writes.empty()); // only "A&ppliquer" stores
    }

    void escapeClosesFromAnyControl_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("check box") << "cbconfirmemod";
        QTest::newRow("path") << "edtext1";
        QTest::newRow("browse button") << "btext2";
    }
    void escapeClosesFromAnyControl() {
        QFETCH(QString, control);
        Options o;
        bool closed = false;
        o.open([&] {
            QTest::keyClick(o.form.findChild<QWidget*>(control), Qt::Key_Escape);
            closed = !o.form.isVisible();
        });
        QVERIFY(closed);
        QVERIFY(o.fakes.settings.writes.empty());
    }
};

QTEST_MAIN(TestOption)
#include "tst_option.moc"
