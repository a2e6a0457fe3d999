#include "covers/CoverController.h"

#include "covers/CoverImage.h"
#include "covers/CoverNames.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "store/Errors.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <ctime>

using namespace q7;

namespace {

const QString hint = QStringLiteral("Pas de couverture : déposez ici une image, ou Action, "
                                    "Couverture...");
const std::string panelSetting = "Couvertures/panneau";

// A file the collector chose or dropped: through the file layer, its size checked before
// a byte is read, a device or a folder refused.
ReadImage readPictureFile(FileSystem& fs, const QString& path) {
    const std::string real = fs.resolve(path.toStdString());
    if (fs.kindOf(real) != FileKind::Regular)
        return {{}, QStringLiteral("« %1 » n'est pas un fichier").arg(QFileInfo(path).fileName())};
    const auto file = fs.open(real, OpenMode::ReadNoLink);
    if (file->size() > std::uint64_t(maxImageBytes))
        return {{}, QStringLiteral("le fichier pèse plus de %1 Mo").arg(maxImageBytes >> 20)};
    std::string bytes(file->size(), '\0');
    bytes.resize(file->readAt(bytes.data(), bytes.size(), 0));
    return readImage(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

QString quoted(const std::string& reference) {
    return QStringLiteral("« %1 »").arg(fromBytes(reference));
}

} // namespace

CoverController::CoverController(RecordWindow& window, const Controls& controls)
    : window_(window), c_(controls), panel_(new CoverPanel(controls.form)),
      remove_(new QAction(QStringLiteral("Retirer la couverture"), panel_)) {
    Dialogs& d = window.services().dialogs;
    connect(c_.menuCouverture, &QAction::triggered, this,
            guarded(d, this, &CoverController::menuCouvertureClick));
    connect(c_.menuCollerCouverture, &QAction::triggered, this,
            guarded(d, this, &CoverController::menuCollerCouvertureClick));
    connect(c_.smenuorphelines, &QAction::triggered, this,
            guarded(d, this, &CoverController::smenuorphelinesClick));
    connect(remove_, &QAction::triggered, this, guarded(d, this, &CoverController::removeClick));
    c_.smenupanneau->setCheckable(true);
    connect(c_.smenupanneau, &QAction::triggered, this,
            guarded(d, this, &CoverController::smenupanneauClick));
    panel_->addActions({c_.menuCouverture, c_.menuCollerCouverture, remove_});
    // From the keyboard too, not only by the panel's menu.
    c_.menuAction->addAction(remove_);
    remove_->setObjectName(QStringLiteral("menuRetirerCouverture"));
    panel_->onDrop = [this, &d](const QMimeData& data) {
        runCommand(d, [&] { take(data, QStringLiteral("l'image déposée")); });
    };
    const auto follow = [this] {
        const bool on = c_.menuCouverture->isEnabled();
        panel_->setAccepting(on);
        remove_->setEnabled(on && (pending_ ? !pending_->image.isNull() : panel_->showsCover()));
    };
    connect(c_.menuCouverture, &QAction::changed, this, follow);
    follow();
    c_.form->installEventFilter(this);
    fitWindow();
}

bool CoverController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.form && event->type() == QEvent::Resize)
        panel_->setGeometry(formWidth_, 0, panelWidth, c_.form->height());
    return QObject::eventFilter(watched, event);
}

q7::CoverStore CoverController::store() const {
    return q7::CoverStore(window_.state().folder);
}

void CoverController::catalogueOpened() {
    store().tidy();
}

void CoverController::fitWindow() {
    QWidget* w = c_.form->window();
    if (formWidth_ == 0) formWidth_ = w->width();
    bool shown = true;
    try {
        shown = window_.services().settingsStore.read(panelSetting).value_or("1") != "0";
    } catch (const q7::Error&) {
        // An unreadable settings file: the panel as it comes.
    }
    c_.smenupanneau->setChecked(shown);
    panel_->setVisible(shown);
    panel_->setGeometry(formWidth_, 0, panelWidth, c_.form->height());
    w->setFixedWidth(formWidth_ + (shown ? panelWidth : 0));
}

void CoverController::smenupanneauClick(bool shown) {
    window_.services().settingsStore.write(panelSetting, shown ? "1" : "0");
    fitWindow();
}

void CoverController::say(const QString& text) {
    window_.services().dialogs.beep();
    window_.services().dialogs.message(text);
}

void CoverController::menuCouvertureClick() {
    const auto chosen = window_.services().dialogs.openFileName(
        QStringLiteral("Couverture de la fiche"),
        QStringLiteral("Images (*.jpg *.jpeg *.png *.gif *.bmp *.webp);;Tous les fichiers (*)"));
    if (!chosen) return;
    const ReadImage read = readPictureFile(window_.services().fs, *chosen);
    if (!read.ok()) return say(QStringLiteral("Image non reprise : %1.").arg(read.problem));
    offer(read.image, QFileInfo(*chosen).fileName());
}

