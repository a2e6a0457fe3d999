#include "app/Q7prin.h"

#include "app/ImportWindow.h"
#include "companions/CompanionController.h"
#include "covers/CoverController.h"
#include "lists/ListController.h"
#include "loans/LoanController.h"
#include "lookup/LookupController.h"
#include "lookup/NoticeSearchController.h"
#include "maint/MaintController.h"
#include "output/OutputController.h"
#include "output/Q7export.h"
#include "overview/OverviewController.h"
#include "overview/Q7vue.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "search/SearchController.h"
#include "settings/Settings.h"
#include "ui_Q7prin.h"
#include "widgets/FitCaption.h"
#include "widgets/Placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

namespace {

void fitCaptions(const std::vector<QWidget*>& captions) {
    for (QWidget* caption : captions)
        if (auto* label = qobject_cast<QLabel*>(caption)) fitCaption(*label);
}

} // namespace

Tformprin::Tformprin(AppState& state, Services& services, SettingsRoutine& settings,
                     QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Tformprin>()), state_(state),
      services_(services), settings_(settings) {
    ui_->setupUi(this);
    setUpFields();
    setUpTools();
    watchForClearUndo(); // first, so that every command ends the undo before it runs
    connectCommands();
    settings_.addView(this);
    qApp->installEventFilter(this);
}

Tformprin::~Tformprin() {
    qApp->removeEventFilter(this);
}

void Tformprin::setUpFields() {
    const auto beep = [this] { services_.dialogs.beep(); };
    for (const q7::FieldBinding& row : q7::fieldTable()) {
        auto* control = findChild<QWidget*>(QLatin1String(row.control));
        QWidget* caption = row.label ? findChild<QWidget*>(QLatin1String(row.label)) : nullptr;
        if (!control || (row.label && !caption))
            throw std::logic_error(std::string("the form has no ") + row.control);
        controls_.push_back(control);
        captions_.push_back(caption);
        if (auto* list = qobject_cast<SortedComboBox*>(control)) list->setMaxLength(row.maxLength);
        if (auto* edit = qobject_cast<FilterLineEdit*>(control)) {
            edit->setMaxLength(row.maxLength);
            edit->setAccepted(row.accepted ? QString::fromLatin1(row.accepted) : QString());
            edit->setBeeper(beep);
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setMaxLength(row.maxLength);
        }
    }
    nameFields();
    ui_->edtnbfiche->setMaxLength(32767);
    ui_->edtnbfiche->setAccepted(FilterLineEdit::digits());
    ui_->edtnbfiche->setBeeper(beep);
}

void Tformprin::setUpTools() {
    auto& u = *ui_;
    u.menuliste->setShortcut(QKeySequence()); // Ctrl+R belongs to "&Resumé" alone
    const std::pair<QAction*, QStyle::StandardPixmap> icons[] = {
        {u.spdbnouvfic, QStyle::SP_FileIcon},
        {u.spdbretour, QStyle::SP_ArrowBack},
        {u.spdbenregistrer, QStyle::SP_DialogSaveButton},
        {u.spdbchercher, QStyle::SP_FileDialogContentsView},
        {u.spdbvide, QStyle::SP_DialogResetButton},
        {u.spdbnote, QStyle::SP_FileDialogDetailedView},
        {u.spdbresume, QStyle::SP_FileDialogInfoView},
        {u.spdbrecliste, QStyle::SP_FileDialogListView},
        {u.spdbcarnet, QStyle::SP_DirOpenIcon},
        {u.spdbapplication, QStyle::SP_ComputerIcon},
        {u.spdbimpression, QStyle::SP_DriveFDIcon},
        {u.spdbajout, QStyle::SP_FileDialogNewFolder},
        {u.spdbaide, QStyle::SP_DialogHelpButton},
        {u.spdbvue, QStyle::SP_DesktopIcon}};
    for (const auto& [action, icon] : icons)
        action->setIcon(style()->standardIcon(icon));
    u.btbretour->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    // Qt's button for the tools that do not fit is checkable and has no text: a screen
    // reader would say "case à cocher" and nothing else.
    u.toolbar->setWindowTitle(QStringLiteral("Barre d'outils"));
    for (auto* button : u.toolbar->findChildren<QToolButton*>())
        if (!button->defaultAction()) {
            button->setAccessibleName(QStringLiteral("Autres outils"));
            button->setToolTip(QStringLiteral("Autres outils"));
        }

    setFixedSize(764, 515 + menuBar()->sizeHint().height());
    for (QAction* a : findChildren<QAction*>())
        if (!a->shortcut().isEmpty()) menuKeys_.insert(a->shortcut());
}

