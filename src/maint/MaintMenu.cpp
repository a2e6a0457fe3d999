// "Trier  Q7.dat" and "&Informations" of the record window's "Gestion" menu.
#include "app/Q7prin.h"
#include "maint/Q7ficq7.h"
#include "maint/Q7info.h"
#include "ui_Q7prin.h"

void Tformprin::smenutrierClick() {
    if (windows_.fic) services_.modal.showModal(*windows_.fic);
}

void Tformprin::smenuinformationsClick() {
    if (windows_.info) services_.modal.showModal(*windows_.info);
}

void Tformprin::connectMaintenance() {
    connect(ui_->smenutrier, &QAction::triggered, this, guarded([this] { smenutrierClick(); }));
    connect(ui_->smenuinformations, &QAction::triggered, this,
            guarded([this] { smenuinformationsClick(); }));
}
