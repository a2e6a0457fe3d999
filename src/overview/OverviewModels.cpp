#include "overview/OverviewModels.h"

#include "covers/CoverThumbnails.h"
#include "overview/OverviewColumns.h"
#include "platform/QtText.h"

#include <algorithm>

BookTable::BookTable(const q7::OverviewBooks& books, const q7::OverviewView& view, QObject* parent)
    : QAbstractTableModel(parent), books_(books), view_(view) {
    readCovers_.setSingleShot(true);
    connect(&readCovers_, &QTimer::timeout, this, [this] {
        books_.markCovers();
        coversChanged();
    });
}

void BookTable::refresh(const std::vector<int>& columns, const q7::Settings& captions) {
    beginResetModel();
    columns_ = columns;
    captions_.clear();
    for (int c : columns_)
        captions_ << QString::fromStdString(
            q7::columnCaption(q7::overviewColumns()[std::size_t(c)], captions));
    told_ = rowCount();
    endResetModel();
}

void BookTable::rowsChanged() {
    const int now = rowCount();
    if (now < told_) {
        beginRemoveRows({}, now, told_ - 1);
        told_ = now;
        endRemoveRows();
    } else if (now > told_) {
        beginInsertRows({}, told_, now - 1);
        told_ = now;
        endInsertRows();
    }
    if (now > 0) Q_EMIT dataChanged(index(0, 0), index(now - 1, columnCount() - 1));
}

void BookTable::setThumbnails(CoverThumbnails* thumbnails) {
    thumbnails_ = thumbnails;
    connect(thumbnails, &CoverThumbnails::made, this, &BookTable::coversChanged);
}

void BookTable::coversChanged() {
    // The view repaints only the rows it shows.
    const int rows = rowCount();
    for (int c = 0; c < columnCount() && rows > 0; ++c)
        if (q7::overviewColumns()[std::size_t(columns_[std::size_t(c)])].kind ==
            q7::ColumnKind::Cover)
            Q_EMIT dataChanged(index(0, c), index(rows - 1, c), {Qt::DecorationRole});
}

bool BookTable::showsCovers() const {
    return std::ranges::any_of(columns_, [](int c) {
        return q7::overviewColumns()[std::size_t(c)].kind == q7::ColumnKind::Cover;
    });
}

int BookTable::record(int row) const {
    const auto& rows = view_.rows();
    return row >= 0 && std::size_t(row) < rows.size() ? rows[std::size_t(row)] : -1;
}

int BookTable::rowOf(int record) const {
    const auto& rows = view_.rows();
    const auto at = std::find(rows.begin(), rows.end(), record);
    return at == rows.end() ? -1 : int(at - rows.begin());
}

int BookTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(view_.rows().size());
}

int BookTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant BookTable::data(const QModelIndex& index, int role) const {
    const int record = this->record(index.row());
    if (record < 0 || index.column() >= int(columns_.size())) return {};
    const int column = columns_[std::size_t(index.column())];
    if (q7::overviewColumns()[std::size_t(column)].kind == q7::ColumnKind::Cover) {
        if (role == Qt::DecorationRole) {
            if (!books_.coversRead()) {
                if (!readCovers_.isActive()) readCovers_.start(0); // after this paint
                return {};
            }
            if (!books_.hasCover(record) || !thumbnails_) return {};
            return thumbnails_->get(std::string(books_.text(record, q7::Field::numero)));
        }
        if (role != Qt::AccessibleTextRole) return {};
        return books_.hasCover(record) ? fromBytes(books_.text(record, q7::Field::titre)) +
                                             QStringLiteral(", couverture")
                                       : QStringLiteral("Pas de couverture");
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    std::string scratch;
    const QString text = fromBytes(books_.value(record, column, scratch));
    // Long notes read whole in the tooltip; short texts need none.
    if (role == Qt::ToolTipRole) return text.size() > 40 ? QVariant(text) : QVariant();
    return text;
}

QVariant BookTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= captions_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return captions_[section];
}

QString groupName(const std::string& stored) {
    return stored.empty() ? QStringLiteral("(vide)") : fromBytes(stored);
}

void GroupList::setGroups(std::vector<q7::GroupEntry> groups, int total) {
    beginResetModel();
    groups_ = std::move(groups);
    total_ = total;
    endResetModel();
}

int GroupList::group(int row) const {
    return row >= 1 && std::size_t(row) <= groups_.size() ? groups_[std::size_t(row) - 1].group
                                                          : -1;
}

int GroupList::rowOf(int group) const {
    for (std::size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].group == group) return int(i) + 1;
    return 0;
}

std::string GroupList::name(int row) const {
    return row >= 1 && std::size_t(row) <= groups_.size() ? groups_[std::size_t(row) - 1].name
                                                          : std::string();
}

int GroupList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(groups_.size()) + 1;
}

QVariant GroupList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (index.row() == 0) return QStringLiteral("Tous les livres (%1)").arg(total_);
    const q7::GroupEntry& g = groups_[std::size_t(index.row()) - 1];
    return QStringLiteral("%1 (%2)").arg(groupName(g.name)).arg(g.count);
}
