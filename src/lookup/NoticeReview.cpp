#include "lookup/NoticeReview.h"

#include "platform/TypingFocus.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

NoticeReview::NoticeReview(QWidget* parent)
    : QDialog(parent), origin_(new QLabel(this)), table_(new QTableWidget(0, 3, this)),
      remarks_(new QLabel(this)), held_(new QLabel(this)),
      showHeld_(new QPushButton(QStringLiteral("Voir ce livre (Ctrl+D)"), this)),
      coverBox_(new QWidget(this)), coverPicture_(new QLabel), coverNote_(new QLabel),
      coverTick_(new QCheckBox(QStringLiteral("Reprendre la couverture"))) {
    setObjectName(QStringLiteral("NoticeReview"));
    setWindowTitle(QStringLiteral("Notice trouvée"));
    origin_->setWordWrap(true);
    origin_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Champ"), QStringLiteral("Actuellement"), QStringLiteral("Trouvé")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    table_->setAccessibleName(QStringLiteral("Champs à remplir"));
    // The keyboard stays on the ticks: Space ticks or unticks, Enter is OK.
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (column != 0 && row >= 0) table_->setCurrentCell(row, 0);
    });
    remarks_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Reprendre les champs cochés"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    held_->setWordWrap(true);
    held_->setStyleSheet(QStringLiteral("font-weight: bold"));
    held_->hide();
    showHeld_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    showHeld_->setAutoDefault(false); // Enter stays "take the fields"
    showHeld_->hide();
    connect(showHeld_, &QPushButton::clicked, this, [this] {
        if (show_) show_();
    });
    auto* heldRow = new QHBoxLayout;
    heldRow->addWidget(held_, 1);
    heldRow->addWidget(showHeld_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(origin_);
    layout->addLayout(heldRow);
    // Beside the fields, so that a wrong edition shows at a glance.
    coverPicture_->setFixedSize(160, 240);
    coverPicture_->setAlignment(Qt::AlignCenter);
    coverNote_->setObjectName(QStringLiteral("lblcouverture"));
    coverNote_->setWordWrap(true);
    coverNote_->setFixedWidth(160);
    auto* coverLayout = new QVBoxLayout(coverBox_);
    coverLayout->setContentsMargins(0, 0, 0, 0);
    coverLayout->addWidget(coverPicture_);
    coverLayout->addWidget(coverNote_);
    coverLayout->addWidget(coverTick_);
    coverLayout->addStretch(1);
    coverBox_->hide();
    coverTick_->hide();
    auto* middle = new QHBoxLayout;
    middle->addWidget(table_, 1);
    middle->addWidget(coverBox_);
    layout->addLayout(middle, 1);
    layout->addWidget(remarks_);
    layout->addWidget(new QLabel(QStringLiteral("Rien n'est enregistré : vérifiez la fiche, puis "
                                                "enregistrez-la (Ctrl+E)."),
                                 this));
    layout->addWidget(buttons);
    resize(720, 420);
}

void NoticeReview::setContent(const QString& origin, const std::vector<Row>& rows,
                              const QStringList& remarks) {
    origin_->setText(origin);
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const Row& r = rows[static_cast<std::size_t>(i)];
        auto* tick = new QTableWidgetItem(r.caption);
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        tick->setCheckState(r.ticked ? Qt::Checked : Qt::Unchecked);
        table_->setItem(i, 0, tick);
        for (int column : {1, 2}) {
            const QString& text = column == 1 ? r.current : r.found;
            auto* cell = new QTableWidgetItem(
                QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / ")));
            cell->setToolTip(text); // long summaries are read whole here
            table_->setItem(i, column, cell);
        }
    }
    remarks_->setText(remarks.join(u'\n'));
    remarks_->setVisible(!remarks.isEmpty());
    table_->setCurrentCell(0, 0);
    focusForTyping(table_);
}

void NoticeReview::setHeld(const QString& text, std::function<void()> show) {
    held_->setText(text);
    held_->show();
    show_ = std::move(show);
    showHeld_->show();
}

std::vector<bool> NoticeReview::ticks() const {
    std::vector<bool> out;
    for (int i = 0; i < table_->rowCount(); ++i)
        out.push_back(table_->item(i, 0)->checkState() == Qt::Checked);
    return out;
}

void NoticeReview::coverAsked(const QString& note) {
    coverBox_->show();
    coverNote_->setText(note);
}

void NoticeReview::setCover(const QImage& image, const QString& spoken) {
    cover_ = image;
    coverBox_->show();
    coverPicture_->setPixmap(QPixmap::fromImage(
        image.scaled(coverPicture_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    coverPicture_->setAccessibleName(spoken);
    coverNote_->clear();
    coverTick_->setChecked(true);
    coverTick_->show();
}

void NoticeReview::coverMissing(const QString& why) {
    coverBox_->show();
    coverNote_->setText(why);
}

QImage NoticeReview::takenCover() const {
    return coverTick_->isChecked() ? cover_ : QImage();
}
