#include "app/Q7prin.h"

#include "app/Q7note.h"
#include "app/Q7resume.h"
#include "app/Q7unit.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "settings/Settings.h"
#include "store/Errors.h"
#include "ui_Q7prin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QStyle>

Tformprin::Tformprin(AppState& state, Services& services, Windows& windows,
                     SettingsRoutine& settings, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Tformprin>()), state_(state),
      services_(services), windows_(windows), settings_(settings) {
    ui_->setupUi(this);
    setUpWidgets();
    connectCommands();
    connectSearch();
    connectOutputs();
    connectMaintenance();
    connectCompanions();
    connectLists();
    settings_.addView(this);
    qApp->installEventFilter(this);
}

Tformprin::~Tformprin() {
    qApp->removeEventFilter(this);
}

namespace {
QString menuCaption(const std::string& bytes) {
    QString t = fromBytes(bytes);
    return t.replace(u'&', QStringLiteral("&&"));
}
} // namespace

void Tformprin::setUpWidgets() {
    auto& u = *ui_;
    // Keyboard limits of the fields.
    const struct {
        SortedComboBox* cb;
        int limit;
    } limits[] = {{u.cbtitre, 55},      {u.cbauteur, 42},  {u.cbsujet, 42},
                  {u.cbcollection, 42}, {u.cbedition, 42}, {u.cbutilisateur, 42},
                  {u.cbimprimeur, 42},  {u.cbtype, 20},    {u.cblangue, 13},
                  {u.cbetat, 13},       {u.cbpos1, 20},    {u.cbpos2, 20},
                  {u.cbpos3, 20},       {u.cbpos4, 20},    {u.cborigine, 42}};
    for (const auto& l : limits)
        l.cb->setMaxLength(l.limit);
    const auto beep = [this] { services_.dialogs.beep(); };
    const QString digits = FilterLineEdit::digits();
    const struct {
        FilterLineEdit* e;
        int limit;
        QString accepted;
    } edits[] = {
        {u.edtisbn, 13,
         QStringLiteral("-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") + digits},
        {u.edtprix, 4, QStringLiteral(",") + digits},
        {u.edtanedition, 4, digits},
        {u.edtnbpage, 4, digits},
        {u.edtjour, 2, digits},
        {u.edtmois, 2, digits},
        {u.edtannee, 4, digits},
        {u.edtnbfiche, 32767, digits},
    };
    for (const auto& e : edits) {
        e.e->setMaxLength(e.limit);
        e.e->setAccepted(e.accepted);
        e.e->setBeeper(beep);
    }
    u.edtnumero->setMaxLength(8);
    u.menuliste->setShortcut(QKeySequence()); // Ctrl+R belongs to "&Resumé" alone

    // Tool bar icons.
    const struct {
        QAction* a;
        QStyle::StandardPixmap icon;
    } icons[] = {{u.spdbnouvfic, QStyle::SP_FileIcon},
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
                 {u.spdbaide, QStyle::SP_DialogHelpButton}};
    for (const auto& i : icons)
        i.a->setIcon(style()->standardIcon(i.icon));
    u.btbretour->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));

    // Fixed size, centred on the desktop.
    setFixedSize(764, 515 + menuBar()->sizeHint().height());
    for (QAction* a : findChildren<QAction*>())
        if (!a->shortcut().isEmpty()) menuKeys_.insert(a->shortcut());
}

void Tformprin::connectCommands() {
    auto& u = *ui_;
    auto bind = [this](QAction* a, void (Tformprin::*handler)()) {
        connect(a, &QAction::triggered, this,
                [this, handler] { command([&] { (this->*handler)(); }); });
    };
    auto bindButton = [this](QAbstractButton* b, void (Tformprin::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { command([&] { (this->*handler)(); }); });
    };
    bind(u.menuNouvelle, &Tformprin::menuNouvelleClick);
    bind(u.spdbnouvfic, &Tformprin::menuNouvelleClick);
    bind(u.menuEnregistrer, &Tformprin::menuEnregistrerClick);
    bind(u.spdbenregistrer, &Tformprin::menuEnregistrerClick);
    bindButton(u.btbenregistrer, &Tformprin::menuEnregistrerClick);
    bind(u.menuEffacer, &Tformprin::menuEffacerClick);
    bind(u.menuControl, &Tformprin::btbcontrolClick);
    bindButton(u.btbcontrol, &Tformprin::btbcontrolClick);
    bind(u.menuRetour, &Tformprin::menuRetourClick);
    bind(u.spdbretour, &Tformprin::menuRetourClick);
    bindButton(u.btbretour, &Tformprin::menuRetourClick);
    bind(u.menuReduire, &Tformprin::menuReduireClick);
    bind(u.menuQuitter, &Tformprin::menuQuitterClick);
    bind(u.menuVide, &Tformprin::menuVideClick);
    bind(u.spdbvide, &Tformprin::menuVideClick);
    bind(u.menuNotes, &Tformprin::menuNotesClick);
    bind(u.spdbnote, &Tformprin::menuNotesClick);
    bindButton(u.btbnotes, &Tformprin::menuNotesClick);
    bind(u.menuResume, &Tformprin::menuResumeClick);
    bind(u.spdbresume, &Tformprin::menuResumeClick);
    bindButton(u.btbresume, &Tformprin::menuResumeClick);
}

bool Tformprin::command(const std::function<void()>& body) {
    return runCommand(services_.dialogs, body);
}

void Tformprin::showSettings(const q7::Settings& v, bool) {
    auto& u = *ui_;
    u.lblutilisateur->setText(fromBytes(v.textutilisateur));
    u.ckbutilisateur->setText(menuCaption(v.cocheutilisateur));
    u.menutxtutil->setText(menuCaption(v.textutilisateur));
    u.menucocheutil->setText(menuCaption(v.cocheutilisateur));
    u.menuinsertutil->setText(menuCaption(v.textutilisateur));
    u.lbldevise->setText(fromBytes(v.devise));
    u.menuext1->setText(menuCaption(q7::fileNamePart(v.appext_manip)));
    u.menuext2->setText(menuCaption(q7::fileNamePart(v.appext_gest)));
}

void Tformprin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
    // The first showing is the first activation; later returns from modal windows
    // do not run it again.
    FormActivate();
}

void Tformprin::FormShow() {
    if (state_.data.isOpen()) return;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    try {
        state_.data.open();
    } catch (const std::exception& e) {
        services_.dialogs.error(errorBoxText(QString::fromUtf8(e.what())));
        return;
    }
    if (state_.data.tailBytes() != 0)
        services_.dialogs.message(
            QStringLiteral("Le fichier Q7.dat se termine par %1 octets qui ne forment pas une "
                           "fiche entière : ils sont ignorés et resteront tels quels.")
                .arg(state_.data.tailBytes()));
}

void Tformprin::FormActivate() {
    if (activated_ || !state_.data.isOpen()) return;
    activated_ = true;
    command([this] { settings_.run(QStringLiteral("lec")); });
    applyMode(0);
    q7unit::clearFields(*this);
    state_.criterion = 100;
    state_.newRecord = false;
    Q_EMIT activated();
}

void Tformprin::closeEvent(QCloseEvent* event) {
    command([this] { state_.data.close(); });
    event->accept();
}

bool Tformprin::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
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
    QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (type == QEvent::KeyPress && watched == first) FormKeyDown(key);
    return false;
}
