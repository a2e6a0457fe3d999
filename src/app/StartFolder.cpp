#include "app/StartFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

QString quoted(const QString& path) {
    return QStringLiteral("« ") + QDir::toNativeSeparators(path) + QStringLiteral(" »");
}

// Why the program cannot work in `path`, or nothing. It must enter the folder, list it
// (file names are matched whatever their case) and write there: the catalogue, its lock,
// the lists and every rewrite go beside the files they replace.
QString unusableReason(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("Le dossier %1 n'existe pas.").arg(quoted(path));
    if (!info.isDir()) return QStringLiteral("%1 n'est pas un dossier.").arg(quoted(path));
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("Le dossier %1 ne peut pas être ouvert : accès refusé.")
            .arg(quoted(path));
    if (!info.isWritable())
        return QStringLiteral("Le dossier %1 est en lecture seule : Lirabel 3 doit pouvoir y "
                              "enregistrer le catalogue.")
            .arg(quoted(path));
    return {};
}

} // namespace

StartRequest parseCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lirabel 3, le catalogue d'une bibliothèque personnelle."));
    // Qt's own help option speaks English; this one says the same in French.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Affiche cette aide."));
    parser.addOption(help);
    parser.addVersionOption();
    const QCommandLineOption menu(
        QStringLiteral("menu"),
        QStringLiteral("Travaille dans le dossier ~/Lirabel3, créé s'il n'existe pas."));
    parser.addOption(menu);
    parser.addPositionalArgument(
        QStringLiteral("DOSSIER"),
        QStringLiteral("Le dossier du catalogue (par défaut, le dossier courant)."),
        QStringLiteral("[DOSSIER]"));
    parser.process(app);
    if (parser.isSet(help)) parser.showHelp(0);

    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1 || (parser.isSet(menu) && !folders.isEmpty())) {
        std::fputs(qPrintable(QStringLiteral("Un seul dossier à la fois.\n\n")), stderr);
        parser.showHelp(1);
    }
    if (parser.isSet(menu)) return {StartRequest::Where::Menu, {}};
    if (!folders.isEmpty()) return {StartRequest::Where::Named, folders.first()};
    return {};
}

QString menuFolder(const QString& home) {
    return QDir(home).filePath(QStringLiteral("Lirabel3"));
}

StartFolder prepareStartFolder(const StartRequest& request, const QString& home,
                               const QString& current) {
    QString path = current;
    if (request.where == StartRequest::Where::Named)
        path = QDir::cleanPath(QDir(current).absoluteFilePath(request.folder));
    if (request.where == StartRequest::Where::Menu) {
        path = menuFolder(home);
        if (!QFileInfo::exists(path) && !QDir().mkpath(path))
            return {{}, QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(quoted(path))};
    }
    QString reason = unusableReason(path);
    if (!reason.isEmpty()) return {{}, reason};
    return {path, {}};
}

QString enterStartFolder(const QString& path) {
    if (QDir::setCurrent(path)) return {};
    return QStringLiteral("Le dossier %1 ne peut pas être ouvert.").arg(quoted(path));
}
