#include "app/PocketCommand.h"
#include "app/Program.h"
#include "app/Q7prin.h"
#include "app/StartFolder.h"
#include "platform/PaintPrinter.h"
#include "platform/QtDialogs.h"
#include "platform/QtFetcher.h"
#include "platform/QtPlatform.h"
#include "platform/QtSettingsBackend.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

// What the program installs beside itself (the help text), found from the executable so
// that any installation prefix works.
QString installedDir() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/lirabel3"));
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/lirabel3-%1.png").arg(size), QSize(size, size));
    return icon;
}

// A box can be shown only where there is a window system to show it.
bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name)) return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line and the folder come first: --help, --version and a wrong folder
    // answer on a terminal that has no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartRequest request = parseCommandLine(arguments, QStringLiteral(Q7_VERSION));
    if (request.exitCode >= 0) {
        std::fputs(request.output.toLocal8Bit().constData(), stdout);
        std::fputs(request.errors.toLocal8Bit().constData(), stderr);
        return request.exitCode;
    }
    if (!request.pocket.isEmpty()) {
        // From a terminal or a scheduled task: no display, no window.
        const QCoreApplication app(argc, argv);
        const PocketOutcome done =
            writePocketCatalogue(request, QDir::homePath(), QDir::currentPath());
        std::fputs(done.output.toLocal8Bit().constData(), stdout);
        std::fputs(done.errors.toLocal8Bit().constData(), stderr);
        return done.exitCode;
    }
    const StartFolder folder = prepareStartFolder(request, QDir::homePath(), QDir::currentPath());
    QString error = folder.error.isEmpty() ? enterStartFolder(folder.path) : folder.error;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "lirabel3 : %s\n", error.toLocal8Bit().constData());
        // A menu entry has no terminal: the same words in a box, when a box can be shown.
        if (!displayAvailable()) return 1;
    } else if (!displayAvailable()) {
        // Said in French rather than by the window system's abort.
        std::fputs("lirabel3 : pas d'affichage graphique (DISPLAY est vide) : Lirabel 3 "
                   "s'ouvre dans une session de bureau.\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lirabel3"));
    QApplication::setApplicationVersion(QStringLiteral(Q7_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("lirabel3"));
    QApplication::setWindowIcon(programIcon());
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFrench);

    // Message boxes keep the name the program always had, whatever link started it.
    const QString programName = QStringLiteral("Lirabel3");
    QtDialogs dialogs(programName);
    if (!error.isEmpty()) {
        dialogs.error(error);
        return 1;
    }

    QtPrinter printer;
    QtLauncher launcher;
    QtClock clock;
    QtCursor cursor;
    QtSettingsBackend settings;
    QtModalShower modal;
    q7::QtFetcher fetcher;
    Services services{dialogs,
                      printer,
                      launcher,
                      clock,
                      cursor,
                      settings,
                      modal,
                      fetcher,
                      q7::posixFileSystem(),
                      QDir::currentPath().toStdString(),
                      programName,
                      installedDir().toStdString()};

    Program program(services);
    program.prin().show();
    // Without a catalogue there is nothing to do: the error was shown.
    if (!program.prin().catalogueOpen()) return 1;
    return app.exec();
}
