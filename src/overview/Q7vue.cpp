#include "overview/Q7vue.h"

#include "ui_Q7vue.h"

#include "covers/CoverThumbnails.h"
#include "output/OutputFile.h"
#include "output/PocketPage.h"
#include "output/PrintOnPrinter.h"
#include "output/Thumbnails.h"
#include "overview/OverviewColumns.h"
#include "overview/OverviewOutput.h"
#include "overview/OverviewSettings.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"
#include "store/Errors.h"

#include <QAccessible>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include <ctime>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A cover in the list: as tall as three lines, the shape of a book.
constexpr QSize coverThumbnail(32, 48);

const q7::OverviewColumn& columnAt(int c) {
    return q7::overviewColumns()[std::size_t(c)];
}

QString counted(int n) {
    return QLocale(QLocale::French).toString(n);
}

} // namespace

Tformvue::Tformvue(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Tformvue>()), state_(state), services_(services),
      view_(books_), table_(new BookTable(books_, view_, this)), groups_(new GroupList(this)) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("formvue"));
    ui_->tblvue->setModel(table_);
    table_->setThumbnails(new CoverThumbnails(state_.folder, coverThumbnail, this));
    ui_->lstgroupes->setModel(groups_);
    // Qt's button that empties the filter says nothing of itself to a screen reader.
    for (auto* clear : ui_->edtfiltre->findChildren<QToolButton*>()) {
        clear->setAccessibleName(QStringLiteral("Effacer le filtre"));
        clear->setToolTip(QStringLiteral("Effacer le filtre"));
    }
    QHeaderView* rows = ui_->tblvue->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(ui_->tblvue->fontMetrics().height() + 6);
    QHeaderView* header = ui_->tblvue->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    header->setStretchLastSection(true);
    ui_->splitter->setStretchFactor(0, 0);
    ui_->splitter->setStretchFactor(1, 1);
    ui_->splitter->setSizes({240, 900});
    resize(1180, 640);

    Dialogs& d = services_.dialogs;
    connect(ui_->edtfiltre, &QLineEdit::textChanged, this,
            guarded(d, this, &Tformvue::edtfiltreChange));
    connect(ui_->cbchamp, &QComboBox::currentIndexChanged, this,
            guarded(d, this, &Tformvue::cbchampChange));
    connect(ui_->cbregrouper, &QComboBox::currentIndexChanged, this,
            guarded(d, this, &Tformvue::cbregrouperChange));
    connect(ui_->rbnombre, &QRadioButton::toggled, this,
            guarded(d, this, &Tformvue::groupOrderChange));
    connect(ui_->lstgroupes->selectionModel(), &QItemSelectionModel::currentChanged, this,
            guarded(d, this, &Tformvue::lstgroupesChange));
    connect(header, &QHeaderView::sectionClicked, this, guarded(d, this, &Tformvue::headerClick));
    connect(ui_->tblvue->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!placing_ && current.isValid()) kept_.record = table_->record(current.row());
            });
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!applying_ && section < int(widths_.size())) widths_[std::size_t(section)] = size;
    });
    const auto menu = [this](QWidget* on, QPoint at) { tableMenu()->popup(on->mapToGlobal(at)); };
    connect(header, &QWidget::customContextMenuRequested, this,
            [header, menu](QPoint at) { menu(header, at); });
    connect(ui_->tblvue, &QWidget::customContextMenuRequested, this,
            [this, menu](QPoint at) { menu(ui_->tblvue->viewport(), at); });
    connect(ui_->tblvue, &QTableView::activated, this, guarded(d, this, &Tformvue::tblvueActivate));
    connect(ui_->btexporter, &QPushButton::clicked, this,
            guarded(d, this, &Tformvue::btexporterClick));
    connect(ui_->btimprimer, &QPushButton::clicked, this,
            guarded(d, this, &Tformvue::btimprimerClick));
    connect(ui_->btfermer, &QPushButton::clicked, this, &QDialog::reject);
    ui_->edtfiltre->installEventFilter(this);
    ui_->tblvue->viewport()->installEventFilter(this);
    columns_ = q7::defaultColumns();
}

Tformvue::~Tformvue() = default;

void Tformvue::fillChoices() {
    const QSignalBlocker quietField(ui_->cbchamp), quietGroup(ui_->cbregrouper);
    const int field = ui_->cbchamp->currentIndex(), group = ui_->cbregrouper->currentIndex();
    ui_->cbchamp->clear();
    ui_->cbregrouper->clear();
    ui_->cbchamp->addItem(QStringLiteral("Tous les champs"), -1);
    ui_->cbregrouper->addItem(QStringLiteral("(pas de groupes)"), -1);
    const auto all = q7::overviewColumns();
    for (std::size_t c = 0; c < all.size(); ++c) {
        if (q7::searchable(all[c]))
            ui_->cbchamp->addItem(
                QString::fromStdString(q7::columnCaption(all[c], state_.settings)), int(c));
        if (all[c].group) ui_->cbregrouper->addItem(QString::fromUtf8(all[c].group), int(c));
    }
    ui_->cbchamp->setCurrentIndex(std::max(field, 0));
    ui_->cbregrouper->setCurrentIndex(std::max(group, 0));
}

