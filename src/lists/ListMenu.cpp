// The record window's ways into the lists: "Listes", "Inserer dans liste" with the
// clickable captions, and "Ancienes réferences".
#include "app/ClickLabel.h"
#include "app/Q7prin.h"
#include "lists/Q7anciennum.h"
#include "lists/Q7liste.h"
#include "ui_Q7prin.h"

void Tformprin::smenulisteClick() {
    if (windows_.liste) services_.modal.showModal(*windows_.liste);
}

void Tformprin::menuanciennumClick() {
    if (!windows_.anciennum) return;
    windows_.anciennum->setReferenceTaker(
        [this](const QString& reference) { ui_->edtnumero->setText(reference); });
    services_.modal.showModal(*windows_.anciennum);
}

void Tformprin::connectLists() {
    auto& u = *ui_;
    auto insertFrom = [this](QObject* sender) {
        return [this, sender] { command([&] { institreClick(sender); }); };
    };
    for (QAction* item :
         {u.institre, u.insauteur, u.inssujet, u.insCollections, u.insEditions, u.insImprimeurs,
          u.insorigine, u.inspos1, u.inspos2, u.inspos3, u.inspos4, u.menuinsertutil})
        connect(item, &QAction::triggered, this, insertFrom(item));
    for (ClickLabel* label : {u.lbltitre, u.lblauteur, u.lblsujet, u.lbledition, u.lblimprimeur,
                              u.lblcollection, u.lblorigine, u.lblutilisateur})
        connect(label, &ClickLabel::clicked, this, insertFrom(label));
    connect(u.smenuliste, &QAction::triggered, this,
            [this] { command([this] { smenulisteClick(); }); });
    connect(u.menuanciennum, &QAction::triggered, this,
            [this] { command([this] { menuanciennumClick(); }); });
}
