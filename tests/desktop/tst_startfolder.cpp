// The real program, started as a user or the desktop menu starts it: it works in the
// folder it was given, and creates nothing anywhere else.
#include "app/StartFolder.h"
#include "FicheBuilder.h"
#include "record/FieldTable.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Every file and folder below `root`, relative to it, but the settings folder.
QStringList tree(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(root).relativeFilePath(it.next());
        if (!path.startsWith(QLatin1String("config"))) out << path;
    }
    out.sort();
    return out;
}

// True while another process holds the catalogue's lock.
bool lockedElsewhere(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

struct Sandbox {
    QTemporaryDir root;
    QString path(const QString& relative) const { return root.filePath(relative); }
    void mkdir(const QString& relative) const { QDir(root.path()).mkpath(relative); }

    // Starts the program in `cwd` (relative) with HOME at home/ and its settings apart.
    void start(QProcess& program, const QStringList& arguments, const QString& cwd) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(path(cwd));
        program.start(QStringLiteral(Q7_PROGRAM), arguments);
        QVERIFY(program.waitForStarted());
    }
};

// Waits until the program holds `catalogue`, or has stopped, or 30 s have passed.
bool waitUntilOpen(QProcess& program, const QString& catalogue) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        if (program.state() == QProcess::NotRunning) return false;
        if (lockedElsewhere(catalogue)) return true;
        program.waitForFinished(50);
    }
    return false;
}

void stop(QProcess& program) {
    program.kill();
    program.waitForFinished();
}

} // namespace

