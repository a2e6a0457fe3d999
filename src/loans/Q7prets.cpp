#include "loans/Q7prets.h"

#include "ui_Q7prets.h"

#include "loans/LoanBook.h"
#include "loans/LoanSheet.h"
#include "loans/LoanTable.h"
#include "output/PrintOnPrinter.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"
#include "store/FrenchOrder.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

QString plural(std::size_t n, const QString& word) {
    return QString::number(n) + u' ' + word + (n > 1 ? QStringLiteral("s") : QString());
}

void setUpTable(QTableView* table, LoanTable* model) {
    table->setModel(model);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    // Widths from the widest text each column holds, measured once: sizing the columns
    // to their rows would measure every row at each opening and each change.
    QHeaderView* columns = table->horizontalHeader();
    const QFontMetrics cells = table->fontMetrics(), heads = columns->fontMetrics();
    // The title takes the rest, and has room for a title of forty letters at least; the
    // others are cut only past what a name or a note usually holds (the tip reads them).
    const QString widest[] = {QStringLiteral("00000000"),
                              QString(40, u'n'),
                              QString(20, u'n'),
                              QStringLiteral("28/12/2026"),
                              QStringLiteral("28/12/2026"),
                              QStringLiteral("(fiche absente)"),
                              QString(16, u'n')};
    int total = 0;
    for (int c = 0; c < LoanTable::ColumnCount; ++c) {
        const QString head = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int width =
            std::max(cells.horizontalAdvance(widest[c]), heads.horizontalAdvance(head)) + 16;
        columns->resizeSection(c, width);
        total += width;
    }
    columns->setSectionResizeMode(LoanTable::Title, QHeaderView::Stretch);
    table->setMinimumSize(total + table->verticalScrollBar()->sizeHint().width() + 4, 280);
}

} // namespace

Tformprets::Tformprets(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Tformprets>()), state_(state), services_(services),
      outModel_(new LoanTable(true, this)), returnedModel_(new LoanTable(false, this)) {
    ui_->setupUi(this);
    setUpTable(ui_->tblprets, outModel_);
    setUpTable(ui_->tblrendus, returnedModel_);
    Dialogs& d = services_.dialogs;
    connect(ui_->cbemprunteur, &QComboBox::currentIndexChanged, this,
            guarded(d, this, &Tformprets::cbemprunteurChange));
    connect(ui_->spdelai, &QSpinBox::valueChanged, this,
            guarded(d, this, &Tformprets::spdelaiChange));
    for (QTableView* table : {ui_->tblprets, ui_->tblrendus}) {
        // Enter and a double click.
        connect(table, &QTableView::activated, this, guarded(d, this, &Tformprets::btvoirClick));
        connect(table->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this] { updateButtons(); });
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
        q7::sortFrench(names);
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
    fillTable(ui_->tblprets, *outModel_, view_.out);
    fillTable(ui_->tblrendus, *returnedModel_, view_.returned);
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

void Tformprets::fillTable(QTableView* table, LoanTable& model,
                           const std::vector<q7::LoanRow>& rows) {
    const int keep = table->currentIndex().row();
    model.setRows(rows);
    if (!rows.empty())
        table->setCurrentIndex(model.index(std::clamp(keep, 0, int(rows.size()) - 1), 0));
}

void Tformprets::updateButtons() {
    const bool outTab = ui_->tabprets->currentIndex() == 0;
    const q7::LoanRow* row = chosen();
    ui_->btvoir->setEnabled(row != nullptr);
    ui_->btrendu->setEnabled(outTab && row != nullptr);
}

const q7::LoanRow* Tformprets::chosen() const {
    const bool outTab = ui_->tabprets->currentIndex() == 0;
    const QTableView* table = outTab ? ui_->tblprets : ui_->tblrendus;
    return (outTab ? outModel_ : returnedModel_)->row(table->currentIndex().row());
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
    printPages(services_.printer,
               q7::loanSheet(view_.out, view_.overdue, ui_->spdelai->value(), book_->today(),
                             borrower(), textWidthOn(services_.printer)));
}
