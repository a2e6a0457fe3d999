#include "loans/LoanTable.h"

#include "platform/QtText.h"

#include <QColor>

namespace {

// Only what the reference does not tell: that no record has it any more, or several.
QString recordText(const q7::LoanRow& row) {
    if (row.records.empty()) return QStringLiteral("(fiche absente)");
    if (row.records.size() == 1) return {};
    return QStringLiteral("%1 fiches").arg(row.records.size());
}

} // namespace

LoanTable::LoanTable(bool out, QObject* parent) : QAbstractTableModel(parent), out_(out) {}

void LoanTable::setRows(std::vector<q7::LoanRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

const q7::LoanRow* LoanTable::row(int r) const {
    return r >= 0 && r < rowCount() ? &rows_[std::size_t(r)] : nullptr;
}

int LoanTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int LoanTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString LoanTable::text(const q7::LoanRow& row, int column) const {
    const q7::Loan& loan = row.loan;
    switch (column) {
    case Reference: return fromBytes(loan.reference);
    case Title: return fromBytes(loan.title);
    case Borrower: return fromBytes(loan.borrower);
    case Since: return fromBytes(loan.lent.text());
    case Days: return out_ ? QString::number(row.days) : fromBytes(loan.returned->text());
    case Record: return recordText(row);
    case Note: return fromBytes(loan.note);
    default: return {};
    }
}

QVariant LoanTable::data(const QModelIndex& index, int role) const {
    const q7::LoanRow* r = row(index.row());
    if (!r) return {};
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole: return text(*r, c);
    case Qt::ForegroundRole: return r->overdue ? QVariant(QColor(255, 0, 0)) : QVariant();
    case Qt::TextAlignmentRole:
        return c == Days && out_ ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ToolTipRole:
        if (c == Record && r->records.size() > 1)
            return QStringLiteral("%1 fiches portent la référence %2 : Entrée montre la première.")
                .arg(r->records.size())
                .arg(fromBytes(r->loan.reference));
        // Texts cut by their column are read whole here.
        if (c == Title || c == Borrower || c == Note) return text(*r, c);
        return r->overdue ? QStringLiteral("En retard") : QVariant();
    case Qt::AccessibleTextRole:
        // The red is not seen by everyone: a screen reader says it.
        if (c == Days && r->overdue) return QStringLiteral("%1 jours, en retard").arg(r->days);
        return text(*r, c);
    default: return {};
    }
}

QVariant LoanTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const out[] = {"Réf.",  "Titre", "Emprunteur", "Depuis le",
                                      "Jours", "Fiche", "Note"};
    static const char* const returned[] = {"Réf.",     "Titre", "Emprunteur", "Prêté le",
                                           "Rendu le", "Fiche", "Note"};
    if (section < 0 || section >= ColumnCount) return {};
    return QString::fromUtf8((out_ ? out : returned)[section]);
}
