// The settings rules, the real INI store and what the windows show.
#include "AppFixture.h"
#include "FakeServices.h"
#include "platform/QtSettingsBackend.h"
#include "settings/Settings.h"
#include "settings/SettingsRoutine.h"
#include "store/Errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using q7::lit;

class RecordingView : public SettingsView {
public:
    QStringList calls;
    void showSettings(const q7::Settings& v, bool fromRead) override {
        calls << QString::fromStdString(q7::cp1252ToUtf8(v.devise)) + (fromRead ? "/lec" : "/ecr");
    }
};

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstRunGivesTheDefaults() {
        FakeSettingsBackend store;
        q7::Settings s;
        s.devise = "x";
        q7::readSettings(store, s);
        QVERIFY(store.keyOpened);
        QVERIFY(store.writes.empty());
        QCOMPARE(s.confirmesup, true);
        QCOMPARE(s.confirmemod, true);
        QCOMPARE(s.devise, lit("Euros"));
        QCOMPARE(s.textutilisateur, lit("Mots clés"));
        QCOMPARE(s.cocheutilisateur, lit("Annoté"));
        QCOMPARE(s.appext_manip, std::string("C:\\WINDOWS\\CALC.EXE"));
        QCOMPARE(q7::fileNamePart(s.appext_gest), std::string("WORDPAD.EXE"));
    }

    void storedValues_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("inMemory");
        QTest::newRow("flag off") << "confirmesup"
                                  << "0"
                                  << "0";
        QTest::newRow("flag other integer") << "confirmesup"
                                            << "7"
                                            << "1";
        QTest::newRow("flag negative") << "confirmemod"
                                       << "-1"
                                       << "1";
        QTest::newRow("flag not an integer") << "confirmesup"
                                             << "non"
                                             << "1";
        QTest::newRow("flag empty counts as missing") << "confirmemod"
                                                      << ""
                                                      << "1";
        QTest::newRow("empty currency stays empty") << "devise"
                                                    << ""
                                                    << "";
        QTest::newRow("long caption cut to ten") << "textutilisateur"
                                                 << "Quinze lettres!"
                                                 << "Quinze let";
        QTest::newRow("check caption") << "cocheutilisateur"
                                       << "Prêté"
                                       << "Prêté";
        QTest::newRow("path kept whole") << "appext_gest"
                                         << "/usr/bin/un programme très long"
                                         << "/usr/bin/un programme très long";
    }
    void storedValues() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, inMemory);
        FakeSettingsBackend store;
        store.values[key.toStdString()] = q7::utf8ToCp1252(stored.toStdString());
        q7::Settings s;
        q7::readSettings(store, s);
        const std::map<QString, std::string> got = {{"confirmesup", s.confirmesup ? "1" : "0"},
                                                    {"confirmemod", s.confirmemod ? "1" : "0"},
                                                    {"devise", s.devise},
                                                    {"textutilisateur", s.textutilisateur},
                                                    {"cocheutilisateur", s.cocheutilisateur},
                                                    {"appext_gest", s.appext_gest}};
        QCOMPARE(QString::fromStdString(q7::cp1252ToUtf8(got.at(key))), inMemory);
        QCOMPARE(store.values[key.toStdString()], q7::utf8ToCp1252(stored.toStdString()));
    }

    void writeCutsAndStopsAtAFailingKey() {
        FakeSettingsBackend store;
        q7::Settings memory, typed;
        typed.devise = "Francs suisses";
        typed.confirmesup = false;
        q7::writeSettings(store, memory, typed);
        QCOMPARE(store.writes, (std::vector<std::string>{"confirmesup", "confirmemod", "devise",
                                                         "textutilisateur", "cocheutilisateur",
                                                         "appext_manip", "appext_gest"}));
        QCOMPARE(store.values["devise"], std::string("Francs sui"));
        QCOMPARE(store.values["confirmesup"], std::string("0"));
        QCOMPARE(memory.devise, std::string("Francs sui"));

        FakeSettingsBackend failing;
        failing.failOnWrite = "textutilisateur";
        q7::Settings m2;
        typed.textutilisateur = "Thème";
        try {
            q7::writeSettings(failing, m2, typed);
            QFAIL("the write should fail");
        } catch (const q7::SettingsError& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains("textutilisateur"));
        }
        QCOMPARE(failing.writes,
                 (std::vector<std::string>{"confirmesup", "confirmemod", "devise"}));
        QCOMPARE(m2.textutilisateur, std::string("Thème"));
    }

    void fileNameParts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("part");
        QTest::newRow("windows") << "C:\\Program Files\\Accessoires\\WORDPAD.EXE"
                                 << "WORDPAD.EXE";
        QTest::newRow("drive only") << "A:prog.exe"
                                    << "prog.exe";
        QTest::newRow("unix") << "/usr/bin/gnome-calculator"
                              << "gnome-calculator";
        QTest::newRow("bare") << "gedit"
                              << "gedit";
        QTest::newRow("empty") << ""
                               << "";
    }
    void fileNameParts() {
        QFETCH(QString, path);
        QFETCH(QString, part);
        QCOMPARE(QString::fromStdString(q7::fileNamePart(path.toStdString())), part);
    }

    void iniStoreRoundTripsAndCreatesTheKey() {
        QTemporaryDir tmp;
        const QString ini = tmp.filePath("conf/wutfn.ini");
        {
            QtSettingsBackend store(ini);
            q7::Settings s;
            q7::readSettings(store, s);
            QVERIFY(QFile::exists(ini)); // opening creates the key
            QCOMPARE(QFileInfo(ini).size(), 0);
            q7::Settings typed;
            typed.textutilisateur = lit("Clés, €");
            typed.confirmemod = false;
            q7::writeSettings(store, s, typed);
        }
        QtSettingsBackend again(ini);
        q7::Settings s;
        q7::readSettings(again, s);
        QCOMPARE(s.textutilisateur, lit("Clés, €"));
        QCOMPARE(s.confirmemod, false);
    }

    void iniStoreWithGarbage() {
        QTemporaryDir tmp;
        const QString ini = tmp.filePath("wutfn.ini");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Lirabel3]\nconfirmesup=oui\nconfirmemod=0\ndevise=a, b\n\x01\x02garbage\n");
        f.close();
        QtSettingsBackend store(ini);
        q7::Settings s;
        q7::readSettings(store, s);
        QCOMPARE(s.confirmesup, true);
        QCOMPARE(s.confirmemod, false);
        QCOMPARE(s.devise, std::string("a,b"));
    }

    void unwritableIniIsReportedWithTheKey() {
        if (::geteuid() == 0) QSKIP("root ignores file permissions");
        QTemporaryDir tmp;
        const QString ini = tmp.filePath("wutfn.ini");
        QFile(ini).open(QIODevice::WriteOnly);
        QFile::setPermissions(ini, QFile::ReadOwner);
        QtSettingsBackend store(ini);
        q7::Settings s;
        QVERIFY_THROWS_EXCEPTION(q7::SettingsError, q7::writeSettings(store, s, s));
    }

    void routinePublishes() {
        FakeSettingsBackend store;
        store.values["devise"] = "CHF";
        q7::Settings values;
        SettingsRoutine routine(values, store);
        RecordingView a, b;
        routine.addView(&a);
        routine.addView(&b);
        routine.run("lec");
        q7::Settings typed;
        typed.devise = "USD";
        routine.setSource([&] { return typed; });
        routine.run("ecr");
        QCOMPARE(a.calls, QStringList({"CHF/lec", "USD/ecr"}));
        QCOMPARE(b.calls, a.calls);
        // A failing store publishes nothing.
        store.failOnWrite = "devise";
        typed.devise = "JPY";
        QVERIFY_THROWS_EXCEPTION(q7::SettingsError, routine.run("ecr"));
        QCOMPARE(a.calls.size(), 2);
    }

    void recordWindowShowsStoredCaptions() {
        AppFixture app;
        app.fakes->settings.values = {{"textutilisateur", lit("Thème & co")},
                                      {"cocheutilisateur", lit("Prêté")},
                                      {"devise", "CHF"},
                                      {"appext_manip", "/usr/bin/gnome-calculator"},
                                      {"appext_gest", ""}};
        app.start();
        auto& u = app.ui();
        // Tied to its field, the caption marks a shortcut with "&": it shows "Thème & co".
        QCOMPARE(u.lblutilisateur->text(), QString("Thème && co"));
        QCOMPARE(u.menutxtutil->text(), QString("Thème && co"));
        QCOMPARE(u.menuinsertutil->text(), QString("Thème && co"));
        QCOMPARE(u.ckbutilisateur->text(), QString("Prêté"));
        QCOMPARE(u.menucocheutil->text(), QString("Prêté"));
        QCOMPARE(u.lbldevise->text(), QString("CHF"));
        QCOMPARE(u.menuext1->text(), QString("gnome-calculator"));
        QCOMPARE(u.menuext2->text(), QString());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
