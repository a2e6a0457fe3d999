#include "app/ImportWindow.h"

#include "import/Append.h"
#include "import/ImportFile.h"
#include "import/IsbnList.h"
#include "platform/BusyCursor.h"
#include "platform/Command.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"
#include "store/Errors.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>

namespace {

const QString fileFilter = QStringLiteral("Catalogues (*.csv *.tsv *.txt *.tc *.xml *.gcs);;"
                                          "Listes d'ISBN (*.txt *.csv);;Tous les fichiers (*)");

QByteArray digest(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256);
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

ImportWindow::ImportWindow(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), state_(state), services_(services), lookup_(services.fetcher) {
    setObjectName(QStringLiteral("formimport"));
    setWindowTitle(QStringLiteral("Importer des livres"));
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("edtfichier"));
    choose_ = new QPushButton(QStringLiteral("&Choisir..."), this);
    choose_->setObjectName(QStringLiteral("btchoisir"));
    auto* fileLabel = new QLabel(QStringLiteral("&Fichier à importer :"), this);
    fileLabel->setBuddy(file_);
    lists_ = new QCheckBox(QStringLiteral("Ajouter aussi les valeurs nouvelles aux &listes"), this);
    lists_->setObjectName(QStringLiteral("ckblistes"));
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("memrapport"));
    report_->setReadOnly(true);
    report_->setAccessibleName(QStringLiteral("Rapport de l'importation"));
    report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    report_->setMinimumSize(560, 300);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblcompte"));
    trial_ = new QPushButton(QStringLiteral("&Essayer"), this);
    trial_->setObjectName(QStringLiteral("btessai"));
    import_ = new QPushButton(QStringLiteral("&Importer"), this);
    import_->setObjectName(QStringLiteral("btimporter"));
    undo_ = new QPushButton(QStringLiteral("&Annuler la dernière importation"), this);
    undo_->setObjectName(QStringLiteral("btannuler"));
    close_ = new QPushButton(QStringLiteral("Fer&mer"), this);
    close_->setObjectName(QStringLiteral("btfermer"));
    stop_ = new QPushButton(QStringLiteral("Arrê&ter"), this);
    stop_->setObjectName(QStringLiteral("btarreter"));
    stop_->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(file_, 0, 1);
    grid->addWidget(choose_, 0, 2);
    grid->addWidget(lists_, 1, 1, 1, 2);
    // Enter runs the trial, never the import: appending takes its own click or Alt+I.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {trial_, import_, undo_, close_, stop_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    trial_->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(report_, 1);
    layout->addWidget(count_);
    layout->addLayout(buttons);

    Dialogs& d = services_.dialogs;
    connect(choose_, &QPushButton::clicked, this, guarded(d, this, &ImportWindow::chooseFile));
    connect(trial_, &QPushButton::clicked, this, guarded(d, this, &ImportWindow::trial));
    connect(import_, &QPushButton::clicked, this, guarded(d, this, &ImportWindow::importNow));
    connect(undo_, &QPushButton::clicked, this, guarded(d, this, &ImportWindow::undoLast));
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(stop_, &QPushButton::clicked, this, &ImportWindow::stop);
    connect(&lookup_, &q7::lookup::IsbnLookup::progress, this,
            [this](const QString& status) { count_->setText(isbnLine_ + status); });
    // A trial of another file, or with the lists, is needed before an import.
    const auto outdated = [this] { import_->setEnabled(false); };
    connect(file_, &QLineEdit::textEdited, this, outdated);
    connect(lists_, &QCheckBox::toggled, this, outdated);
}

void ImportWindow::connectTo(RecordWindow& window, QAction* importItem, QAction* undoItem) {
    window_ = &window;
    Dialogs& d = services_.dialogs;
    connect(importItem, &QAction::triggered, this, guarded(d, this, &ImportWindow::open));
    connect(undoItem, &QAction::triggered, this, guarded(d, this, &ImportWindow::undoLast));
}

