#pragma once
// The rows of a loans table as a model: the view asks only for the rows it shows, so a
// register of thousands of loans fills the window in no time.
#include "loans/LoanView.h"

#include <QAbstractTableModel>

#include <vector>

class LoanTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Reference, Title, Borrower, Since, Days, Record, Note, ColumnCount };

    // `out`: the books out (days since lent); otherwise the loans returned (return day).
    LoanTable(bool out, QObject* parent = nullptr);

    void setRows(std::vector<q7::LoanRow> rows);
    const q7::LoanRow* row(int r) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const q7::LoanRow& row, int column) const;

    bool out_;
    std::vector<q7::LoanRow> rows_;
};
