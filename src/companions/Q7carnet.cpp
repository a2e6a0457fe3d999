#include "companions/Q7carnet.h"

#include "companions/FindDialog.h"
#include "companions/LineBreaks.h"
#include "companions/Notebook.h"
#include "platform/Command.h"
#include "platform/MemoText.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"

#include "ui_Q7carnet.h"

#include <QTextCursor>
#include <QTextDocument>

Tcarnetform::Tcarnetform(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), state_(state), services_(services), ui(std::make_unique<Ui::Tcarnetform>()) {
    ui->setupUi(this);
    find_ = new FindDialog(this);
    Dialogs& d = services_.dialogs;
    connect(ui->btdate, &QPushButton::clicked, this, guarded(d, this, &Tcarnetform::btdateClick));
    connect(ui->btreference, &QPushButton::clicked, this,
            guarded(d, this, &Tcarnetform::btreferenceClick));
    connect(ui->btcherche, &QPushButton::clicked, this,
            guarded(d, this, &Tcarnetform::btchercheClick));
    connect(ui->btfermer, &QPushButton::clicked, this,
            guarded(d, this, &Tcarnetform::btfermerClick));
    connect(find_, &FindDialog::find, this, guarded(d, this, &Tcarnetform::FindDialogFind));
}

Tcarnetform::~Tcarnetform() = default;

void Tcarnetform::setRecordFields(std::function<std::pair<QString, QString>()> fields) {
    recordFields_ = std::move(fields);
}

void Tcarnetform::execute() {
    FormActivate();
    services_.modal.showModal(*this);
}

void Tcarnetform::FormActivate() {
    // Reloaded at every opening: changes refused at the last closing are gone.
    const std::string bytes = q7::loadNotebook(state_.folder);
    ui->memcarnet->setPlainText(fromBytes(q7::withLf(bytes)));
    ui->memcarnet->moveCursor(QTextCursor::Start);
    ui->memcarnet->setFocus();
    ui->memcarnet->document()->setModified(false);
}

void Tcarnetform::appendLines(const std::vector<std::string>& lines) {
    // Stamps go at the end whatever the caret position.
    QPlainTextEdit* memo = ui->memcarnet;
    const QString text = memoText(*memo);
    const bool atLineStart = text.isEmpty() || text.endsWith(u'\n');
    QTextCursor end(memo->document());
    end.movePosition(QTextCursor::End);
    end.insertText(fromBytes(q7::withLf(q7::linesToAppend(atLineStart, lines))));
    memo->setTextCursor(end);
    memo->ensureCursorVisible();
}

void Tcarnetform::btdateClick() {
    const Today today = services_.clock.today();
    appendLines({q7::dateStamp(today.day, today.month, today.year)});
}

void Tcarnetform::btreferenceClick() {
    const auto [title, reference] = recordFields_ ? recordFields_() : std::pair<QString, QString>();
    appendLines(q7::referenceStamp(toBytes(title), toBytes(reference)));
}

void Tcarnetform::btchercheClick() {
    find_->present();
}

void Tcarnetform::FindDialogFind(const QString& what) {
    QPlainTextEdit* memo = ui->memcarnet;
    const QString text = memoText(*memo);
    const auto start = static_cast<std::size_t>(memo->textCursor().selectionEnd());
    const auto at = q7::findForward(u16view(text), u16view(what), start);
    if (!at) {
        services_.dialogs.informationSound();
        services_.dialogs.information(QStringLiteral("Texte non trouvé"));
        return;
    }
    QTextCursor found(memo->document());
    found.setPosition(static_cast<int>(*at));
    found.setPosition(static_cast<int>(*at) + static_cast<int>(what.size()),
                      QTextCursor::KeepAnchor);
    memo->setTextCursor(found);
    memo->setFocus();
}

void Tcarnetform::btfermerClick() {
    reject();
}

bool Tcarnetform::FormCloseQuery() {
    QTextDocument* doc = ui->memcarnet->document();
    if (!doc->isModified()) return true;
    services_.dialogs.informationSound();
    if (!services_.dialogs.informationQuestion(QStringLiteral("Enrégistrer les modifications ?"))) {
        doc->setModified(false);
        return true;
    }
    // A notebook that cannot be written stays in the window, so nothing typed is lost.
    return runCommand(services_.dialogs, [this, doc] {
        if (memoText(*ui->memcarnet).isEmpty()) {
            ui->memcarnet->setPlainText(QStringLiteral("Vide"));
            doc->setModified(true);
        }
        q7::saveNotebook(state_.folder, q7::withCrLf(toBytes(memoText(*ui->memcarnet))));
        doc->setModified(false);
    });
}

void Tcarnetform::done(int result) {
    // Every way out (Fermer, Esc, the close box) comes here.
    if (!FormCloseQuery()) return;
    find_->hide();
    QDialog::done(result);
}
