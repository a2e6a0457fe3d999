// The record window's openers of the notebook, help, about box, options and the two
// external programs.
#include "app/Q7prin.h"
#include "companions/apropos.h"
#include "companions/Q7aide.h"
#include "companions/Q7carnet.h"
#include "platform/QtText.h"
#include "settings/Q7option.h"
#include "ui_Q7prin.h"

void Tformprin::smenucarnetClick() {
    if (windows_.carnet) windows_.carnet->execute();
}

void Tformprin::menuaideClick() {
    if (windows_.aide) windows_.aide->execute();
}

void Tformprin::Apropos1Click() {
    if (windows_.apropos) windows_.apropos->execute();
}

void Tformprin::smenuoptionsClick() {
    if (windows_.option) windows_.option->execute();
}

// A program that cannot be started is not reported.
void Tformprin::menuext1Click() {
    services_.launcher.startDetached(fromBytes(state_.settings.appext_manip));
}

void Tformprin::menuext2Click() {
    services_.launcher.startDetached(fromBytes(state_.settings.appext_gest));
}

void Tformprin::connectCompanions() {
    auto& u = *ui_;
    const auto carnet = guarded([this] { smenucarnetClick(); });
    connect(u.smenucarnet, &QAction::triggered, this, carnet);
    connect(u.spdbcarnet, &QAction::triggered, this, carnet);
    const auto aide = guarded([this] { menuaideClick(); });
    connect(u.menuaide, &QAction::triggered, this, aide);
    connect(u.spdbaide, &QAction::triggered, this, aide);
    connect(u.Apropos1, &QAction::triggered, this, guarded([this] { Apropos1Click(); }));
    connect(u.smenuoptions, &QAction::triggered, this, guarded([this] { smenuoptionsClick(); }));
    const auto ext1 = guarded([this] { menuext1Click(); });
    connect(u.menuext1, &QAction::triggered, this, ext1);
    connect(u.spdbapplication, &QAction::triggered, this, ext1);
    connect(u.menuext2, &QAction::triggered, this, guarded([this] { menuext2Click(); }));
}