void Tformprin::connectCommands() {
    auto& u = *ui_;
    Dialogs& d = services_.dialogs;
    const auto bind = [&](std::initializer_list<QObject*> senders, void (Tformprin::*handler)()) {
        for (QObject* sender : senders) {
            if (auto* action = qobject_cast<QAction*>(sender))
                connect(action, &QAction::triggered, this, guarded(d, this, handler));
            else
                connect(qobject_cast<QAbstractButton*>(sender), &QAbstractButton::clicked, this,
                        guarded(d, this, handler));
        }
    };
    bind({u.menuNouvelle, u.spdbnouvfic}, &Tformprin::menuNouvelleClick);
    bind({u.menuEnregistrer, u.spdbenregistrer, u.btbenregistrer},
         &Tformprin::menuEnregistrerClick);
    bind({u.menuEffacer}, &Tformprin::menuEffacerClick);
    bind({u.menuControl, u.btbcontrol}, &Tformprin::btbcontrolClick);
    bind({u.menuRetour, u.spdbretour, u.btbretour}, &Tformprin::menuRetourClick);
    bind({u.menuReduire}, &Tformprin::menuReduireClick);
    bind({u.menuQuitter}, &Tformprin::menuQuitterClick);
    bind({u.menuVide, u.spdbvide}, &Tformprin::menuVideClick);
    bind({u.menuNotes, u.spdbnote, u.btbnotes}, &Tformprin::menuNotesClick);
    bind({u.menuResume, u.spdbresume, u.btbresume}, &Tformprin::menuResumeClick);
}

void Tformprin::attach(const Windows& windows) {
    auto& u = *ui_;
    windows_ = windows;
    search_ = std::make_unique<SearchController>(
        *this,
        SearchController::Controls{u.menuliste, u.spdbrecliste, u.menuChercher, u.spdbchercher,
                                   u.menumot, u.menuChercherpar, u.spbdebut, u.spbprecedent,
                                   u.spbsuivant, u.spbfin, u.btbchercher, u.edtnbfiche},
        *windows.recmot);
    lists_ = std::make_unique<ListController>(
        *this, ListController::Controls{u.smenuliste, u.menuanciennum}, *windows.liste,
        *windows.anciennum);
    outputs_ = std::make_unique<OutputController>(
        *this,
        OutputController::Controls{u.menuimprimerfiche, u.menuimpfiche, u.Ajouterdansliste1,
                                   u.spdbajout, u.smenuimprimer, u.spdbimpression},
        *windows.exporter, *windows.etiq);
    maint_ = std::make_unique<MaintController>(
        *this, MaintController::Controls{u.smenutrier, u.smenuinformations}, *windows.fic,
        *windows.info);
    companions_ = std::make_unique<CompanionController>(
        *this,
        CompanionController::Controls{u.smenucarnet, u.spdbcarnet, u.menuaide, u.spdbaide,
                                      u.Apropos1, u.smenuoptions, u.menuext1, u.spdbapplication,
                                      u.menuext2},
        CompanionController::Windows{*windows.carnet, *windows.aide, *windows.apropos,
                                     *windows.option});
    loans_ = std::make_unique<LoanController>(
        *this, LoanController::Controls{u.menuPreter, u.menuRetourPret, u.smenuprets, u.lblpret},
        *windows.preter, *windows.prets);
    lookup_ = std::make_unique<LookupController>(
        *this, LookupController::Controls{u.menuIsbn, u.smenusources, u.menuDeja});
    noticeSearch_ = std::make_unique<NoticeSearchController>(*this, u.menuNotice);
    overview_ = std::make_unique<OverviewController>(
        *this, OverviewController::Controls{u.menuvue, u.spdbvue}, *windows.vue, [this] {
            // Who has each book out, as the register says when the overview opens.
            q7::Borrowers out;
            for (const q7::RegisterLine& line : loans_->book().load().lines)
                if (line.loan && line.loan->out())
                    out.try_emplace(line.loan->reference, line.loan->borrower);
            return out;
        });
    covers_ = std::make_unique<CoverController>(
        *this, CoverController::Controls{u.menuCouverture, u.menuCollerCouverture, u.smenupanneau,
                                         u.smenuorphelines, u.centralwidget, u.menuAction});
    const auto takeCover = [this](const QImage& cover, const QString& origin) {
        covers_->offer(cover, origin);
    };
    lookup_->takeCover = takeCover;
    noticeSearch_->takeCover = takeCover;
    const auto lent = [this] { return q7::booksOut(loans_->book().load()); };
    windows.exporter->setLentBooks(lent);
    windows.vue->setLentBooks(lent);
    windows.import->connectTo(*this, u.menuImporter, u.menuAnnulerImport);
}

