#include "output/RecordOutput.h"

#include "app/AppState.h"
#include "output/PrintOnPrinter.h"
#include "output/RecordText.h"
#include "platform/Command.h"
#include "platform/Services.h"

bool printRecordPage(AppState& state, Services& services, const q7::RecordScreen& screen) {
    return runCommand(services.dialogs, [&] {
        const BusyCursor busy(services.cursor);
        printLayout(services.printer,
                    q7::recordPrintout(screen, state.data.position(), state.settings));
    });
}

bool writeRecordTextFile(AppState& state, Services& services) {
    return runCommand(services.dialogs, [&] {
        const BusyCursor busy(services.cursor);
        q7::writeRecordTextFile(state.folder, state.buffer, state.data.position(), state.settings);
    });
}
