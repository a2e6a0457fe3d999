#include "app/StartFolder.h"

#include "record/FieldTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// Qt reads these itself when the window system starts; those that take a value take the
// next argument.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    {"-style", true},
    {"-stylesheet", true},
    {"-platform", true},
    {"-platformtheme", true},
    {"-platformpluginpath", true},
    {"-plugin", true},
    {"-display", true},
    {"-geometry", true},
    {"-qwindowgeometry", true},
    {"-qwindowtitle", true},
    {"-qwindowicon", true},
    {"-title", true},
    {"-session", true},
    {"-name", true},
    {"-reverse", false},
    {"-widgetcount", false},
    {"-nograb", false},
    {"-dograb", false},
};

const QtOption* qtOption(const QString& argument) {
    for (const QtOption& o : qtOptions) {
        const QString name = QString::fromLatin1(o.name);
        if (argument == name || argument == QLatin1Char('-') + name) return &o;
        if (o.takesValue && argument.startsWith(name + QLatin1Char('='))) return &o;
    }
    return nullptr;
}

QString helpText() {
    return QStringLiteral(
        "Utilisation : lirabel3 [--menu] [DOSSIER]\n"
        "              lirabel3 --poche FICHIER.html [--vignettes] [DOSSIER]\n"
        "Lirabel 3, le catalogue d'une bibliothèque personnelle.\n"
        "\n"
        "Options :\n"
        "  -h, --help     affiche cette aide\n"
        "  -v, --version  affiche la version\n"
        "  --menu         travaille dans le dossier ~/Lirabel3, créé s'il n'existe pas\n"
        "  --poche FICHIER.html\n"
        "                 écrit le catalogue de poche (une page pour le téléphone, hors\n"
        "                 ligne) sans ouvrir de fenêtre, puis s'arrête ; le catalogue est\n"
        "                 lu, jamais modifié. Code de sortie 75 quand Lirabel 3 l'a ouvert.\n"
        "  --vignettes    avec --poche : ajoute les vignettes des couvertures\n"
        "\n"
        "Arguments :\n"
        "  DOSSIER        le dossier du catalogue (par défaut, le dossier courant)\n"
        "\n"
        "Voir aussi : lirabel3-import(1), pour apporter un catalogue d'ailleurs.\n");
}

StartRequest refused(const QString& why) {
    StartRequest r;
    r.exitCode = 1;
    r.errors = why + QStringLiteral("\n\n") + helpText();
    return r;
}

// The empty value lists of a new folder: without them every drop-down of a first record
// would offer nothing but be saved as "Vide".
QString seedLists(const QString& folder) {
    for (const q7::FieldBinding* list : q7::listManagerOrder()) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(list->listFile)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return QStringLiteral("Le fichier %1 ne peut pas être créé : %2")
                .arg(quoted(file.fileName()), file.errorString());
    }
    return {};
}

} // namespace

StartRequest parseCommandLine(const QStringList& arguments, const QString& version) {
    StartRequest request;
    bool menu = false;
    bool optionsEnd = false;
    QStringList folders;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (optionsEnd || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            folders << a;
        } else if (a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help") ||
                   a == QLatin1String("--aide")) {
            StartRequest help;
            help.exitCode = 0;
            help.output = helpText();
            return help;
        } else if (a == QLatin1String("-v") || a == QLatin1String("--version")) {
            StartRequest shown;
            shown.exitCode = 0;
            shown.output = QStringLiteral("Lirabel3 ") + version + QLatin1Char('\n');
            return shown;
        } else if (a == QLatin1String("--menu")) {
            menu = true;
        } else if (a == QLatin1String("--poche") || a.startsWith(QLatin1String("--poche="))) {
            const bool joined = a.contains(QLatin1Char('='));
            if (!joined && i + 1 == arguments.size())
                return refused(QStringLiteral("--poche demande le nom du fichier à écrire."));
            request.pocket = joined ? a.section(QLatin1Char('='), 1) : arguments[++i];
            if (request.pocket.isEmpty())
                return refused(QStringLiteral("--poche demande le nom du fichier à écrire."));
        } else if (a == QLatin1String("--vignettes")) {
            request.thumbnails = true;
        } else if (const QtOption* qt = qtOption(a)) {
            if (qt->takesValue && !a.contains(QLatin1Char('='))) ++i;
        } else {
            return refused(QStringLiteral("Option inconnue : %1").arg(a));
        }
    }
    if (folders.size() > 1 || (menu && !folders.isEmpty()))
        return refused(QStringLiteral("Un seul dossier à la fois."));
    if (request.thumbnails && request.pocket.isEmpty())
        return refused(QStringLiteral("--vignettes va avec --poche."));
    if (menu) request.where = StartRequest::Where::Menu;
    if (!folders.isEmpty()) {
        request.where = StartRequest::Where::Named;
        request.folder = folders.first();
    }
    return request;
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
        if (!QFileInfo::exists(path)) {
            if (!QDir().mkpath(path))
                return {{},
                        QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(quoted(path))};
            if (QString error = seedLists(path); !error.isEmpty()) return {{}, error};
        }
    }
    QString reason = unusableReason(path);
    if (!reason.isEmpty()) return {{}, reason};
    return {path, {}};
}

QString enterStartFolder(const QString& path) {
    if (QDir::setCurrent(path)) return {};
    return QStringLiteral("Le dossier %1 ne peut pas être ouvert.").arg(quoted(path));
}
