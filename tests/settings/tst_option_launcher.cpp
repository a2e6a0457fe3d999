// External programs started through the real launcher: the program runs on its own
// while Lirabel goes on, and a command line that names nothing fails quietly.
#include "platform/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A script that waits, then leaves a marker file beside itself (or at $1).
QString writeScript(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write("#!/bin/sh\n"
            "sleep 2\n"
            "target=\"${1:-$(dirname \"$0\")/marqueur}\"\n"
            "echo fait > \"$target\"\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

} // namespace

class TestOptionLauncher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsWithoutWaiting_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("script");
        QTest::newRow("plain path") << "prog"
                                    << "lent.sh";
        QTest::newRow("path with blanks") << "mes programmes"
                                          << "un script lent.sh";
    }
    void startsWithoutWaiting() {
        QFETCH(QString, folder);
        QFETCH(QString, script);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(folder));
        const QString path = writeScript(dir.filePath(folder + "/" + script));
        QVERIFY(!path.isEmpty());
        const QString marker = dir.filePath(folder + "/marqueur");

        // The script leaves its marker after two seconds: none yet means no wait (how
        // soon the launcher returns is timed by the window benchmark).
        QVERIFY(QtLauncher().startDetached(path)); // the path as stored, unquoted
        QVERIFY(!QFile::exists(marker));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 15000);
    }

    // A text that names no file is split as a shell would: program, then arguments.
    void commandLineWithArguments() {
        QTemporaryDir dir;
        const QString path = writeScript(dir.filePath("ecrit.sh"));
        const QString marker = dir.filePath("autre marqueur");
        QVERIFY(QtLauncher().startDetached("/bin/sh \"" + path + "\" \"" + marker + "\""));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 15000);
    }

    void nothingToStart_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("missing file") << "/chemin/qui/n'existe/pas/programme";
        QTest::newRow("unknown program with arguments") << "programme-inconnu-q7 --aide";
        QTest::newRow("windows default") << "C:\\WINDOWS\\CALC.EXE";
    }
    void nothingToStart() {
        QFETCH(QString, commandLine);
        QVERIFY(!QtLauncher().startDetached(commandLine));
    }
};

QTEST_GUILESS_MAIN(TestOptionLauncher)
#include "tst_option_launcher.moc"