std::optional<int> Tformvue::execute(const q7::Borrowers& borrowers) {
    show_.reset();
    if (!layoutRead_) {
        layoutRead_ = true;
        try {
            const q7::OverviewLayout layout = q7::readOverviewLayout(services_.settingsStore);
            columns_ = layout.columns;
            widths_ = layout.widths;
        } catch (const q7::Error&) {
            // An unreadable settings file: the default columns do.
        }
    }
    {
        const BusyCursor busy(services_.cursor);
        books_.load(state_.data, borrowers);
        fillChoices(); // the user caption may have changed
        view_.reset();
        applySearched();
        view_.sortBy(kept_.sortColumn, kept_.descending);
        view_.groupBy(chosenGroupColumn());
        view_.setFilter(toBytes(ui_->edtfiltre->text()));
        if (kept_.group) {
            // The group chosen last time, found again by its name.
            for (const q7::GroupEntry& g : view_.groups(false))
                if (g.name == *kept_.group) view_.chooseGroup(g.group);
        }
        showRows(true);
    }
    ui_->edtfiltre->setFocus();
    ui_->edtfiltre->selectAll();
    services_.modal.showModal(*this);
    return show_;
}

int Tformvue::chosenGroupColumn() const {
    return ui_->cbregrouper->currentData().toInt();
}

void Tformvue::applySearched() {
    const int field = ui_->cbchamp->currentData().toInt();
    view_.setSearched(field >= 0 ? std::vector<int>{field} : columns_);
}

