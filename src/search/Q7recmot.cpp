#include "search/Q7recmot.h"

#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/TypingFocus.h"
#include "ui_Q7recmot.h"
#include "widgets/TickedRadio.h"

#include <QKeyEvent>

TFormrecmot::TFormrecmot(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFormrecmot>()), state_(state),
      services_(services) {
    ui_->setupUi(this);
    setFixedSize(size());
    for (QRadioButton* rb : {ui_->rbtitre, ui_->rbnotes, ui_->rbutilisateur})
        connect(rb, &QRadioButton::clicked, this, &TFormrecmot::rbtitreClick);
    tabToTheTickedRadio({ui_->rbtitre, ui_->rbnotes, ui_->rbutilisateur});
    connect(ui_->btcherchermot, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &TFormrecmot::btcherchermotClick));
    connect(ui_->btannuler, &QPushButton::clicked, this, &QDialog::reject);
}

TFormrecmot::~TFormrecmot() = default;

void TFormrecmot::showSettings(const q7::Settings& values, bool) {
    ui_->rbutilisateur->setText(literalCaption(values.textutilisateur));
}

void TFormrecmot::FormShow() {
    state_.word.field = q7::Field::titre;
    ui_->rbtitre->setChecked(true);
    focusForTyping(ui_->edtrecmot);
}

void TFormrecmot::rbtitreClick() {
    state_.word.field = ui_->rbnotes->isChecked()         ? q7::Field::notes
                        : ui_->rbutilisateur->isChecked() ? q7::Field::txtutil
                                                          : q7::Field::titre;
}

void TFormrecmot::btcherchermotClick() {
    state_.word.word = toBytes(ui_->edtrecmot->text());
    if (start_) start_();
}

void TFormrecmot::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormrecmot::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
