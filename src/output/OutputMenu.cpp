// The record window's "Impression" and "Exportation" menus.
#include "app/MemoEdit.h"
#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "output/Q7etiq.h"
#include "output/Q7export.h"
#include "output/RecordOutput.h"
#include "platform/QtText.h"
#include "ui_Q7prin.h"

namespace {
q7::RecordScreen screenOf(Tformprin& w) {
    auto& u = w.ui();
    q7::RecordScreen s;
    auto t = [](const QString& text) { return toBytes(text); };
    s.titre = t(u.cbtitre->currentText());
    s.auteur = t(u.cbauteur->currentText());
    s.sujet = t(u.cbsujet->currentText());
    s.collection = t(u.cbcollection->currentText());
    s.edition = t(u.cbedition->currentText());
    s.imprimeur = t(u.cbimprimeur->currentText());
    s.type = t(u.cbtype->currentText());
    s.langue = t(u.cblangue->currentText());
    s.origine = t(u.cborigine->currentText());
    s.utilisateur = t(u.cbutilisateur->currentText());
    s.etat = t(u.cbetat->currentText());
    s.prix = t(u.edtprix->text());
    s.isbn = t(u.edtisbn->text());
    s.numero = t(u.edtnumero->text());
    s.jour = t(u.edtjour->text());
    s.mois = t(u.edtmois->text());
    s.annee = t(u.edtannee->text());
    s.anedition = t(u.edtanedition->text());
    s.nbpage = t(u.edtnbpage->text());
    s.pos1 = t(u.cbpos1->currentText());
    s.pos2 = t(u.cbpos2->currentText());
    s.pos3 = t(u.cbpos3->currentText());
    s.pos4 = t(u.cbpos4->currentText());
    if (w.windows().note) s.notes = w.windows().note->memo().storedText();
    if (w.windows().resume) s.resume = w.windows().resume->memo().storedText();
    s.plutome = u.ckbplutome->isChecked();
    s.plusauteur = u.ckbplusauteur->isChecked();
    s.lut = u.ckblut->isChecked();
    s.hs = u.ckbhs->isChecked();
    s.utilisateurCoche = u.ckbutilisateur->isChecked();
    s.signet = u.ckbsignet->isChecked();
    s.jacquette = u.ckbjacquette->isChecked();
    return s;
}
} // namespace

void Tformprin::showExport(int kind) {
    if (!windows_.exporter) return;
    windows_.exporter->setWindowTitle(Tformexport::caption(static_cast<q7::ExportKind>(kind)));
    services_.modal.showModal(*windows_.exporter);
}

void Tformprin::connectOutputs() {
    auto& u = *ui_;
    const struct {
        QAction* item;
        q7::ExportKind kind;
    } exports[] = {{u.menuQ7imprestxt, q7::ExportKind::Txt},
                   {u.menusql, q7::ExportKind::Sql},
                   {u.menucsv, q7::ExportKind::Csv},
                   {u.menuHTML, q7::ExportKind::Html}};
    for (const auto& e : exports) {
        const int kind = static_cast<int>(e.kind);
        connect(e.item, &QAction::triggered, this, guarded([this, kind] { showExport(kind); }));
    }
    // The record commands wrap themselves in the error box.
    connect(u.menuimprimerfiche, &QAction::triggered, this,
            [this] { printRecordPage(state_, services_, screenOf(*this)); });
    connect(u.menuimpfiche, &QAction::triggered, this,
            [this] { writeRecordTextFile(state_, services_); });
    auto addLabel = guarded([this] {
        if (windows_.etiq) windows_.etiq->addReference(ui_->edtnumero->text());
    });
    connect(u.Ajouterdansliste1, &QAction::triggered, this, addLabel);
    connect(u.spdbajout, &QAction::triggered, this, addLabel);
    auto showLabels = guarded([this] {
        if (windows_.etiq) services_.modal.showModal(*windows_.etiq);
    });
    connect(u.smenuimprimer, &QAction::triggered, this, showLabels);
    connect(u.spdbimpression, &QAction::triggered, this, showLabels);
}
