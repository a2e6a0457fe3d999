#include "companions/apropos.h"

#include "platform/Command.h"
#include "platform/Services.h"

#include "ui_apropos.h"

#include <QKeyEvent>
#include <QMouseEvent>

Taproposform::Taproposform(AppState&, Services& services, QWidget* parent)
    : QDialog(parent), services_(services), ui(std::make_unique<Ui::Taproposform>()) {
    ui->setupUi(this);
    ui->Label3->setText(QStringLiteral(Q7_CONTACT));
    ui->Label3->installEventFilter(this);
    connect(ui->btbfermer, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &Taproposform::btbfermerClick));
}

Taproposform::~Taproposform() = default;

void Taproposform::execute() {
    ui->btbfermer->setFocus();
    services_.modal.showModal(*this);
}

QString Taproposform::mailUrl() {
    return QStringLiteral("mailto:") + QStringLiteral(Q7_CONTACT) +
           QStringLiteral("?subject=Lirabel3&body=votre message ");
}

bool Taproposform::eventFilter(QObject* watched, QEvent* event) {
    // The address acts as a link: a click, or Enter or Space when it has the focus.
    if (watched == ui->Label3) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            runCommand(services_.dialogs, [this] { Label3Click(); });
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                runCommand(services_.dialogs, [this] { Label3Click(); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Taproposform::Label3Click() {
    // The result is not looked at: without a mail program nothing happens.
    services_.launcher.openMailto(mailUrl());
}

void Taproposform::btbfermerClick() {
    reject();
}
