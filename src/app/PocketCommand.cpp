#include "app/PocketCommand.h"

#include "loans/LoanRegister.h"
#include "output/PocketPage.h"
#include "output/Thumbnails.h"
#include "platform/QtSettingsBackend.h"
#include "settings/Settings.h"
#include "store/DataFile.h"
#include "store/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>

#include <ctime>
#include <optional>

namespace {

QString quoted(const QString& path) {
    return QStringLiteral("« ") + QDir::toNativeSeparators(path) + QStringLiteral(" »");
}

PocketOutcome failed(const QString& why, int code = 1) {
    return {code, {}, QStringLiteral("lirabel3 : ") + why + QLatin1Char('\n')};
}

// The settings as the program reads them, without creating the settings file of a user
// who never opened the program.
q7::Settings userSettings() {
    q7::Settings values;
#ifndef Q_OS_WIN
    const QString file =
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("wutfn")).fileName();
    if (!QFileInfo::exists(file)) return values;
#endif
    QtSettingsBackend store;
    q7::readSettings(store, values);
    return values;
}

} // namespace

PocketOutcome writePocketCatalogue(const StartRequest& request, const QString& home,
                                   const QString& current) {
    const QString target = QDir::cleanPath(QDir(current).absoluteFilePath(request.pocket));
    if (!q7::pocketPageName(target.toStdString()))
        return failed(QStringLiteral("le catalogue de poche est une page HTML : donnez un nom "
                                     "en .html (et non %1).")
                          .arg(quoted(request.pocket)));
    if (QFileInfo(target).isDir())
        return failed(QStringLiteral("%1 est un dossier : donnez le nom du fichier à écrire.")
                          .arg(quoted(target)));
    QString folder = current;
    if (request.where == StartRequest::Where::Named)
        folder = QDir::cleanPath(QDir(current).absoluteFilePath(request.folder));
    else if (request.where == StartRequest::Where::Menu)
        folder = menuFolder(home);
    if (!QFileInfo(folder).isDir())
        return failed(QStringLiteral("le dossier %1 n'existe pas.").arg(quoted(folder)));
    const q7::Folder data(q7::posixFileSystem(), folder.toStdString());
    // Opening would create an empty catalogue: there is none to read.
    if (!data.exists(q7::dataFileName))
        return failed(
            QStringLiteral("le dossier %1 n'a pas de catalogue (Q7.dat).").arg(quoted(folder)));

    try {
        q7::DataFile catalogue(data);
        try {
            catalogue.open();
        } catch (const q7::LockedError&) {
            return failed(QStringLiteral("Lirabel 3 a ce catalogue ouvert (Q7.dat est "
                                         "verrouillé) : le catalogue de poche n'a pas été "
                                         "écrit. Relancez la commande une fois le programme "
                                         "fermé."),
                          pocketLockedExit);
        }
        QString warnings;
        q7::LentBooks lent;
        try {
            lent = q7::booksOut(q7::loadRegister(data));
        } catch (const q7::Error& e) {
            warnings += QStringLiteral("lirabel3 : le registre des prêts n'a pas pu être lu "
                                       "(%1) : les livres prêtés ne sont pas signalés.\n")
                            .arg(QString::fromUtf8(e.what()));
        }
        q7::PageExtras extras{std::time(nullptr), &lent, {}, {}};
        std::optional<Covers> covers;
        if (request.thumbnails) {
            covers.emplace(catalogue);
            extras.thumbnail = [&covers](std::string_view reference) {
                return covers->thumbnail(reference);
            };
        }
        catalogue.seek(0);
        q7::writePocketPage(
            q7::posixFileSystem(), target.toStdString(), catalogue.count(),
            [&catalogue](int) -> const q7::Fiche& { return catalogue.readNext(); }, userSettings(),
            extras);
        // Not closed: closing deletes an empty catalogue, and this command writes nothing
        // in the folder. The lock goes as the file is let go.
        const QLocale french(QLocale::French, QLocale::France);
        const int books = catalogue.count();
        return {0,
                QStringLiteral("Catalogue de poche écrit : %1 %2 dans %3 (%4).\n")
                    .arg(french.toString(books),
                         books > 1 ? QStringLiteral("livres") : QStringLiteral("livre"),
                         quoted(target), readableSize(std::uint64_t(QFileInfo(target).size()))),
                warnings};
    } catch (const q7::Error& e) {
        return failed(QStringLiteral("le catalogue de poche n'a pas été écrit : %1")
                          .arg(QString::fromUtf8(e.what())));
    }
}