void Tformvue::showRows(bool anew) {
    const int record = kept_.record;
    if (anew || table_->columns() != columns_) {
        table_->refresh(columns_, state_.settings);
        applyWidths();
        ui_->tblvue->verticalHeader()->setDefaultSectionSize(
            table_->showsCovers() ? coverThumbnail.height() + 4
                                  : ui_->tblvue->fontMetrics().height() + 6);
    } else {
        table_->rowsChanged();
    }
    QHeaderView* header = ui_->tblvue->horizontalHeader();
    const auto sorted = std::find(columns_.begin(), columns_.end(), view_.sortColumn());
    header->setSortIndicatorShown(sorted != columns_.end());
    if (sorted != columns_.end())
        header->setSortIndicator(int(sorted - columns_.begin()),
                                 view_.descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    // The book chosen before stays chosen while it is shown, and is chosen again when a
    // change of filter brings it back.
    const int row = record >= 0 ? table_->rowOf(record) : -1;
    placing_ = true;
    if (row >= 0)
        ui_->tblvue->setCurrentIndex(table_->index(row, 0));
    else
        ui_->tblvue->selectionModel()->clear();
    placing_ = false;
    kept_.record = record;
    ui_->btexporter->setEnabled(table_->rowCount() > 0);
    ui_->btimprimer->setEnabled(table_->rowCount() > 0);
    showGroups();
    showCount();
}

void Tformvue::applyWidths() {
    applying_ = true;
    QHeaderView* header = ui_->tblvue->horizontalHeader();
    if (widths_.size() != columns_.size()) {
        const QFontMetrics text = ui_->tblvue->fontMetrics(), heads = header->fontMetrics();
        widths_.clear();
        for (int c : columns_) {
            const QString caption =
                QString::fromStdString(q7::columnCaption(columnAt(c), state_.settings));
            widths_.push_back(std::max(text.averageCharWidth() * columnAt(c).weight * 3 / 2,
                                       heads.horizontalAdvance(caption) + 24));
        }
    }
    for (std::size_t i = 0; i < widths_.size(); ++i)
        header->resizeSection(int(i), widths_[i]);
    applying_ = false;
}

void Tformvue::showGroups() {
    const bool grouped = view_.groupColumn() >= 0;
    ui_->lstgroupes->setEnabled(grouped);
    ui_->rbnom->setEnabled(grouped);
    ui_->rbnombre->setEnabled(grouped);
    const QSignalBlocker quiet(ui_->lstgroupes->selectionModel());
    groups_->setGroups(view_.groups(ui_->rbnombre->isChecked()), view_.matching());
    ui_->lstgroupes->setCurrentIndex(groups_->index(groups_->rowOf(view_.chosenGroup())));
}

void Tformvue::showCount() {
    const int shown = int(view_.rows().size());
    const QString text =
        QStringLiteral("%1 %2 sur %3")
            .arg(counted(shown), shown > 1 ? QStringLiteral("livres") : QStringLiteral("livre"),
                 counted(books_.size()));
    if (ui_->lblcompte->text() == text) return;
    ui_->lblcompte->setText(text);
    ui_->lblcompte->setAccessibleName(text);
    // Said by a screen reader as the list changes.
    QAccessibleEvent changed(ui_->lblcompte, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void Tformvue::edtfiltreChange() {
    view_.setFilter(toBytes(ui_->edtfiltre->text()));
    showRows();
}

void Tformvue::cbchampChange() {
    applySearched();
    showRows();
}

void Tformvue::cbregrouperChange() {
    kept_.group.reset();
    view_.groupBy(chosenGroupColumn());
    showRows();
}

void Tformvue::groupOrderChange() {
    showGroups();
}

void Tformvue::lstgroupesChange() {
    const int row = ui_->lstgroupes->currentIndex().row();
    const int group = groups_->group(row);
    if (group < 0)
        kept_.group.reset();
    else
        kept_.group = groups_->name(row);
    view_.chooseGroup(group);
    showRows();
}

void Tformvue::sortOn(int column, bool descending) {
    const BusyCursor busy(services_.cursor);
    view_.sortBy(column, descending);
    showRows();
    if (const QModelIndex current = ui_->tblvue->currentIndex(); current.isValid())
        ui_->tblvue->scrollTo(current);
}

void Tformvue::headerClick(int section) {
    const int column = columns_[std::size_t(section)];
    // A second click on the same column turns the order round.
    sortOn(column, view_.sortColumn() == column && !view_.descending());
}

void Tformvue::toggleColumn(int column) {
    const auto at = std::find(columns_.begin(), columns_.end(), column);
    if (at != columns_.end()) {
        if (columns_.size() == 1) return; // a table without a column shows nothing
        widths_.erase(widths_.begin() + (at - columns_.begin()));
        columns_.erase(at);
    } else {
        columns_.push_back(column);
        const QString caption =
            QString::fromStdString(q7::columnCaption(columnAt(column), state_.settings));
        widths_.push_back(std::max(
            ui_->tblvue->fontMetrics().averageCharWidth() * columnAt(column).weight * 3 / 2,
            ui_->tblvue->horizontalHeader()->fontMetrics().horizontalAdvance(caption) + 24));
    }
    applySearched();
    showRows();
}

QMenu* Tformvue::tableMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QMenu* order = menu->addMenu(QStringLiteral("&Trier par"));
    order->addAction(QStringLiteral("Ordre du &catalogue"), this,
                     [this] { runCommand(services_.dialogs, [this] { sortOn(-1, false); }); });
    QMenu* shown = menu->addMenu(QStringLiteral("C&olonnes"));
    const auto all = q7::overviewColumns();
    for (std::size_t c = 0; c < all.size(); ++c) {
        const QString caption = literalCaption(
            toBytes(QString::fromStdString(q7::columnCaption(all[c], state_.settings))));
        const int column = int(c);
        const bool isShown = std::find(columns_.begin(), columns_.end(), column) != columns_.end();
        if (isShown)
            for (bool descending : {false, true})
                order->addAction(
                    caption + (descending ? QStringLiteral(" (décroissant)") : QString()), this,
                    [this, column, descending] {
                        runCommand(services_.dialogs, [&] { sortOn(column, descending); });
                    });
        QAction* toggle = shown->addAction(caption, this, [this, column] {
            runCommand(services_.dialogs, [&] { toggleColumn(column); });
        });
        toggle->setCheckable(true);
        toggle->setChecked(isShown);
        toggle->setEnabled(!isShown || columns_.size() > 1);
    }
    return menu;
}

void Tformvue::tblvueActivate() {
    const int record = table_->record(ui_->tblvue->currentIndex().row());
    if (record < 0) return;
    kept_.record = record;
    show_ = record;
    accept();
}

bool Tformvue::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->tblvue->viewport() && event->type() == QEvent::Paint && !view_.prepared() &&
        books_.size() > 0)
        // Once the first rows are on screen, the filter's texts are made ready.
        QTimer::singleShot(0, this, [this] { view_.prepare(); });
    if (watched == ui_->edtfiltre && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
            // From the filter to the list, on the book chosen before or the first one.
            if (table_->rowCount() > 0) {
                if (!ui_->tblvue->currentIndex().isValid())
                    ui_->tblvue->setCurrentIndex(table_->index(0, 0));
                ui_->tblvue->setFocus();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tformvue::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Scrolled to where the list was left, once the view knows its size.
    QTimer::singleShot(0, this, [this, scroll = kept_.scroll] {
        ui_->tblvue->verticalScrollBar()->setValue(scroll);
    });
}

void Tformvue::done(int result) {
    if (const int record = table_->record(ui_->tblvue->currentIndex().row()); record >= 0)
        kept_.record = record;
    kept_.scroll = ui_->tblvue->verticalScrollBar()->value();
    kept_.sortColumn = view_.sortColumn();
    kept_.descending = view_.descending();
    runCommand(services_.dialogs, [this] {
        q7::writeOverviewLayout(services_.settingsStore, {columns_, widths_});
    });
    QDialog::done(result);
    // The books are read again at the next opening: their memory goes back now.
    books_.clear();
    view_.release();
    if (auto* thumbnails = findChild<CoverThumbnails*>()) thumbnails->clear();
    table_->refresh(columns_, state_.settings);
    groups_->setGroups({}, 0);
#ifdef __GLIBC__
    malloc_trim(0); // the freed pages go back to the system, not only to the allocator
#endif
}

std::pair<std::string, std::string> Tformvue::listTitle() const {
    std::string title = q7::lit("Vue d'ensemble : ") + toBytes(ui_->lblcompte->text());
    QStringList parts;
    if (!ui_->edtfiltre->text().trimmed().isEmpty())
        parts << QStringLiteral("filtre « %1 » dans %2")
                     .arg(ui_->edtfiltre->text().trimmed(), ui_->cbchamp->currentText().toLower());
    if (view_.chosenGroup() >= 0)
        parts << QStringLiteral("%1 : %2").arg(
            ui_->cbregrouper->currentText(),
            groupName(groups_->name(groups_->rowOf(view_.chosenGroup()))));
    return {title, toBytes(parts.isEmpty() ? QStringLiteral("Tous les livres")
                                           : parts.join(QStringLiteral(" ; ")))};
}

void Tformvue::btexporterClick() {
    // The data folder, the name proposed.
    const std::optional<QString> path = services_.dialogs.saveFileName(
        QStringLiteral("Exporter la liste"),
        QString::fromStdString(services_.workDir) + QStringLiteral("/Vue d'ensemble.csv"),
        {QStringLiteral("Fichiers CSV (*.csv)"), QStringLiteral("Classeurs OpenDocument (*.ods)"),
         QStringLiteral("Catalogue de poche (*.html)"), QStringLiteral("Tous les fichiers (*)")});
    if (!path) return;
    if (q7::pocketPageName(path->toStdString())) return exportPocketPage(*path);
    const BusyCursor busy(services_.cursor);
    const q7::ShownList shown{books_, view_.rows(), columns_, state_.settings};
    q7::OutputFile file(services_.fs, path->toStdString());
    file.buffer() = path->endsWith(QStringLiteral(".ods"), Qt::CaseInsensitive)
                        ? q7::overviewSpreadsheet(shown)
                        : q7::overviewCsv(shown);
    file.finish();
}

void Tformvue::exportPocketPage(const QString& path) {
    // What the thumbnails may add is said before anything is written.
    const Covers covers(state_.data);
    const bool thumbnails =
        covers.count() > 0 &&
        ask(services_.dialogs,
            QStringLiteral("Ajouter les vignettes des couvertures %1 ?").arg(coversCost(covers)));
    const BusyCursor busy(services_.cursor);
    const q7::LentBooks lent = lent_ ? lent_() : q7::LentBooks();
    q7::PageExtras extras{std::time(nullptr), &lent, {}, {}};
    if (thumbnails)
        extras.thumbnail = [&covers](std::string_view reference) {
            return covers.thumbnail(reference);
        };
    const std::vector<int>& rows = view_.rows();
    q7::Fiche record;
    // Each book read again whole, the position P left alone.
    q7::writePocketPage(
        services_.fs, path.toStdString(), int(rows.size()),
        [&](int i) -> const q7::Fiche& {
            if (state_.data.readRecords(rows[std::size_t(i)], 1, record.bytes.data()) != 1)
                throw q7::IoError(q7::IoError::readPastEnd);
            return record;
        },
        state_.settings, extras);
}

void Tformvue::btimprimerClick() {
    const auto [title, detail] = listTitle();
    const std::vector<q7::PrintLayout> pages =
        q7::overviewSheet({books_, view_.rows(), columns_, state_.settings}, title, detail,
                          textWidthOn(services_.printer));
    // A whole catalogue is hundreds of pages: the collector says so before the paper goes.
    if (pages.size() > 20 &&
        !ask(services_.dialogs,
             QStringLiteral("La liste tient sur %1 pages : l'imprimer ?").arg(pages.size())))
        return;
    const BusyCursor busy(services_.cursor);
    printPages(services_.printer, pages);
}
