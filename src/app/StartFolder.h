#pragma once
// The folder the program works in, chosen on the command line:
//   lirabel3 DOSSIER   works in DOSSIER (a folder brought from Windows opens as it is);
//   lirabel3 --menu    works in ~/Lirabel3, made when missing: the desktop menu's way, so
//                      that nothing lands among the files of the home folder;
//   lirabel3           works in the current directory;
//   lirabel3 --poche FICHIER.html [DOSSIER]
//                      writes the pocket catalogue and ends, without a window.
// Every file of the program is then named relative to that folder. All of this runs
// before the window system is reached, so --help, --version and a wrong folder answer on
// a terminal without a display.
#include <QString>
#include <QStringList>

struct StartRequest {
    enum class Where { Current, Named, Menu };
    Where where = Where::Current;
    QString folder; // as typed, for Named
    QString pocket; // the pocket catalogue's file, as typed: written, then the program ends
    bool thumbnails = false; // with the covers' thumbnails
    // --help, --version and a wrong use are answered on the terminal and end the process
    // with this code; what to print goes to standard output or to standard error.
    int exitCode = -1;
    QString output;
    QString errors;
};

// Reads the arguments (the program's name first). Qt's own options (-style, -platform…)
// are left to Qt.
StartRequest parseCommandLine(const QStringList& arguments, const QString& version);

struct StartFolder {
    QString path;  // absolute, when the program can work there
    QString error; // otherwise, in French, naming the folder
};

// Resolves the request against the home folder and the current directory, makes
// ~/Lirabel3 for the menu, and checks that the program can read and write there.
// A folder the program makes is made ready: the fifteen value lists are there, empty.
StartFolder prepareStartFolder(const StartRequest& request, const QString& home,
                               const QString& current);

// The folder of the menu entry, inside `home`.
QString menuFolder(const QString& home);

// Makes `path` the working directory; the French error naming it when that fails.
QString enterStartFolder(const QString& path);
