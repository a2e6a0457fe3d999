// The five modes of the record window as one table, applied row by row.
#include "app/MemoEdit.h"
#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7unit.h"
#include "ui_Q7prin.h"

#include <QMenu>

namespace {

enum class Item {
    NewRecordFlag,
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
    ExportWhole,
    ExportHtml,
    BtbEnregistrer,
    BtbChercher,
    Gestion,
    Browse,
    Counters,
    Status,
    NoteColours,
    NotesMemo,
    ToolEntry,
    ToolSearch
};

// "on", "off", "-" (unchanged) or a text to show; columns are modes 0 to 4.
struct Row {
    Item item;
    const char* cell[5];
};

const Row modeTable[] = {
    {Item::NewRecordFlag, {"false", "-", "-", "-", "-"}},
    {Item::Fields, {"off", "on", "-", "off", "on"}},
    {Item::ChercherPar, {"on", "off", "on", "on", "on"}},
    {Item::MenuChercher, {"off", "off", "on", "on", "off"}},
    {Item::MenuEffacer, {"off", "off", "on", "on", "on"}},
    {Item::MenuEnregistrer, {"off", "on", "-", "on", "on"}},
    {Item::Impression, {"off", "off", "off", "on", "on"}},
    {Item::Etiquettes, {"-", "off", "-", "on", "on"}},
    {Item::Inserer, {"off", "on", "-", "on", "on"}},
    {Item::RecordItems, {"off", "on", "off", "on", "on"}},
    {Item::Exportation, {"on", "off", "off", "on", "on"}},
    {Item::ExportWhole, {"on", "-", "-", "off", "off"}},
    {Item::ExportHtml, {"off", "-", "-", "on", "on"}},
    {Item::BtbEnregistrer, {"-", "-", "-", "on", "on"}},
    {Item::BtbChercher, {"off", "off", "-", "on", "off"}},
    {Item::Gestion, {"on", "off", "on", "off", "off"}},
    {Item::Browse, {"off", "off", "on", "off", "on"}},
    {Item::Counters, {"0", "0", "-", "0", "0"}},
    {Item::Status, {"Menu principal", "nouvelle fiche", "-", "-", "-"}},
    {Item::NoteColours, {"black", "-", "-", "-", "-"}},
    {Item::NotesMemo, {"-", "empty", "-", "-", "-"}},
    {Item::ToolEntry, {"off", "on", "off", "on", "on"}},
    {Item::ToolSearch, {"off", "off", "off", "on", "on"}},
};

void enable(std::initializer_list<QAction*> actions, bool on) {
    for (QAction* a : actions)
        a->setEnabled(on);
}

void apply(Tformprin& w, Item item, const QString& cell) {
    auto& u = w.ui();
    const bool on = cell == QLatin1String("on");
    switch (item) {
    case Item::NewRecordFlag: w.state().newRecord = false; break;
    case Item::Fields: q7unit::enableFields(w, on); break;
    case Item::ChercherPar: u.menuChercherpar->menuAction()->setEnabled(on); break;
    case Item::MenuChercher: u.menuChercher->setEnabled(on); break;
    case Item::MenuEffacer: u.menuEffacer->setEnabled(on); break;
    case Item::MenuEnregistrer: u.menuEnregistrer->setEnabled(on); break;
    case Item::Impression: u.menuImpression->menuAction()->setEnabled(on); break;
    case Item::Etiquettes: u.menuEtiquettes->menuAction()->setEnabled(on); break;
    case Item::Inserer: u.menuInserer->menuAction()->setEnabled(on); break;
    case Item::RecordItems:
        enable({u.menuNotes, u.menuResume, u.menuControl, u.menuanciennum}, on);
        break;
    case Item::Exportation: u.menuExportation->menuAction()->setEnabled(on); break;
    case Item::ExportWhole: enable({u.menuQ7imprestxt, u.menusql, u.menucsv}, on); break;
    case Item::ExportHtml: u.menuHTML->setEnabled(on); break;
    case Item::BtbEnregistrer: u.btbenregistrer->setEnabled(on); break;
    case Item::BtbChercher: u.btbchercher->setEnabled(on); break;
    case Item::Gestion:
        enable({u.smenuliste, u.smenutrier, u.smenuoptions, u.smenuinformations}, on);
        break;
    case Item::Browse: q7unit::enableNavigation(w, on); break;
    case Item::Counters:
        u.edtcptfiche->setText(cell);
        u.edtnbfiche->setText(cell);
        break;
    case Item::Status: u.lblinfo->setText(cell); break;
    case Item::NoteColours:
        for (QPushButton* b : {u.btbnotes, u.btbresume})
            q7unit::setCaptionColour(b, Qt::black);
        break;
    case Item::NotesMemo:
        if (w.windows().note) w.windows().note->memo().clear();
        break;
    case Item::ToolEntry:
        enable({u.spdbenregistrer, u.spdbnote, u.spdbresume, u.spdbajout}, on);
        break;
    case Item::ToolSearch: enable({u.spdbchercher, u.spdbrecliste, u.spdbimpression}, on); break;
    }
}

} // namespace

void Tformprin::applyMode(int mode) {
    for (const Row& row : modeTable) {
        const QString cell = QString::fromUtf8(row.cell[mode]);
        if (cell != QLatin1String("-")) apply(*this, row.item, cell);
    }
}
