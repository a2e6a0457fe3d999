#include "lookup/CandidateList.h"

#include "platform/TypingFocus.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace q7::lookup;

namespace {

enum Column { Titre, Auteur, Edition, Annee, Pages, Source, Catalogue, Columns };

QString utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QString title(const FoundBook& b) {
    QString t = utf8(b.title);
    if (!b.part.empty()) t += QStringLiteral(". ") + utf8(b.part);
    if (!b.subtitle.empty()) t += QStringLiteral(" : ") + utf8(b.subtitle);
    return t;
}

QString authors(const FoundBook& b) {
    QStringList names;
    for (const Person& p : b.authors)
        names << utf8(p.whole.empty()
                          ? (p.forename.empty() ? p.surname : p.forename + " " + p.surname)
                          : p.whole);
    return names.join(QStringLiteral(" ; "));
}

QString pages(const FoundBook& b) {
    return b.pages > 0 ? QString::number(b.pages) : utf8(b.extent);
}

// Google's and Open Library's middle size.
constexpr QSize coverBox(CandidateList::coverSide * 2 / 3, CandidateList::coverSide);

} // namespace

CandidateList::CandidateList(QWidget* parent)
    : QDialog(parent), summary_(new QLabel(this)), table_(new QTableWidget(0, Columns, this)),
      cover_(new QLabel(this)), more_(new QPushButton(QStringLiteral("Notices &suivantes"), this)) {
    setObjectName(QStringLiteral("CandidateList"));
    setWindowTitle(QStringLiteral("Notices trouvées"));
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    table_->setHorizontalHeaderLabels({QStringLiteral("Titre"), QStringLiteral("Auteur"),
                                       QStringLiteral("Edition"), QStringLiteral("Année"),
                                       QStringLiteral("Pages"), QStringLiteral("Source"),
                                       QStringLiteral("Au catalogue")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setTabKeyNavigation(false); // Tab goes on to the buttons
    table_->setWordWrap(false);
    table_->setAccessibleName(QStringLiteral("Notices trouvées"));
    QHeaderView* header = table_->horizontalHeader();
    // The title takes the room; a publisher's long imprint or a collation is cut to its
    // share, read whole in its tooltip.
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(Titre, QHeaderView::Stretch);
    for (int column : {Auteur, Edition, Pages})
        header->setSectionResizeMode(column, QHeaderView::Interactive);
    connect(table_, &QTableWidget::currentCellChanged, this, &CandidateList::rowChanged);
    coverWait_.setSingleShot(true);
    coverWait_.setInterval(250);
    connect(&coverWait_, &QTimer::timeout, this, [this] {
        const int row = chosen();
        if (row < 0 || coverState_[std::size_t(row)] != CoverState::unasked) return;
        coverState_[std::size_t(row)] = CoverState::asked;
        Q_EMIT coverWanted(row);
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    // The cover's place keeps its size: rows do not jump as covers come and go.
    cover_->setObjectName(QStringLiteral("cover"));
    cover_->setFixedSize(coverBox);
    cover_->setAlignment(Qt::AlignCenter);
    cover_->setAccessibleName(QStringLiteral("Couverture"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Reprendre cette notice"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    buttons->addButton(more_, QDialogButtonBox::ActionRole);
    more_->setAutoDefault(false); // Enter chooses the row
    connect(more_, &QPushButton::clicked, this, [this] {
        more_->setEnabled(false);
        Q_EMIT moreAsked();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (chosen() >= 0) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this), &QShortcut::activated, this,
            [this] {
                const int row = chosen();
                if (row >= 0 && held_[std::size_t(row)].index >= 0 && showHeld_)
                    showHeld_(held_[std::size_t(row)]);
            });

    auto* middle = new QHBoxLayout;
    middle->addWidget(table_, 1);
    middle->addWidget(cover_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
    resize(900, 460);
}

void CandidateList::setResult(const SearchResult& r, const std::vector<Held>& held) {
    const int current = std::max(chosen(), 0);
    held_ = held;
    covers_.resize(r.candidates.size());
    coverState_.resize(r.candidates.size(), CoverState::unasked);
    table_->setRowCount(static_cast<int>(r.candidates.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const Candidate& c = r.candidates[std::size_t(i)];
        const Held& h = held_[std::size_t(i)];
        const QString cells[Columns] = {title(c.book),
                                        authors(c.book),
                                        utf8(c.book.publisher),
                                        utf8(c.book.date),
                                        pages(c.book),
                                        utf8(c.source->name),
                                        h.index >= 0 ? QStringLiteral("Réf. ") + utf8(h.reference)
                                                     : QString()};
        for (int column = 0; column < Columns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]); // long titles are read whole here
            table_->setItem(i, column, item);
        }
    }
    for (const auto& [column, share] : {std::pair{Auteur, 6}, {Edition, 5}, {Pages, 9}}) {
        table_->resizeColumnToContents(column);
        table_->setColumnWidth(column, std::min(table_->columnWidth(column), width() / share));
    }
    summary_->setText(utf8(r.message));
    more_->setEnabled(r.more);
    table_->setCurrentCell(std::min(current, table_->rowCount() - 1), Titre);
    focusForTyping(table_);
    rowChanged();
}

void CandidateList::setWaiting(const QString& status) {
    summary_->setText(status);
    more_->setEnabled(false);
}

void CandidateList::setCover(int row, const QImage& cover) {
    if (row < 0 || std::size_t(row) >= covers_.size()) return;
    covers_[std::size_t(row)] = cover;
    coverState_[std::size_t(row)] = CoverState::known;
    if (row == chosen()) showCover();
}

void CandidateList::coverDropped(int row) {
    if (row < 0 || std::size_t(row) >= coverState_.size()) return;
    coverState_[std::size_t(row)] = CoverState::unasked;
    if (row == chosen()) coverWait_.start();
}

void CandidateList::rowChanged() {
    showCover();
    coverWait_.start();
}

int CandidateList::chosen() const {
    return table_->rowCount() > 0 ? table_->currentRow() : -1;
}

void CandidateList::showCover() {
    const int row = chosen();
    const QImage image = row >= 0 ? covers_[std::size_t(row)] : QImage();
    // A book without a cover leaves the place empty, with nothing to read into it.
    cover_->setPixmap(image.isNull()
                          ? QPixmap()
                          : QPixmap::fromImage(image.scaled(coverBox, Qt::KeepAspectRatio,
                                                            Qt::SmoothTransformation)));
    const QString name = row >= 0 ? table_->item(row, Titre)->text() : QString();
    const bool known = row >= 0 && coverState_[std::size_t(row)] == CoverState::known;
    cover_->setAccessibleName(!known           ? QStringLiteral("Couverture")
                              : image.isNull() ? QStringLiteral("Pas de couverture")
                                               : name + QStringLiteral(", couverture"));
}
