#include "loans/Q7prets.h"

#include "ui_Q7prets.h"

#include "loans/LoanBook.h"
#include "loans/LoanSheet.h"
#include "output/PrintOnPrinter.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"
#include "widgets/SortedComboBox.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace {

const QStringList outColumns = {QStringLiteral("Réf."),       QStringLiteral("Titre"),
                                QStringLiteral("Emprunteur"), QStringLiteral("Depuis le"),
                                QStringLiteral("Jours"),      QStringLiteral("Fiche"),
                                QStringLiteral("Note")};
const QStringList returnedColumns = {QStringLiteral("Réf."),       QStringLiteral("Titre"),
                                     QStringLiteral("Emprunteur"), QStringLiteral("Prêté le"),
                                     QStringLiteral("Rendu le"),   QStringLiteral("Fiche"),
                                     QStringLiteral("Note")};
enum Column { Reference, Title, Borrower, Since, Days, Record, Note };

// Where the book is: its rank in the catalogue, how many records share its reference,
// or that none has it any more.
QString recordText(const q7::LoanRow& row) {
    if (row.records.empty()) return QStringLiteral("(fiche absente)");
    const QString first = QStringLiteral("n° %1").arg(row.records.front() + 1);
    if (row.records.size() == 1) return first;
    return first + QStringLiteral(" (%1 fiches)").arg(row.records.size());
}

QString plural(qsizetype n, const QString& word) {
    return QString::number(n) + u' ' + word + (n > 1 ? QStringLiteral("s") : QString());
}

void setUpTable(QTableWidget* table, const QStringList& columns) {
    table->setColumnCount(int(columns.size()));
    table->setHorizontalHeaderLabels(columns);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(Title, QHeaderView::Stretch);
    table->setMinimumSize(860, 280);
}

} // namespace

