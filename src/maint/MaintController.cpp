#include "maint/MaintController.h"

#include "maint/Q7ficq7.h"
#include "maint/Q7info.h"
#include "platform/Command.h"
#include "platform/Services.h"

#include <QAction>

MaintController::MaintController(RecordWindow& window, const Controls& c, Tformfic& fic,
                                 Tforminfo& info)
    : window_(window), fic_(fic), info_(info) {
    Dialogs& d = window.services().dialogs;
    connect(c.smenutrier, &QAction::triggered, this,
            guarded(d, this, &MaintController::smenutrierClick));
    connect(c.smenuinformations, &QAction::triggered, this,
            guarded(d, this, &MaintController::smenuinformationsClick));
}

void MaintController::smenutrierClick() {
    window_.services().modal.showModal(fic_);
}

void MaintController::smenuinformationsClick() {
    window_.services().modal.showModal(info_);
}
