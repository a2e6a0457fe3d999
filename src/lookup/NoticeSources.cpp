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

constexpr int rowRole = Qt::UserRole; // the source's row in the table

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

NoticeSources::NoticeSources(Dialogs& dialogs, QWidget* parent, std::span<const Source> table)
    : QDialog(parent), dialogs_(dialogs), list_(new QListWidget(this)),
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
    for (const Source& s : table) {
        Row row{&s, nullptr, nullptr};
        if (s.keySetting) {
            // Without a key of the collector's own, such a service answers "quota exceeded".
            row.key = new QLineEdit(this);
            auto* label = new QLabel(QStringLiteral("&Clé d'API %1 :").arg(utf8(s.name)), this);
            label->setBuddy(row.key);
            form->addRow(label, row.key);
            row.key->setToolTip(QStringLiteral("Sans clé à vous, %1 refuse presque toujours "
                                               "(quota partagé) : la source reste éteinte.")
                                    .arg(utf8(s.name)));
            connect(row.key, &QLineEdit::textChanged, this, &NoticeSources::keyChanged);
        }
        rows_.push_back(row);
    }
    for (Row& row : rows_) {
        row.address = new QLineEdit(this);
        auto* label = new QLabel(QStringLiteral("Adresse %1 :").arg(utf8(row.source->name)), this);
        label->setBuddy(row.address);
        form->addRow(label, row.address);
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

    // Down the window: the order, the keys, the addresses, the names' form.
    setTabOrder(list_, up);
    setTabOrder(up, down);
    QWidget* previous = down;
    for (const Row& row : rows_)
        if (row.key) setTabOrder(previous, row.key), previous = row.key;
    for (const Row& row : rows_)
        setTabOrder(previous, row.address), previous = row.address;
    setTabOrder(previous, forenameFirst_);
}

const NoticeSources::Row& NoticeSources::rowOf(const QListWidgetItem* item) const {
    return rows_.at(static_cast<std::size_t>(item->data(rowRole).toInt()));
}

void NoticeSources::setSettings(const NoticeSettings& n) {
    list_->clear();
    for (const SourceSetting& setting : n.sources) {
        const auto row = std::ranges::find(rows_, setting.source, &Row::source);
        if (row == rows_.end()) continue; // not of this window's table
        auto* item = new QListWidgetItem(utf8(setting.source->name), list_);
        item->setData(rowRole, static_cast<int>(row - rows_.begin()));
        item->setCheckState(setting.on ? Qt::Checked : Qt::Unchecked);
        row->address->setText(QString::fromStdString(setting.address));
        if (row->key) row->key->setText(QString::fromStdString(setting.apiKey));
    }
    list_->setCurrentRow(0);
    focusForTyping(list_);
    (n.authorForm == AuthorForm::surnameFirst ? surnameFirst_ : forenameFirst_)->setChecked(true);
    keyChanged();
}

NoticeSettings NoticeSources::settings() const {
    NoticeSettings n;
    for (int i = 0; i < list_->count(); ++i) {
        const Row& row = rowOf(list_->item(i));
        n.sources.push_back({row.source, list_->item(i)->checkState() == Qt::Checked,
                             row.address->text().trimmed().toStdString(),
                             row.key ? row.key->text().trimmed().toStdString() : std::string()});
    }
    n.authorForm =
        surnameFirst_->isChecked() ? AuthorForm::surnameFirst : AuthorForm::forenameFirst;
    return n;
}

void NoticeSources::accept() {
    for (const Row& row : rows_) {
        const QUrl url(row.address->text().trimmed(), QUrl::StrictMode);
        if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
            url.host().isEmpty()) {
            dialogs_.message(QStringLiteral("L'adresse de %1 doit commencer par https:// (ou "
                                            "http://) et nommer un serveur.")
                                 .arg(utf8(row.source->name)));
            focusForTyping(row.address);
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

// A source that needs the collector's own key is offered only once it is given.
void NoticeSources::keyChanged() {
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        const Row& row = rowOf(item);
        if (!row.key) continue;
        const bool keyed = !row.key->text().trimmed().isEmpty();
        Qt::ItemFlags flags = item->flags();
        flags.setFlag(Qt::ItemIsUserCheckable, keyed);
        flags.setFlag(Qt::ItemIsEnabled, keyed);
        item->setFlags(flags | Qt::ItemIsSelectable);
        if (!keyed) item->setCheckState(Qt::Unchecked);
        item->setToolTip(
            keyed
                ? QString()
                : QStringLiteral("Donnez d'abord votre clé d'API %1.").arg(utf8(row.source->name)));
    }
}
