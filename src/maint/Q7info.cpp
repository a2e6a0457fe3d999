#include "maint/Q7info.h"

#include "ui_Q7info.h"

#include "maint/ListCount.h"
#include "maint/Q7graph.h"
#include "maint/Statistics.h"
#include "output/PrintOnPrinter.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"
#include "record/FieldTable.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>

namespace {
constexpr int typedNameLimit = 50;
}

Tforminfo::Tforminfo(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tforminfo>()), state_(state), services_(services) {
    ui->setupUi(this);
    ui->cblstinfo->lineEdit()->setMaxLength(typedNameLimit);
    Dialogs& d = services_.dialogs;
    connect(ui->cblstinfo, &QComboBox::currentTextChanged, this,
            guarded(d, this, &Tforminfo::cblstinfoChange));
    connect(ui->btimprimer, &QPushButton::clicked, this,
            guarded(d, this, &Tforminfo::btimprimerClick));
    connect(ui->btfermer, &QPushButton::clicked, this, &Tforminfo::btfermerClick);
    connect(ui->btgraphiques, &QPushButton::clicked, this,
            guarded(d, this, &Tforminfo::btgraphiquesClick));
    // Alt+G opens the charts at once: the mnemonic would first hold the button down
    // for a tenth of a second.
    ui->btgraphiques->setShortcut(QKeySequence());
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_G), this), &QShortcut::activated,
            ui->btgraphiques, &QPushButton::click);
}

Tforminfo::~Tforminfo() = default;

void Tforminfo::showSettings(const q7::Settings& settings) {
    ui->lbldevise->setText(fromBytes(settings.devise));
}

void Tforminfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) runCommand(services_.dialogs, [this] { FormShow(); });
}

void Tforminfo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QLineEdit* Tforminfo::box(q7::Figure figure) const {
    switch (figure) {
    case q7::Figure::nbfiche: return ui->edtnbfiche;
    case q7::Figure::fic: return ui->edtfic;
    case q7::Figure::nbpage: return ui->edtnbpage;
    case q7::Figure::moyene: return ui->edtmoyene;
    case q7::Figure::lu: return ui->edtlu;
    case q7::Figure::prix: return ui->edtprix;
    case q7::Figure::moyenprix: return ui->edtmoyenprix;
    case q7::Figure::nbpagelu: break;
    }
    return ui->edtnbpagelu;
}

void Tforminfo::FormShow() {
    {
        // Refilling the choices does not count a list: the last count stays shown.
        const QSignalBlocker quiet(ui->cblstinfo);
        ui->cblstinfo->clear();
        ui->cblstinfo->clearEditText();
        ui->btimprimer->setEnabled(true);
        ui->btgraphiques->setEnabled(true);
        // The lists of the list manager up to "Langue", then the user list.
        for (const q7::FieldBinding* list : q7::listManagerOrder().first(8))
            ui->cblstinfo->addItem(QString::fromUtf8(list->listCaption));
        ui->cblstinfo->addItem(fromBytes(state_.settings.textutilisateur));
        ui->cblstinfo->setCurrentIndex(0);
        ui->cblstinfo->setFocus();
    }

    int records = 0;
    {
        BusyCursor busy(services_.cursor);
        // Each figure is shown as soon as it is known, so a record that stops the
        // computation leaves the earlier ones on screen.
        records = q7::computeStatistics(state_.data, state_.buffer,
                                        [this](q7::Figure f, const std::string& text) {
                                            box(f)->setText(QString::fromStdString(text));
                                        });
    }
    if (records == 0) {
        ui->btimprimer->setEnabled(false);
        ui->btgraphiques->setEnabled(false);
    }
    ui->edtrep->setText(QDir::toNativeSeparators(
        QDir(QFile::decodeName(state_.folder.dir().c_str())).absolutePath()));
}

void Tforminfo::cblstinfoChange(const QString& text) {
    ui->lblnbinfo->setText(QStringLiteral("0"));
    const auto name =
        q7::existingListFile(state_.folder, toBytes(text), state_.settings.textutilisateur);
    if (!name) return;
    ui->lblnbinfo->setText(QStringLiteral("Calcul..."));
    ui->lblnbinfo->repaint();
    BusyCursor busy(services_.cursor);
    ui->lblnbinfo->setNum(q7::countListLines(state_.folder, *name));
}

void Tforminfo::btimprimerClick() {
    BusyCursor busy(services_.cursor);
    const auto shown = [this](q7::Figure f) { return toBytes(box(f)->text()); };
    printLayout(services_.printer,
                q7::statisticsPrintout(
                    {shown(q7::Figure::nbfiche), shown(q7::Figure::nbpage),
                     shown(q7::Figure::moyene), shown(q7::Figure::lu), shown(q7::Figure::nbpagelu),
                     shown(q7::Figure::prix), shown(q7::Figure::moyenprix), shown(q7::Figure::fic),
                     toBytes(ui->edtrep->text()), toBytes(ui->lbldevise->text())}));
}

void Tforminfo::btfermerClick() {
    accept();
}

void Tforminfo::btgraphiquesClick() {
    if (!graph_) graph_ = new Tformgraph(state_, services_, this);
    graph_->load();
    services_.modal.showModal(*graph_);
}