Tformprets::Tformprets(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Tformprets>()), state_(state), services_(services) {
    ui_->setupUi(this);
    setUpTable(ui_->tblprets, outColumns);
    setUpTable(ui_->tblrendus, returnedColumns);
    Dialogs& d = services_.dialogs;
    connect(ui_->cbemprunteur, &QComboBox::currentIndexChanged, this,
            guarded(d, this, &Tformprets::cbemprunteurChange));
    connect(ui_->spdelai, &QSpinBox::valueChanged, this,
            guarded(d, this, &Tformprets::spdelaiChange));
    for (QTableWidget* table : {ui_->tblprets, ui_->tblrendus}) {
        // Enter and a double click.
        connect(table, &QTableWidget::activated, this, guarded(d, this, &Tformprets::btvoirClick));
        connect(table, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
    }
    connect(ui_->tabprets, &QTabWidget::currentChanged, this, [this] { updateButtons(); });
    connect(ui_->btvoir, &QPushButton::clicked, this, guarded(d, this, &Tformprets::btvoirClick));
    connect(ui_->btrendu, &QPushButton::clicked, this, guarded(d, this, &Tformprets::btrenduClick));
    connect(ui_->btimprimer, &QPushButton::clicked, this,
            guarded(d, this, &Tformprets::btimprimerClick));
    connect(ui_->btfermer, &QPushButton::clicked, this, &QDialog::reject);
}

Tformprets::~Tformprets() = default;

std::optional<int> Tformprets::execute(LoanBook& book) {
    book_ = &book;
    show_.reset();
    reg_ = book.load();
    // One pass over the catalogue tells where each book lent is.
    places_ = q7::findReferences(state_.data, q7::referencesOf(reg_));
    {
        const QSignalBlocker quiet(ui_->spdelai);
        ui_->spdelai->setValue(book.delay());
    }
    {
        const QSignalBlocker quiet(ui_->cbemprunteur);
        ui_->cbemprunteur->clear();
        ui_->cbemprunteur->addItem(QStringLiteral("Tous les emprunteurs"));
        QStringList names;
        for (const std::string& name : reg_.borrowers())
            names << fromBytes(name);
        SortedComboBox::sortValues(names);
        ui_->cbemprunteur->addItems(names);
    }
    ui_->tabprets->setCurrentIndex(0);
    fill();
    ui_->tblprets->setFocus();
    services_.modal.showModal(*this);
    book_ = nullptr;
    return show_;
}

std::string Tformprets::borrower() const {
    return ui_->cbemprunteur->currentIndex() > 0 ? toBytes(ui_->cbemprunteur->currentText())
                                                 : std::string();
}

void Tformprets::fill() {
    view_ = q7::viewLoans(reg_, book_->today(), ui_->spdelai->value(), borrower(), places_);
    fillTable(ui_->tblprets, view_.out, true);
    fillTable(ui_->tblrendus, view_.returned, false);
    QString summary = view_.out.empty()
                          ? QStringLiteral("Aucun livre prêté")
                          : plural(view_.out.size(), QStringLiteral("livre")) +
                                QStringLiteral(" prêté") +
                                (view_.out.size() > 1 ? QStringLiteral("s") : QString());
    if (view_.overdue > 0) summary += QStringLiteral(", dont %1 en retard").arg(view_.overdue);
    ui_->lblresume->setText(summary);
    ui_->btimprimer->setEnabled(!view_.out.empty());
    updateButtons();
}

void Tformprets::fillTable(QTableWidget* table, const std::vector<q7::LoanRow>& rows, bool out) {
    const int keep = table->currentRow();
    table->clearContents();
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const q7::LoanRow& row = rows[std::size_t(r)];
        const q7::Loan& loan = row.loan;
        const QString cells[] = {fromBytes(loan.reference),
                                 fromBytes(loan.title),
                                 fromBytes(loan.borrower),
                                 fromBytes(loan.lent.text()),
                                 out ? QString::number(row.days) : fromBytes(loan.returned->text()),
                                 recordText(row),
                                 fromBytes(loan.note)};
        for (int c = 0; c < int(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (row.overdue) {
                item->setForeground(QColor(255, 0, 0));
                item->setToolTip(QStringLiteral("En retard"));
            }
            if (c == Record && row.records.size() > 1)
                item->setToolTip(QStringLiteral("%1 fiches portent la référence %2 : Entrée "
                                                "montre la première.")
                                     .arg(row.records.size())
                                     .arg(cells[Reference]));
            if (c == Days && row.overdue)
                item->setData(Qt::AccessibleTextRole,
                              QStringLiteral("%1 jours, en retard").arg(row.days));
            if (c == Days) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    if (!rows.empty()) table->setCurrentCell(std::clamp(keep, 0, int(rows.size()) - 1), 0);
}

void Tformprets::updateButtons() {
    const bool outTab = ui_->tabprets->currentIndex() == 0;
    const q7::LoanRow* row = chosen();
    ui_->btvoir->setEnabled(row != nullptr);
    ui_->btrendu->setEnabled(outTab && row != nullptr);
}

const q7::LoanRow* Tformprets::chosen() const {
    const bool outTab = ui_->tabprets->currentIndex() == 0;
    const QTableWidget* table = outTab ? ui_->tblprets : ui_->tblrendus;
    const std::vector<q7::LoanRow>& rows = outTab ? view_.out : view_.returned;
    const int r = table->currentRow();
    return r >= 0 && r < int(rows.size()) ? &rows[std::size_t(r)] : nullptr;
}

void Tformprets::cbemprunteurChange() {
    fill();
}

void Tformprets::spdelaiChange(int days) {
    book_->setDelay(days);
    fill();
}

void Tformprets::btvoirClick() {
    const q7::LoanRow* row = chosen();
    if (!row) return;
    if (row->records.empty()) {
        services_.dialogs.beep();
        services_.dialogs.message(
            QStringLiteral("« %1 » (référence %2) n'est plus dans le catalogue : sa fiche a été "
                           "effacée ou a changé de référence. Le prêt reste inscrit.")
                .arg(fromBytes(row->loan.title), fromBytes(row->loan.reference)));
        return;
    }
    show_ = row->records.front();
    accept();
}

void Tformprets::btrenduClick() {
    const q7::LoanRow* row = chosen();
    if (!row || !row->loan.out()) return;
    // The file as it is now: nothing written since the window opened is lost.
    q7::LoanRegister fresh = book_->load();
    fresh.giveBack(row->loan, book_->today());
    book_->save(fresh);
    reg_ = std::move(fresh);
    fill();
}

void Tformprets::btimprimerClick() {
    const BusyCursor busy(services_.cursor);
    printPages(services_.printer, q7::loanSheet(view_.out, view_.overdue, ui_->spdelai->value(),
                                                book_->today(), borrower()));
}