class TestStartFolder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void catalogueIsWhereTheProgramWasToldToWork_data() {
        QTest::addColumn<QString>("argument"); // %1 = the sandbox; "" = none
        QTest::addColumn<QString>("cwd");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("created"); // a folder the program makes, or ""
        QTest::addColumn<QString>("premade"); // a folder there before, or ""
        QTest::newRow("folder argument") << "%1/livres"
                                         << "ailleurs"
                                         << "livres/Q7.dat"
                                         << ""
                                         << "";
        QTest::newRow("relative folder argument") << "livres"
                                                  << "."
                                                  << "livres/Q7.dat"
                                                  << ""
                                                  << "";
        QTest::newRow("folder with blanks") << "%1/mes livres/"
                                            << "ailleurs"
                                            << "mes livres/Q7.dat"
                                            << ""
                                            << "";
        QTest::newRow("no argument") << ""
                                     << "ailleurs"
                                     << "ailleurs/Q7.dat"
                                     << ""
                                     << "";
        QTest::newRow("menu entry, first start") << "--menu"
                                                 << "home"
                                                 << "home/Lirabel3/Q7.dat"
                                                 << "home/Lirabel3"
                                                 << "";
        // A folder already there is used as it is: nothing is added to it but the catalogue.
        QTest::newRow("menu entry, folder there") << "--menu"
                                                  << "home"
                                                  << "home/Lirabel3/Q7.dat"
                                                  << ""
                                                  << "home/Lirabel3";
    }
    void catalogueIsWhereTheProgramWasToldToWork() {
        QFETCH(QString, argument);
        QFETCH(QString, cwd);
        QFETCH(QString, catalogue);
        QFETCH(QString, created);
        QFETCH(QString, premade);
        Sandbox box;
        for (const char* folder : {"home", "ailleurs", "livres", "mes livres"})
            box.mkdir(QString::fromLatin1(folder));
        if (!premade.isEmpty()) {
            box.mkdir(premade);
            writeBytes(box.path(premade + "/Q7AUTEUR.LST").toStdString(), "Hugo\r\n");
        }
        QStringList arguments;
        if (!argument.isEmpty())
            arguments << QString(argument).replace(QStringLiteral("%1"), box.root.path());
        const QStringList before = tree(box.root.path());

        QProcess program;
        box.start(program, arguments, cwd);
        const bool open = waitUntilOpen(program, box.path(catalogue));
        stop(program);
        QVERIFY2(open, program.readAllStandardError().constData());

        QStringList expected = before;
        expected << catalogue;
        // A folder the program makes is ready for a first record: its lists are there,
        // empty, so that no drop-down offers or saves a placeholder.
        if (!created.isEmpty()) {
            expected << created;
            for (const q7::FieldBinding* list : q7::listManagerOrder()) {
                const QString name = created + "/" + QString::fromLatin1(list->listFile);
                expected << name;
                QCOMPARE(QFileInfo(box.path(name)).size(), 0);
            }
        }
        expected.sort();
        QCOMPARE(tree(box.root.path()), expected);
        if (!premade.isEmpty())
            QCOMPARE(readBytes(box.path(premade + "/Q7AUTEUR.LST").toStdString()),
                     std::string("Hugo\r\n"));
    }

    // Upper-case names, CR LF and Windows-1252, as copied from a Windows computer: the
    // program opens Q7.DAT itself (it makes no Q7.dat beside it) and changes nothing.
    void windowsFolderOpensAsItIs() {
        Sandbox box;
        box.mkdir(QStringLiteral("home"));
        box.mkdir(QStringLiteral("windows"));
        const std::string dir = box.path(QStringLiteral("windows")).toStdString();
        writeCatalogue(dir,
                       {FicheBuilder().set(q7::Field::titre, "Les Misérables").build(),
                        FicheBuilder().set(q7::Field::titre, "Germinal").build()},
                       "Q7.DAT");
        writeBytes(dir + "/Q7AUTEUR.LST", "Hugo\r\nZola\r\nB\xE9raud\r\n");
        writeBytes(dir + "/Q7CARNET.TXT", "\xC0 lire\r\n");
        std::map<QString, std::string> files;
        for (const QString& name : QDir(QString::fromStdString(dir)).entryList(QDir::Files))
            files[name] = readBytes(dir + "/" + name.toStdString());

        QProcess program;
        box.start(program, {QString::fromStdString(dir)}, QStringLiteral("home"));
        const bool open = waitUntilOpen(program, QString::fromStdString(dir + "/Q7.DAT"));
        stop(program);
        QVERIFY2(open, program.readAllStandardError().constData());

        std::map<QString, std::string> after;
        for (const QString& name : QDir(QString::fromStdString(dir)).entryList(QDir::Files))
            after[name] = readBytes(dir + "/" + name.toStdString());
        QVERIFY(after == files);
    }

    // A folder the program cannot use is named in a French message; nothing is made.
    void unusableFolderIsNamed_data() {
        QTest::addColumn<QString>("argument"); // %1 = the sandbox
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "%1/absent"
                                 << "lirabel3 : Le dossier « %1/absent » n'existe pas.";
        QTest::newRow("a file") << "%1/home/note.txt"
                                << "lirabel3 : « %1/home/note.txt » n'est pas un dossier.";
        if (::geteuid() != 0) // root may write anywhere
            QTest::newRow("read-only")
                << "%1/lecture"
                << "lirabel3 : Le dossier « %1/lecture » est en lecture seule "
                   ": Lirabel 3 doit pouvoir y enregistrer le catalogue.";
    }
    void unusableFolderIsNamed() {
        QFETCH(QString, argument);
        QFETCH(QString, message);
        Sandbox box;
        box.mkdir(QStringLiteral("home"));
        box.mkdir(QStringLiteral("lecture"));
        QFile::setPermissions(box.path(QStringLiteral("lecture")),
                              QFile::ReadOwner | QFile::ExeOwner);
        writeBytes(box.path(QStringLiteral("home/note.txt")).toStdString(), "x");
        const QStringList before = tree(box.root.path());

        QProcess program;
        box.start(program, {argument.arg(box.root.path())}, QStringLiteral("home"));
        // The same words go to the terminal and to a box, which waits for its OK.
        const QByteArray expected = message.arg(box.root.path()).toUtf8();
        QElapsedTimer clock;
        clock.start();
        QByteArray said;
        while (!said.contains(expected) && clock.elapsed() < 30000 &&
               program.state() == QProcess::Running) {
            program.waitForReadyRead(100);
            said += program.readAllStandardError();
        }
        stop(program);
        said += program.readAllStandardError();
        QVERIFY2(said.contains(expected), said.constData());
        QCOMPARE(tree(box.root.path()), before);
    }

    // Answered on the terminal before any window system is reached: no display needed.
    void answersWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments"); // %1 = the sandbox
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Utilisation : lirabel3 [--menu]"
                              << "";
        QTest::newRow("short help") << QStringList{"-h"} << 0 << "lirabel3-import(1)"
                                    << "";
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << "Lirabel3 " Q7_PROGRAM_VERSION "\n"
                                 << "";
        QTest::newRow("unknown option") << QStringList{"--vide"} << 1 << ""
                                        << "Option inconnue : --vide";
        QTest::newRow("missing folder") << QStringList{"%1/absent"} << 1 << ""
                                        << "lirabel3 : Le dossier « %1/absent » n'existe pas.";
        QTest::newRow("good folder, no display") << QStringList{"%1/home"} << 1 << ""
                                                 << "lirabel3 : pas d'affichage graphique";
        QTest::newRow("pocket without its file") << QStringList{"--poche"} << 1 << ""
                                                 << "--poche demande le nom du fichier";
        QTest::newRow("thumbnails alone") << QStringList{"--vignettes", "%1/home"} << 1 << ""
                                          << "--vignettes va avec --poche.";
        QTest::newRow("pocket of a folder without catalogue")
            << QStringList{"--poche", "%1/p.html", "%1/home"} << 1 << ""
            << "lirabel3 : le dossier « %1/home » n'a pas de catalogue (Q7.dat).";
        QTest::newRow("pocket named like the catalogue")
            << QStringList{"--poche", "%1/home/Q7.dat", "%1/home"} << 1 << ""
            << "donnez un nom en .html";
    }
    void answersWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        Sandbox box;
        box.mkdir(QStringLiteral("home"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), box.path(QStringLiteral("home")));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(box.path(QStringLiteral("home")));
        for (QString& a : arguments)
            a.replace(QStringLiteral("%1"), box.root.path());
        program.start(QStringLiteral(Q7_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(30000));
        const QString said = QString::fromUtf8(program.readAllStandardOutput());
        const QString complained = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == exitCode, qPrintable(complained));
        QVERIFY2(said.contains(out), qPrintable(said));
        QVERIFY2(complained.contains(err.arg(box.root.path())), qPrintable(complained));
        if (out.isEmpty()) QCOMPARE(said, QString());
        QVERIFY(!complained.contains(QLatin1String("display")));
    }

    // Qt's own options are left to Qt, whatever their place among the program's.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("where"); // StartRequest::Where, or -1 when refused
        QTest::addColumn<QString>("folder");
        using W = StartRequest::Where;
        QTest::newRow("nothing") << QStringList{} << int(W::Current) << "";
        QTest::newRow("style then folder")
            << QStringList{"-style", "fusion", "livres"} << int(W::Named) << "livres";
        QTest::newRow("style= then menu")
            << QStringList{"-style=fusion", "--menu"} << int(W::Menu) << "";
        QTest::newRow("after --") << QStringList{"--", "--menu"} << int(W::Named) << "--menu";
        QTest::newRow("menu and folder") << QStringList{"--menu", "livres"} << -1 << "";
        QTest::newRow("two folders") << QStringList{"a", "b"} << -1 << "";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, where);
        QFETCH(QString, folder);
        arguments.prepend(QStringLiteral("lirabel3"));
        const StartRequest r = parseCommandLine(arguments, QStringLiteral("3"));
        if (where < 0) {
            QCOMPARE(r.exitCode, 1);
            QVERIFY(r.errors.contains(QLatin1String("Utilisation : lirabel3")));
            return;
        }
        QCOMPARE(r.exitCode, -1);
        QCOMPARE(int(r.where), where);
        QCOMPARE(r.folder, folder);
    }

    // From a scheduled task: the page is written, the catalogue's folder is left as it was,
    // and a catalogue the program holds is said with its own exit code.
    void pocketFromATerminal() {
        Sandbox box;
        box.mkdir(QStringLiteral("home/livres"));
        const QString folder = box.path(QStringLiteral("home/livres"));
        writeCatalogue(
            folder.toStdString(),
            {FicheBuilder().numero(1).set(q7::Field::titre, "Nana"), FicheBuilder().numero(2)});
        const std::string catalogue = readBytes((folder + "/Q7.dat").toStdString());
        const QStringList before = tree(folder);
        const QString page = box.path(QStringLiteral("poche.html"));
        const QStringList arguments{QStringLiteral("--poche"), page, folder};
        QProcess program;
        box.start(program, arguments, QStringLiteral("home"));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()),
                 QStringLiteral("Catalogue de poche écrit : 2 livres dans « %1 » (%2 Ko).\n")
                     .arg(page)
                     .arg((QFileInfo(page).size() + 999) / 1000));
        QCOMPARE(tree(folder), before);
        QCOMPARE(readBytes((folder + "/Q7.dat").toStdString()), catalogue);

        const int held = ::open(QFile::encodeName(folder + "/Q7.dat").constData(), O_RDONLY);
        QVERIFY(::flock(held, LOCK_EX | LOCK_NB) == 0);
        writeBytes(page.toStdString(), "ancienne page");
        box.start(program, arguments, QStringLiteral("home"));
        QVERIFY(program.waitForFinished(30000));
        ::close(held);
        QCOMPARE(program.exitCode(), 75);
        QVERIFY(program.readAllStandardError().contains("Lirabel 3 a ce catalogue ouvert"));
        QCOMPARE(readBytes(page.toStdString()), std::string("ancienne page"));
    }

    void twoFoldersAreRefused() {
        Sandbox box;
        box.mkdir(QStringLiteral("home"));
        QProcess program;
        box.start(program, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("home"));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardError().contains("Un seul dossier à la fois."));
        QCOMPARE(tree(box.root.path()), QStringList{QStringLiteral("home")});
    }
};

QTEST_GUILESS_MAIN(TestStartFolder)
#include "tst_startfolder.moc"
