#include "app/Program.h"
#include "app/Q7prin.h"
#include "platform/PaintPrinter.h"
#include "platform/QtDialogs.h"
#include "platform/QtPlatform.h"
#include "platform/QtSettingsBackend.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFrench);

    const QString programName =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QtDialogs dialogs(programName);
    QtPrinter printer;
    QtLauncher launcher;
    QtClock clock;
    QtCursor cursor;
    QtSettingsBackend settings;
    QtModalShower modal;
    Services services{dialogs,
                      printer,
                      launcher,
                      clock,
                      cursor,
                      settings,
                      modal,
                      q7::posixFileSystem(),
                      QDir::currentPath().toStdString(),
                      programName};

    Program program(services);
    program.prin().show();
    // Without a catalogue there is nothing to do: the error was shown.
    if (!program.prin().catalogueOpen()) return 1;
    return app.exec();
}
