#pragma once
// The overview's table and group list as models: the views ask only for the rows they
// show, so 40 000 books cost nothing to display.
#include "overview/OverviewView.h"
#include "settings/Settings.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QTimer>

class CoverThumbnails;

class BookTable : public QAbstractTableModel {
    Q_OBJECT
public:
    BookTable(const q7::OverviewBooks& books, const q7::OverviewView& view,
              QObject* parent = nullptr);

    // The columns changed (or the books were read again): everything is shown anew.
    void refresh(const std::vector<int>& columns, const q7::Settings& captions);
    // Only the view's rows changed: the table's rows are added or taken away at its end
    // and the rest repainted, which costs far less than showing everything anew.
    void rowsChanged();
    const std::vector<int>& columns() const { return columns_; }
    // Where the cover column's pictures come from; without it the column shows none.
    void setThumbnails(CoverThumbnails* thumbnails);
    bool showsCovers() const;
    // The cover column is painted again.
    void coversChanged();
    // The catalogue index of a row shown; -1 when none.
    int record(int row) const;
    // The row showing a record; -1 when it is not shown.
    int rowOf(int record) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const q7::OverviewBooks& books_;
    const q7::OverviewView& view_;
    std::vector<int> columns_;
    QStringList captions_;
    int told_ = 0; // the rows the views know of
    CoverThumbnails* thumbnails_ = nullptr;
    // Started when a cover is first painted: the covers are read once the rows are shown.
    mutable QTimer readCovers_;
};

class GroupList : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // The first entry stands for every group.
    void setGroups(std::vector<q7::GroupEntry> groups, int total);
    // The group of an entry; -1 for the first.
    int group(int row) const;
    int rowOf(int group) const;
    // The stored name of a group's entry, empty for "(vide)" and the first entry.
    std::string name(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<q7::GroupEntry> groups_;
    int total_ = 0;
};

// "(vide)" for an empty value.
QString groupName(const std::string& stored);
