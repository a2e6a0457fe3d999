#include "output/OutputController.h"

#include "output/PrintOnPrinter.h"
#include "output/Q7etiq.h"
#include "output/Q7export.h"
#include "output/RecordText.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"

#include <QAction>

OutputController::OutputController(RecordWindow& window, const Controls& c, Tformexport& exporter,
                                   TFormetiq& etiq)
    : window_(window), exporter_(exporter), etiq_(etiq) {
    Dialogs& d = window.services().dialogs;
    for (const q7::ExportType& type : q7::exportTypes())
        connect(window.item(type.menuItem), &QAction::triggered, this,
                guarded(d, [this, kind = type.kind] { showExport(kind); }));
    connect(c.menuimprimerfiche, &QAction::triggered, this,
            guarded(d, this, &OutputController::menuimprimerficheClick));
    connect(c.menuimpfiche, &QAction::triggered, this,
            guarded(d, this, &OutputController::menuimpficheClick));
    for (QAction* add : {c.Ajouterdansliste1, c.spdbajout})
        connect(add, &QAction::triggered, this,
                guarded(d, this, &OutputController::Ajouterdansliste1Click));
    for (QAction* show : {c.smenuimprimer, c.spdbimpression})
        connect(show, &QAction::triggered, this,
                guarded(d, this, &OutputController::smenuimprimerClick));
}

void OutputController::showExport(q7::ExportKind kind) {
    exporter_.setKind(kind);
    window_.services().modal.showModal(exporter_);
}

void OutputController::menuimprimerficheClick() {
    AppState& state = window_.state();
    const BusyCursor busy(window_.services().cursor);
    printLayout(window_.services().printer,
                q7::recordPrintout(window_.screen(), state.data.position(), state.settings));
}

void OutputController::menuimpficheClick() {
    AppState& state = window_.state();
    const BusyCursor busy(window_.services().cursor);
    q7::writeRecordTextFile(state.folder, state.buffer, state.data.position(), state.settings);
}

void OutputController::Ajouterdansliste1Click() {
    etiq_.addReference(controlText(window_.control(*q7::bindingOf(q7::Field::numero))));
}

void OutputController::smenuimprimerClick() {
    window_.services().modal.showModal(etiq_);
}
