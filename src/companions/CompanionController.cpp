#include "companions/CompanionController.h"

#include "companions/apropos.h"
#include "companions/Q7aide.h"
#include "companions/Q7carnet.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "settings/Q7option.h"

#include <QAction>

CompanionController::CompanionController(RecordWindow& window, const Controls& c,
                                         const Windows& windows)
    : window_(window), windows_(windows) {
    Dialogs& d = window.services().dialogs;
    const auto bind = [&](std::initializer_list<QAction*> items,
                          void (CompanionController::*handler)()) {
        for (QAction* item : items)
            connect(item, &QAction::triggered, this, guarded(d, this, handler));
    };
    bind({c.smenucarnet, c.spdbcarnet}, &CompanionController::smenucarnetClick);
    bind({c.menuaide, c.spdbaide}, &CompanionController::menuaideClick);
    bind({c.Apropos1}, &CompanionController::Apropos1Click);
    bind({c.smenuoptions}, &CompanionController::smenuoptionsClick);
    bind({c.menuext1, c.spdbapplication}, &CompanionController::menuext1Click);
    bind({c.menuext2}, &CompanionController::menuext2Click);
    // "&Réference" of the notebook stamps the title and reference the window shows.
    windows_.carnet.setRecordFields([&window] {
        return std::pair(controlText(window.control(*q7::bindingOf(q7::Field::titre))),
                         controlText(window.control(*q7::bindingOf(q7::Field::numero))));
    });
}

void CompanionController::smenucarnetClick() {
    windows_.carnet.execute();
}

void CompanionController::menuaideClick() {
    windows_.aide.execute();
}

void CompanionController::Apropos1Click() {
    windows_.apropos.execute();
}

void CompanionController::smenuoptionsClick() {
    windows_.option.execute();
}

void CompanionController::menuext1Click() {
    startExternal(ExternalProgram::Calculator);
}

void CompanionController::menuext2Click() {
    startExternal(ExternalProgram::Editor);
}

void CompanionController::startExternal(ExternalProgram which) {
    Services& services = window_.services();
    const QString command = externalCommand(which, window_.state().settings, services.launcher);
    if (services.launcher.startDetached(command)) return;
    services.dialogs.beep();
    services.dialogs.error(QStringLiteral("Le programme « %1 » n'a pas pu être lancé : "
                                          "choisissez-en un autre dans Gestion › Options.")
                               .arg(command));
}