void ImportWindow::open() {
    if (running_) return;
    import_->setEnabled(false);
    tried_.reset();
    report_->setPlainText(QStringLiteral(
        "Choisissez un fichier : un tableur enregistré en CSV ou en TSV, une collection "
        "Tellico ou GCstar, ou une liste d'ISBN (un par ligne, comme l'écrit un lecteur de "
        "codes-barres), dont chaque livre est demandé aux sources de notices. Son essai "
        "s'affiche ici, sans rien changer au catalogue ; « Importer » ajoute alors ses "
        "livres."));
    showCount();
    focusForTyping(file_);
    services_.modal.showModal(*this);
}

void ImportWindow::chooseFile() {
    if (running_) return;
    const std::optional<QString> chosen =
        services_.dialogs.openFileName(QStringLiteral("Fichier à importer"), fileFilter);
    if (!chosen) return;
    file_->setText(*chosen);
    trial();
}

std::optional<std::string> ImportWindow::readChosenFile() {
    const QString path = file_->text().trimmed();
    QString why = QStringLiteral("Choisissez d'abord le fichier à importer.");
    if (!path.isEmpty()) {
        try {
            return q7::import::readImportFile(QFile::encodeName(path).toStdString());
        } catch (const q7::Error& e) {
            why = text(e.what()) + u'.';
        }
    }
    services_.dialogs.beep();
    showReport(why);
    return std::nullopt;
}

q7::import::AppendRequest ImportWindow::requestFor(const q7::import::SourceFile& source,
                                                   const QString& path) {
    return {&source, QFileInfo(path).fileName().toStdString(), lists_->isChecked(),
            std::time(nullptr), progress()};
}

q7::import::SourceFile ImportWindow::readBooks(const std::string& bytes) {
    if (!q7::import::looksLikeIsbnList(bytes)) {
        const BusyCursor busy(services_.cursor);
        return q7::import::readSource(bytes, q7::import::Format::automatic, {});
    }
    showReport(QStringLiteral("Liste d'ISBN : chaque livre est demandé aux sources de notices, "
                              "au plus une demande par seconde et par source. « Arrêter » ou "
                              "Échap interrompt la recherche sans rien ajouter au catalogue."));
    q7::import::IsbnListRequest request;
    request.folder = state_.folder.dir();
    request.settings = &services_.settingsStore;
    request.lookup = &lookup_;
    request.stopped = [this] { return stopAsked_; };
    request.progress = [this](int rank, int total, const std::string& isbn13) {
        isbnLine_ = QStringLiteral("ISBN %1 sur %2 : ").arg(rank).arg(total);
        count_->setText(isbnLine_ + text(isbn13));
    };
    // The lookup runs an event loop: until it ends, only "Arrêter" may act.
    setRunning(true);
    struct Ended {
        ImportWindow* w;
        ~Ended() { w->setRunning(false); }
    } ended{this};
    return q7::import::readIsbnList(bytes, request);
}

void ImportWindow::setRunning(bool on) {
    running_ = on;
    for (QWidget* w :
         std::initializer_list<QWidget*>{file_, choose_, lists_, trial_, import_, undo_, close_})
        w->setEnabled(!on);
    import_->setEnabled(false); // enabled again by a trial that found books
    stop_->setEnabled(on);
    if (on) {
        stopAsked_ = false;
        focusBefore_ = focusWidget();
        stop_->setFocus();
        return;
    }
    (focusBefore_ ? focusBefore_.data() : file_)->setFocus();
    // Closed meanwhile: once the command that ran the lookup has returned.
    if (closeAfter_) {
        closeAfter_ = false;
        QMetaObject::invokeMethod(this, &ImportWindow::reject, Qt::QueuedConnection);
    }
}

void ImportWindow::stop() {
    if (!running_) return;
    stopAsked_ = true;
    count_->setText(QStringLiteral("Arrêt de la recherche..."));
    lookup_.cancel();
}

// Escape stops a lookup before it closes the window.
void ImportWindow::reject() {
    if (running_) return stop();
    QDialog::reject();
}

void ImportWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        closeAfter_ = true;
        stop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ImportWindow::trial() {
    if (running_) return;
    import_->setEnabled(false);
    tried_.reset();
    const std::optional<std::string> bytes = readChosenFile();
    if (!bytes) return;
    const QString path = file_->text().trimmed();
    try {
        q7::import::SourceFile source = readBooks(*bytes);
        const BusyCursor busy(services_.cursor);
        q7::import::Report report =
            q7::import::trialImport(state_.folder, requestFor(source, path));
        report.action = "essai, rien n'est écrit (« Importer » pour ajouter les livres)";
        showReport(text(q7::import::renderReport(report)));
        import_->setEnabled(report.imported > 0);
        tried_ = Tried{path, digest(*bytes), std::move(source)};
    } catch (const q7::import::IsbnListStopped& e) {
        showStopped(e);
    } catch (const std::exception& e) {
        services_.dialogs.beep();
        showReport(QStringLiteral("Le fichier « %1 » ne peut pas être importé : %2")
                       .arg(QFileInfo(path).fileName(), text(e.what())));
    }
    showCount();
}

void ImportWindow::importNow() {
    if (running_) return;
    if (!tried_ || tried_->path != file_->text().trimmed()) return trial();
    const Tried kept = std::move(*tried_);
    import_->setEnabled(false);
    tried_.reset();
    const std::optional<std::string> bytes = readChosenFile();
    if (!bytes) return;
    try {
        // Changed since the trial: read (and asked) again, said at the report's head.
        std::optional<q7::import::SourceFile> fresh;
        if (digest(*bytes) != kept.digest) {
            fresh = readBooks(*bytes);
            fresh->notes.insert(fresh->notes.begin(),
                                "Le fichier a changé depuis l'essai : il a été relu.");
        }
        const BusyCursor busy(services_.cursor);
        const q7::import::Report report = q7::import::appendImport(
            state_.data, state_.folder, requestFor(fresh ? *fresh : kept.source, kept.path));
        showReport(text(q7::import::renderReport(report)));
    } catch (const q7::import::IsbnListStopped& e) {
        showStopped(e);
        showCount();
        return;
    } catch (const std::exception& e) {
        showReport(text(e.what()));
        showCount();
        throw;
    }
    catalogueChanged();
}

void ImportWindow::undoLast() {
    if (running_) return;
    // Which import, said before anything is taken away; Enter keeps the books.
    QString named = text(q7::import::lastImportNamed(state_.folder));
    if (!named.isEmpty()) named[0] = named[0].toLower();
    if (!askDefaultNo(
            services_.dialogs,
            QStringLiteral("Défaire %1 ? Ses fiches sont retirées du catalogue.").arg(named)))
        return;
    try {
        const BusyCursor busy(services_.cursor);
        const std::string said =
            q7::import::undoLastImport(state_.data, state_.folder, std::time(nullptr));
        showReport(text(said));
        if (!isVisible()) services_.dialogs.information(text(said));
    } catch (const std::exception& e) {
        showReport(text(e.what()));
        throw;
    }
    catalogueChanged();
}

void ImportWindow::catalogueChanged() {
    showCount();
    // The record shown and the drop-downs may belong to the catalogue before.
    if (window_) {
        window_->applyMode(Mode::MainMenu);
        window_->loadValueLists();
    }
}

// A large file takes seconds, run without the event loop (the catalogue must not change
// under it): the line under the report counts the books as the importer passes them.
q7::import::Progress ImportWindow::progress() {
    return [this](int done, int total) {
        count_->setText(QStringLiteral("Livres examinés : %1 sur %2...").arg(done).arg(total));
        count_->repaint();
    };
}

void ImportWindow::showStopped(const q7::import::IsbnListStopped& e) {
    showReport(text(e.what()) + QStringLiteral("\nUn nouvel essai reprend la liste sans "
                                               "redemander les réponses déjà reçues."));
}

void ImportWindow::showReport(const QString& text) {
    report_->setPlainText(text);
}

void ImportWindow::showCount() {
    const int n = state_.data.count();
    count_->setText(n == 1 ? QStringLiteral("Le catalogue compte 1 fiche.")
                           : QStringLiteral("Le catalogue compte %1 fiches.").arg(n));
}