void CoverController::menuCollerCouvertureClick() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !carriesPicture(*data))
        return say(QStringLiteral("Le presse-papiers ne contient pas d'image."));
    take(*data, QStringLiteral("le presse-papiers"));
}

void CoverController::take(const QMimeData& data, const QString& origin) {
    ReadImage read;
    const QList<QUrl> urls = data.urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        const QString path = urls.front().toLocalFile();
        read = readPictureFile(window_.services().fs, path);
        if (read.ok()) return offer(read.image, QFileInfo(path).fileName());
    } else {
        // The bytes as sent, read here with the same bounds as a file.
        QStringList formats = data.formats().filter(QStringLiteral("image/"));
        if (!formats.isEmpty()) {
            read = readImage(data.data(formats.front()));
        } else if (data.hasImage()) {
            // Made by this program already: only its size is to be checked.
            const QImage image = qvariant_cast<QImage>(data.imageData());
            read = qint64(image.width()) * image.height() > maxImagePixels
                       ? ReadImage{{}, QStringLiteral("l'image est bien trop grande")}
                       : readImage(QByteArray::fromStdString(coverJpeg(image)));
        }
        if (read.ok()) return offer(read.image, origin);
    }
    say(QStringLiteral("Image non reprise : %1.")
            .arg(read.problem.isEmpty() ? QStringLiteral("ce n'est pas une image") : read.problem));
}

void CoverController::offer(const QImage& image, const QString& origin) {
    pending_ = Pending{image, origin};
    showPending();
    // Short: the status line holds two lines at most; the panel says where it comes from.
    window_.setStatus(QStringLiteral("Nouvelle couverture : gardée à l'enregistrement (Ctrl+E)"));
}

void CoverController::removeClick() {
    pending_ = Pending{};
    showPending();
}

QString CoverController::spoken() const {
    const QString title = window_.shownValue(*bindingOf(Field::titre));
    return title.isEmpty() ? QStringLiteral("Couverture") : title + QStringLiteral(", couverture");
}

void CoverController::showPending() {
    if (pending_->image.isNull())
        panel_->showNone(QStringLiteral("La couverture sera retirée à l'enregistrement."));
    else
        panel_->showCover(pending_->image, spoken(),
                          QStringLiteral("Nouvelle couverture (%1), gardée à l'enregistrement")
                              .arg(pending_->origin));
    Q_EMIT c_.menuCouverture->changed();
}

