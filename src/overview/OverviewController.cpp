#include "overview/OverviewController.h"

#include "overview/Q7vue.h"
#include "platform/Command.h"
#include "platform/Services.h"

#include <QAction>

OverviewController::OverviewController(RecordWindow& window, const Controls& controls,
                                       Tformvue& vue, std::function<q7::Borrowers()> borrowers)
    : window_(window), vue_(vue), borrowers_(std::move(borrowers)) {
    Dialogs& d = window.services().dialogs;
    for (QAction* a : {controls.menuvue, controls.spdbvue})
        connect(a, &QAction::triggered, this, guarded(d, this, &OverviewController::menuvueClick));
}

void OverviewController::menuvueClick() {
    const std::optional<int> index = vue_.execute(borrowers_());
    if (index) window_.showBrowsed(*index);
}
