// The five modes of the record window as one table, applied row by row.
#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "covers/CoverController.h"
#include "output/ExportTypes.h"
#include "ui_Q7prin.h"
#include "widgets/MemoEdit.h"

#include <QMenu>

#include <array>

namespace {

enum class Item {
    EndNewRecord,
    Fields,
    ChercherPar,
    MenuChercher,
    MenuEffacer,
    MenuEnregistrer,
    Impression,
    Etiquettes,
    Inserer,
    RecordItems,
    Exportation,
    ExportWhole,  // the export table's whole-catalogue kinds
    ExportRecord, // and its kinds of the record shown
    BtbEnregistrer,
    BtbChercher,
    Gestion,
    Browse,
    ZeroCounters,
    BlackCaptions,
    EmptyNotes,
    ToolEntry,
    ToolSearch,
    LoanItems,
    LoanWindow,
    ClearLoan,
    IsbnLookup,
    CoverItems,
    Overview,
    ImportItems,
};

// On and Off enable and disable, or do and skip the rows that are actions; Keep leaves
// the item as it is.
enum class Cell { On, Off, Keep };
constexpr Cell on = Cell::On, off = Cell::Off, keep = Cell::Keep;

struct Row {
    Item item;
    std::array<Cell, 5> cell; // main menu, new record, save, search, browse
};

// Applied top to bottom: a later row overrides what "Fields" did to the same button.
constexpr Row modeTable[] = {
    {Item::EndNewRecord, {on, keep, keep, keep, keep}},
    {Item::Fields, {off, on, keep, off, on}},
    {Item::ChercherPar, {on, off, on, on, on}},
    {Item::MenuChercher, {off, off, on, on, off}},
    {Item::MenuEffacer, {off, off, on, on, on}},
    {Item::MenuEnregistrer, {off, on, keep, on, on}},
    {Item::Impression, {off, off, off, on, on}},
    {Item::Etiquettes, {keep, off, keep, on, on}},
    {Item::Inserer, {off, on, keep, on, on}},
    {Item::RecordItems, {off, on, off, on, on}},
    {Item::Exportation, {on, off, off, on, on}},
    {Item::ExportWhole, {on, keep, keep, off, off}},
    {Item::ExportRecord, {off, keep, keep, on, on}},
    {Item::BtbEnregistrer, {keep, keep, keep, on, on}},
    {Item::BtbChercher, {off, off, keep, on, off}},
    {Item::Gestion, {on, off, on, off, off}},
    {Item::Browse, {off, off, on, off, on}},
    {Item::ZeroCounters, {on, on, keep, on, on}},
    {Item::BlackCaptions, {on, keep, keep, keep, keep}},
    {Item::EmptyNotes, {keep, on, keep, keep, keep}},
    {Item::ToolEntry, {off, on, off, on, on}},
    {Item::ToolSearch, {off, off, off, on, on}},
    {Item::LoanItems, {off, off, off, on, on}},
    {Item::LoanWindow, {on, off, keep, on, on}},
    {Item::ClearLoan, {on, on, keep, on, on}},
    {Item::IsbnLookup, {off, on, off, off, on}},
    {Item::CoverItems, {off, on, off, off, on}},
    {Item::Overview, {on, off, off, off, on}},
    {Item::ImportItems, {on, off, off, off, off}},
};

// The status line's text of each mode; null leaves it to the command.
constexpr std::array<const char*, 5> statusText = {"Menu principal", "nouvelle fiche", nullptr,
                                                   nullptr, nullptr};

void enable(std::initializer_list<QAction*> actions, bool enabled) {
    for (QAction* a : actions)
        a->setEnabled(enabled);
}

} // namespace

void Tformprin::applyMode(Mode mode) {
    auto& u = *ui_;
    const auto column = static_cast<std::size_t>(mode);
    for (const Row& row : modeTable) {
        const Cell cell = row.cell[column];
        if (cell == Cell::Keep) continue;
        const bool yes = cell == Cell::On;
        switch (row.item) {
        case Item::EndNewRecord: state_.newRecord = false; break;
        case Item::Fields: enableFields(yes); break;
        case Item::ChercherPar: u.menuChercherpar->menuAction()->setEnabled(yes); break;
        case Item::MenuChercher: u.menuChercher->setEnabled(yes); break;
        case Item::MenuEffacer: u.menuEffacer->setEnabled(yes); break;
        case Item::MenuEnregistrer: u.menuEnregistrer->setEnabled(yes); break;
        case Item::Impression: u.menuImpression->menuAction()->setEnabled(yes); break;
        case Item::Etiquettes: u.menuEtiquettes->menuAction()->setEnabled(yes); break;
        case Item::Inserer: u.menuInserer->menuAction()->setEnabled(yes); break;
        case Item::RecordItems:
            enable({u.menuNotes, u.menuResume, u.menuControl, u.menuanciennum}, yes);
            break;
        case Item::Exportation: u.menuExportation->menuAction()->setEnabled(yes); break;
        case Item::ExportWhole:
        case Item::ExportRecord:
            for (const q7::ExportType& type : q7::exportTypes())
                if (type.wholeFile == (row.item == Item::ExportWhole))
                    item(type.menuItem)->setEnabled(yes);
            break;
        case Item::BtbEnregistrer: u.btbenregistrer->setEnabled(yes); break;
        case Item::BtbChercher: u.btbchercher->setEnabled(yes); break;
        case Item::Gestion:
            enable({u.smenuliste, u.smenutrier, u.smenuoptions, u.smenuinformations}, yes);
            break;
        case Item::Browse: enableNavigation(yes); break;
        case Item::ZeroCounters:
            setHits(0);
            u.edtnbfiche->setText(QStringLiteral("0"));
            break;
        case Item::BlackCaptions:
            for (const q7::FieldBinding& row : q7::fieldTable())
                if (row.holds == q7::Holds::Memo) showFilled(control(row), row, false);
            break;
        case Item::EmptyNotes: windows_.note->memo().clear(); break;
        case Item::ToolEntry:
            enable({u.spdbenregistrer, u.spdbnote, u.spdbresume, u.spdbajout}, yes);
            break;
        case Item::ToolSearch:
            enable({u.spdbchercher, u.spdbrecliste, u.spdbimpression}, yes);
            break;
        case Item::LoanItems: enable({u.menuPreter, u.menuRetourPret}, yes); break;
        case Item::LoanWindow: u.smenuprets->setEnabled(yes); break;
        case Item::ClearLoan: u.lblpret->clear(); break;
        case Item::IsbnLookup: enable({u.menuIsbn, u.menuNotice, u.menuDeja}, yes); break;
        case Item::CoverItems: enable({u.menuCouverture, u.menuCollerCouverture}, yes); break;
        case Item::Overview: enable({u.menuvue, u.spdbvue}, yes); break;
        case Item::ImportItems: enable({u.menuImporter, u.menuAnnulerImport}, yes); break;
        }
    }
    if (const char* text = statusText[column]) setStatus(QString::fromUtf8(text));
    if (mode != Mode::NewRecord) started_.clear();
    if (covers_) covers_->modeApplied(mode);
    // Fields turned off take the focus with them: not into a read-only counter.
    restoreFocus();
}