void CoverController::showStored() {
    const std::string reference = window_.state().buffer.text(Field::numero);
    const std::string path = store().find(reference);
    const QString none = editing_ ? hint : QString();
    if (path.empty()) {
        panel_->showNone(none);
    } else if (const int n = owners(reference); n > 1) {
        panel_->showNone(QStringLiteral("La référence %1 est celle de %2 fiches : leur couverture "
                                        "n'est montrée pour aucune.")
                             .arg(quoted(reference))
                             .arg(n));
    } else {
        QString problem;
        try {
            const std::string bytes = store().read(path);
            const ReadImage read = readImage(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
            if (read.ok()) {
                // A reference no file name can hold is written otherwise: said, so that the
                // collector finds the file.
                const std::string name = coverFileName(reference);
                panel_->showCover(read.image, spoken(),
                                  name.find('%') == std::string::npos
                                      ? QString()
                                      : QStringLiteral("Fichier : %1/%2")
                                            .arg(QString::fromStdString(coversFolderName),
                                                 QString::fromStdString(name)));
                Q_EMIT c_.menuCouverture->changed();
                return;
            }
            problem = read.problem;
        } catch (const std::exception& e) {
            problem = QString::fromUtf8(e.what());
        }
        panel_->showNone(QStringLiteral("Couverture illisible : %1.").arg(problem));
    }
    Q_EMIT c_.menuCouverture->changed();
}

int CoverController::owners(const std::string& reference) {
    if (!owners_) owners_ = coverOwners(window_.state().data);
    return ownersOf(*owners_, reference);
}

void CoverController::recordShown() {
    pending_.reset();
    showStored();
}

void CoverController::modeApplied(Mode mode) {
    editing_ = mode == Mode::NewRecord || mode == Mode::Browse;
    switch (mode) {
    case Mode::NewRecord:
        pending_.reset();
        panel_->showNone(hint);
        break;
    case Mode::MainMenu:
        // Whatever changes the catalogue happens from here: its books are counted again.
        pending_.reset();
        owners_.reset();
        if (!panel_->showsCover()) panel_->showNone({});
        break;
    case Mode::Search:
    case Mode::Browse:
        if (!panel_->showsCover() && !pending_) panel_->showNone(editing_ ? hint : QString());
        break;
    case Mode::Save: break;
    }
    Q_EMIT c_.menuCouverture->changed();
}

void CoverController::recordSaved(const std::string& before) {
    AppState& state = window_.state();
    const std::string now = state.buffer.text(Field::numero);
    const std::time_t when = std::time(nullptr);
    CoverStore covers = store();
    const bool renamed = !before.empty() && before != now && !covers.find(before).empty();
    // A picture already named after the reference the record takes becomes its cover.
    const bool found = before != now && !covers.find(now).empty();
    std::optional<Pending> pending = std::move(pending_);
    pending_.reset();
    owners_.reset();
    QStringList problems;
    try {
        if (renamed || pending || found) {
            const CoverOwners owners = coverOwners(state.data);
            const bool shared = ownersOf(owners, now) > 1;
            const QString twice = QStringLiteral("la référence %1 est aussi celle d'une autre "
                                                 "fiche : changez l'une des deux")
                                      .arg(quoted(now));
            // A cover two books shared stays with the one left: it may not be its own.
            if (renamed && ownersOf(owners, before) == 1)
                problems << QStringLiteral("La couverture %1, que deux fiches partageaient, reste "
                                           "celle de la référence %2 : vérifiez que c'est la "
                                           "sienne.")
                                .arg(QString::fromStdString(coverFileName(before)), quoted(before));
            if (renamed && ownersOf(owners, before) == 0) {
                if (shared)
                    problems << QStringLiteral("La couverture n'a pas suivi la référence : %1.")
                                    .arg(twice);
                else if (covers.move(before, now) == CoverStore::Moved::taken)
                    problems << QStringLiteral("La couverture de %1 n'a pas suivi la nouvelle "
                                               "référence : %2 existe déjà dans %3.")
                                    .arg(quoted(before), QString::fromStdString(coverFileName(now)),
                                         QString::fromStdString(coversFolderName));
            }
            if (found && !renamed && !pending && !shared)
                problems << QStringLiteral("L'image %1 de %2, qui n'était la couverture d'aucune "
                                           "fiche, est maintenant celle de cette fiche.")
                                .arg(QString::fromStdString(coverFileName(now)),
                                     QString::fromStdString(coversFolderName));
            if (pending && shared)
                problems
                    << QStringLiteral("La nouvelle couverture n'est pas gardée : %1.").arg(twice);
            else if (pending && pending->image.isNull())
                covers.keepAside(now, when);
            else if (pending)
                covers.put(now, coverJpeg(pending->image), when);
        }
    } catch (const std::exception& e) {
        problems << QStringLiteral("La fiche est enregistrée, mais pas sa couverture : %1")
                        .arg(errorBoxText(QString::fromUtf8(e.what())));
    }
    showStored();
    if (!problems.isEmpty()) say(problems.join(u'\n'));
}

void CoverController::recordDeleted(const std::string& reference) {
    pending_.reset();
    owners_.reset();
    panel_->showNone({});
    CoverStore covers = store();
    if (covers.find(reference).empty()) return;
    // Another book of that reference may be the cover's: it stays.
    if (ownersOf(coverOwners(window_.state().data), reference) > 0) return;
    try {
        covers.keepAside(reference, std::time(nullptr));
    } catch (const std::exception& e) {
        say(QStringLiteral("La fiche est effacée, mais sa couverture n'a pas pu être mise dans "
                           "Sauvegardes : %1 Elle reste dans %2.")
                .arg(errorBoxText(QString::fromUtf8(e.what())),
                     QString::fromStdString(coversFolderName)));
    }
}

void CoverController::smenuorphelinesClick() {
    const CoverStore covers = store();
    const CoverOwners owners = coverOwners(window_.state().data);
    QStringList lines;
    for (const CoverFile& file : covers.files()) {
        const QString name = QString::fromStdString(file.name);
        if (file.reference.empty()) {
            lines << QStringLiteral("%1 : n'est pas nommée d'après une référence").arg(name);
            continue;
        }
        const int n = ownersOf(owners, file.reference);
        if (n == 0)
            lines << QStringLiteral("%1 : aucune fiche n'a la référence %2")
                         .arg(name, quoted(file.reference));
        else if (n > 1)
            lines << QStringLiteral("%1 : %2 fiches ont la référence %3")
                         .arg(name)
                         .arg(n)
                         .arg(quoted(file.reference));
    }
    Dialogs& d = window_.services().dialogs;
    if (lines.isEmpty())
        return d.information(QStringLiteral("Chaque image de %1 est la couverture d'une fiche.")
                                 .arg(QString::fromStdString(coversFolderName)));
    lines.sort();
    const qsizetype total = lines.size();
    constexpr int shownLines = 30;
    if (total > shownLines)
        lines = lines.first(shownLines)
                << QStringLiteral("… et %1 autres.").arg(total - shownLines);
    d.information(QStringLiteral("%1 image(s) de %2 ne sont la couverture d'aucune fiche, ou de "
                                 "plusieurs. Le programme ne les efface jamais : renommez-les "
                                 "d'après la référence de leur livre, ou retirez-les "
                                 "vous-même.\n\n%3")
                      .arg(total)
                      .arg(QString::fromStdString(coversFolderName), lines.join(u'\n')));
}
