#include "companions/Q7aide.h"

#include "companions/HelpChapters.h"
#include "companions/LineBreaks.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"
#include "record/AppState.h"

#include "ui_Q7aide.h"

#include <QLineEdit>

Tformaide::Tformaide(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), state_(state), services_(services), ui(std::make_unique<Ui::Tformaide>()) {
    ui->setupUi(this);
    ui->memoaide->viewport()->setCursor(Qt::WhatsThisCursor);
    ui->cblisteaide->setEditText(QStringLiteral("Choisissez un chapitre"));
    connect(ui->cblisteaide, &QComboBox::activated, this,
            guarded(services_.dialogs, this, &Tformaide::cblisteaideClick));
    connect(ui->Button1, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &Tformaide::Button1Click));
}

Tformaide::~Tformaide() = default;

bool Tformaide::execute() {
    if (!FormShow()) return false;
    services_.modal.showModal(*this);
    return true;
}

bool Tformaide::FormShow() {
    const std::optional<q7::Folder> folder = q7::helpFolder(state_.folder, services_.installedDir);
    if (!folder) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral(
            "Le fichier d'aide est introuvable ( Q7aide.txt )! Contactez l'auteur pour en "
            "obtenir une copie."));
        return false;
    }
    showText(q7::readHelpText(*folder));
    // The list is rebuilt, the text chosen last time stays.
    QComboBox* selector = ui->cblisteaide;
    const QString kept = selector->currentText();
    selector->clear();
    for (const q7::HelpChapter& chapter : q7::helpChapters())
        selector->addItem(fromBytes(chapter.caption));
    selector->setCurrentIndex(-1);
    selector->setEditText(kept);
    focusForTyping(selector);
    return true;
}

void Tformaide::showText(const std::string& crLfBytes) {
    ui->memoaide->setPlainText(fromBytes(q7::withLf(crLfBytes)));
    ui->memoaide->moveCursor(QTextCursor::Start);
}

void Tformaide::cblisteaideClick() {
    // Read again: an edited help file is seen at once.
    const std::string text = q7::readHelpText(
        q7::helpFolder(state_.folder, services_.installedDir).value_or(state_.folder));
    const q7::HelpChapter* chapter = q7::findHelpChapter(toBytes(ui->cblisteaide->currentText()));
    showText(chapter ? q7::chapterText(text, *chapter) : text);
}

void Tformaide::Button1Click() {
    reject();
}