QWidget* Tformprin::control(const q7::FieldBinding& row) const {
    return controls_[static_cast<std::size_t>(&row - q7::fieldTable().data())];
}

QWidget* Tformprin::caption(const q7::FieldBinding& row) const {
    return captions_[static_cast<std::size_t>(&row - q7::fieldTable().data())];
}

QAction* Tformprin::item(const char* name) const {
    auto* action = findChild<QAction*>(QLatin1String(name));
    if (!action) throw std::logic_error(std::string("the form has no item ") + name);
    return action;
}

void Tformprin::setHits(int hits) {
    state_.hits = hits;
    ui_->edtcptfiche->setText(QString::number(hits));
}

void Tformprin::setStatus(const QString& text) {
    ui_->lblinfo->setText(text);
}

void Tformprin::showSettings(const q7::Settings& v, bool) {
    auto& u = *ui_;
    // A caption tied to its field reads "&" as a shortcut mark.
    u.lblutilisateur->setText(literalCaption(v.textutilisateur));
    u.ckbutilisateur->setText(literalCaption(v.cocheutilisateur));
    u.menutxtutil->setText(literalCaption(v.textutilisateur));
    u.menucocheutil->setText(literalCaption(v.cocheutilisateur));
    u.menuinsertutil->setText(literalCaption(v.textutilisateur));
    u.lbldevise->setText(fromBytes(v.devise));
    u.menuext1->setText(literalCaption(q7::fileNamePart(v.appext_manip)));
    u.menuext2->setText(literalCaption(q7::fileNamePart(v.appext_gest)));
    nameFields(); // the user field is named after its caption
    if (shown_) fitCaptions(captions_);
}

void Tformprin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
    // The first showing is the first activation; later returns from modal windows
    // do not run it again.
    FormActivate();
    fitCaptions(captions_);
}

void Tformprin::FormShow() {
    if (state_.data.isOpen()) return;
    centreOnScreen(*this);
    if (!runCommand(services_.dialogs, [this] { state_.data.open(); })) return;
    loans_->catalogueOpened();
    covers_->catalogueOpened();
    if (const std::string note = state_.data.takeJournalNote(); !note.empty())
        services_.dialogs.message(QString::fromStdString(note));
    if (state_.data.tailBytes() != 0)
        services_.dialogs.message(
            QStringLiteral("Le fichier Q7.dat se termine par %1 octets qui ne forment pas une "
                           "fiche entière : ils sont ignorés et resteront tels quels.")
                .arg(state_.data.tailBytes()));
}

void Tformprin::FormActivate() {
    if (activated_ || !state_.data.isOpen()) return;
    activated_ = true;
    runCommand(services_.dialogs, [this] { settings_.run(QStringLiteral("lec")); });
    applyMode(Mode::MainMenu);
    clearFields();
    state_.criterion = q7::Criterion::None;
    state_.newRecord = false;
}

void Tformprin::closeEvent(QCloseEvent* event) {
    runCommand(services_.dialogs, [this] { state_.data.close(); });
    event->accept();
}

void Tformprin::restoreFocus() {
    if (QApplication::activeModalWidget()) return; // another window is still in front
    const auto usable = [this](QWidget* w) {
        const auto* edit = qobject_cast<const QLineEdit*>(w);
        return w && w != this && w->isEnabled() && w->isVisible() && !(edit && edit->isReadOnly());
    };
    if (usable(focusWidget())) return;
    QWidget* first = control(q7::fieldTable().front());
    if (first->isEnabled())
        first->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason); // the window itself: its menus and keys
}

bool Tformprin::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::FocusIn || type == QEvent::MouseButtonPress ||
        type == QEvent::MouseButtonRelease)
        selectWhatWasLeft(watched, event);
    if (type == QEvent::Hide && qobject_cast<QDialog*>(watched)) {
        for (QObject* up = watched->parent(); up; up = up->parent())
            if (up == this) {
                // Once the command that showed the window is done with what was chosen
                // there (a book to show), whether it hid the window itself or not.
                QTimer::singleShot(
                    0, this, [this] { QTimer::singleShot(0, this, &Tformprin::restoreFocus); });
                break;
            }
    }
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence sequence(key->keyCombination());
    if (menuKeys_.count(sequence)) {
        // Menu shortcuts win over the focused field; a shortcut whose item is
        // disabled does nothing at all.
        event->ignore();
        return true;
    }
    if (type == QEvent::KeyPress && clearUndoable_ && key->matches(QKeySequence::Undo)) {
        undoClear();
        return true;
    }
    QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (type == QEvent::KeyPress && watched == first && search_)
        runCommand(services_.dialogs, [this, key] { search_->FormKeyDown(*key); });
    return false;
}
