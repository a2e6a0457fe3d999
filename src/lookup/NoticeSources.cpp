#include "lookup/NoticeSources.h"

#include "platform/Dialogs.h"
#include "platform/TypingFocus.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace q7::lookup;

namespace {

constexpr int sourceRole = Qt::UserRole;

Source sourceOf(const QListWidgetItem* item) {
    return static_cast<Source>(item->data(sourceRole).toInt());
}

} // namespace

NoticeSources::NoticeSources(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), list_(new QListWidget(this)), key_(new QLineEdit(this)),
      forenameFirst_(new QRadioButton(QStringLiteral("&Prénom Nom"), this)),
      surnameFirst_(new QRadioButton(QStringLiteral("&NOM Prénom"), this)) {
    setObjectName(QStringLiteral("NoticeSources"));
    setWindowTitle(QStringLiteral("Sources de notices"));

    auto* order = new QGroupBox(QStringLiteral("Sources interrogées, dans l'ordre"), this);
    list_->setAccessibleName(QStringLiteral("Sources interrogées, dans l'ordre"));
    auto* up = new QPushButton(QStringLiteral("&Monter"), order);
    auto* down = new QPushButton(QStringLiteral("&Descendre"), order);
    connect(up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { move(1); });
    auto* moves = new QVBoxLayout;
    moves->addWidget(up);
    moves->addWidget(down);
    moves->addStretch();
    auto* orderLayout = new QHBoxLayout(order);
    orderLayout->addWidget(list_, 1);
    orderLayout->addLayout(moves);

    auto* form = new QFormLayout;
    auto* keyLabel = new QLabel(QStringLiteral("&Clé d'API Google Books :"), this);
    keyLabel->setBuddy(key_);
    form->addRow(keyLabel, key_);
    key_->setToolTip(QStringLiteral("Sans clé à vous, Google Books refuse presque toujours "
                                    "(quota partagé) : la source reste éteinte."));
    connect(key_, &QLineEdit::textChanged, this, &NoticeSources::keyChanged);
    for (Source s : allSources) {
        auto* edit = new QLineEdit(this);
        address_[static_cast<int>(s)] = edit;
        auto* label =
            new QLabel(QStringLiteral("Adresse %1 :").arg(QLatin1String(sourceName(s))), this);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }

    auto* authors = new QGroupBox(QStringLiteral("Noms des auteurs inconnus de la liste"), this);
    auto* authorsLayout = new QHBoxLayout(authors);
    authorsLayout->addWidget(forenameFirst_);
    authorsLayout->addWidget(surnameFirst_);

    auto* note = new QLabel(QStringLiteral("Seul l'ISBN est envoyé, et seulement quand vous "
                                           "demandez « Compléter par l'ISBN »."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &NoticeSources::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(order);
    layout->addLayout(form);
    layout->addWidget(authors);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(560, 420);
}

void NoticeSources::setSettings(const NoticeSettings& n) {
    list_->clear();
    std::vector<Source> shown = n.order;
    for (Source s : allSources)
        if (std::find(shown.begin(), shown.end(), s) == shown.end()) shown.push_back(s);
    for (Source s : shown) {
        auto* item = new QListWidgetItem(QLatin1String(sourceName(s)), list_);
        item->setData(sourceRole, static_cast<int>(s));
        const bool on = std::find(n.order.begin(), n.order.end(), s) != n.order.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    list_->setCurrentRow(0);
    focusForTyping(list_);
    key_->setText(QString::fromStdString(n.googleKey));
    for (Source s : allSources)
        address_[static_cast<int>(s)]->setText(QString::fromStdString(n.address(s)));
    (n.authorForm == AuthorForm::surnameFirst ? surnameFirst_ : forenameFirst_)->setChecked(true);
    keyChanged();
}

NoticeSettings NoticeSources::settings() const {
    NoticeSettings n;
    n.order.clear();
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            n.order.push_back(sourceOf(list_->item(i)));
    n.googleKey = key_->text().trimmed().toStdString();
    for (Source s : allSources)
        n.address(s) = address_[static_cast<int>(s)]->text().trimmed().toStdString();
    n.authorForm =
        surnameFirst_->isChecked() ? AuthorForm::surnameFirst : AuthorForm::forenameFirst;
    return n;
}

void NoticeSources::accept() {
    for (Source s : allSources) {
        QLineEdit* edit = address_[static_cast<int>(s)];
        const QUrl url(edit->text().trimmed(), QUrl::StrictMode);
        if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
            url.host().isEmpty()) {
            dialogs_.message(QStringLiteral("L'adresse de %1 doit commencer par https:// (ou "
                                            "http://) et nommer un serveur.")
                                 .arg(QLatin1String(sourceName(s))));
            focusForTyping(edit);
            return;
        }
    }
    QDialog::accept();
}

void NoticeSources::move(int by) {
    const int row = list_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= list_->count()) return;
    QListWidgetItem* item = list_->takeItem(row);
    list_->insertItem(to, item);
    list_->setCurrentRow(to);
}

// Google Books without a key of the collector's own answers "quota exceeded": it is
// offered only once a key is given.
void NoticeSources::keyChanged() {
    const bool keyed = !key_->text().trimmed().isEmpty();
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        if (sourceOf(item) != Source::googlebooks) continue;
        Qt::ItemFlags flags = item->flags();
        flags.setFlag(Qt::ItemIsUserCheckable, keyed);
        flags.setFlag(Qt::ItemIsEnabled, keyed);
        item->setFlags(flags | Qt::ItemIsSelectable);
        if (!keyed) item->setCheckState(Qt::Unchecked);
        item->setToolTip(keyed ? QString()
                               : QStringLiteral("Donnez d'abord votre clé d'API Google Books."));
    }
}
