#include "settings/Q7option.h"

#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"

#include "ui_Q7option.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

Tformoption::Tformoption(AppState&, Services& services, QWidget* parent)
    : QDialog(parent), services_(services), ui(std::make_unique<Ui::Tformoption>()) {
    ui->setupUi(this);
    Dialogs& d = services_.dialogs;
    connect(ui->btappliquer, &QPushButton::clicked, this,
            guarded(d, this, &Tformoption::btappliquerClick));
    connect(ui->btfermer, &QPushButton::clicked, this,
            guarded(d, this, &Tformoption::btfermerClick));
    // One handler for both "Parcourir", told which edit receives the name.
    connect(ui->btext1, &QPushButton::clicked, this,
            guarded(d, [this] { btext1Click(ui->edtext1); }));
    connect(ui->btext2, &QPushButton::clicked, this,
            guarded(d, [this] { btext1Click(ui->edtext2); }));
    showSettings(q7::Settings(), true);
}

Tformoption::~Tformoption() = default;

void Tformoption::setApply(std::function<void()> apply) {
    apply_ = std::move(apply);
}

int Tformoption::execute() {
    focusForTyping(ui->edttxtutil);
    return services_.modal.showModal(*this);
}

q7::Settings Tformoption::typedSettings() const {
    q7::Settings s;
    s.confirmesup = ui->cbconfirmesup->isChecked();
    s.confirmemod = ui->cbconfirmemod->isChecked();
    s.devise = toBytes(ui->edtdevise->text());
    s.textutilisateur = toBytes(ui->edttxtutil->text());
    s.cocheutilisateur = toBytes(ui->edtcocheutil->text());
    s.appext_manip = toBytes(ui->edtext1->text());
    s.appext_gest = toBytes(ui->edtext2->text());
    return s;
}

void Tformoption::showSettings(const q7::Settings& values, bool fromRead) {
    ui->edttxtutil->setText(fromBytes(values.textutilisateur));
    ui->edtcocheutil->setText(fromBytes(values.cocheutilisateur));
    ui->cbconfirmesup->setChecked(values.confirmesup);
    ui->cbconfirmemod->setChecked(values.confirmemod);
    if (fromRead) ui->edtdevise->setText(fromBytes(values.devise));
    ui->edtext1->setText(fromBytes(values.appext_manip));
    ui->edtext2->setText(fromBytes(values.appext_gest));
}

QString Tformoption::ownFileName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void Tformoption::btappliquerClick() {
    // A failed store throws and keeps the window open with what the user typed.
    if (apply_) apply_();
    accept();
}

void Tformoption::btfermerClick() {
    reject();
}

void Tformoption::btext1Click(QLineEdit* edit) {
#ifdef Q_OS_WIN
    const QString filter = QStringLiteral("Fichiers éxecutables (*.exe)");
#else
    const QString filter = QStringLiteral("Fichiers éxecutables (*)");
#endif
    const auto chosen = services_.dialogs.openFileName(QStringLiteral("Ouvrir"), filter);
    if (!chosen) return; // a cancel leaves the edit as it was
    QString name = *chosen;
    if (q7::fileNamePart(toBytes(name)) == toBytes(ownFileName())) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral("Non non Q7 ne doit pas s'appeler lui même :-)"));
        name.clear();
    }
    edit->setText(QDir::toNativeSeparators(name));
}
