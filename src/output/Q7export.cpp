#include "output/Q7export.h"

#include "output/Thumbnails.h"
#include "platform/Command.h"
#include "platform/ProgressGauge.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"
#include "record/AppState.h"
#include "ui_Q7export.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <ctime>
#include <optional>

Tformexport::Tformexport(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tformexport>()), state_(state), services_(services) {
    ui->setupUi(this);
    connect(ui->Button1, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &Tformexport::exportCatalogue));
    connect(ui->btfermer, &QPushButton::clicked, this, &Tformexport::btfermerClick);
}

Tformexport::~Tformexport() = default;

QString Tformexport::caption(q7::ExportKind kind) {
    return QString::fromUtf8(q7::exportType(kind).caption);
}

void Tformexport::setKind(q7::ExportKind kind) {
    kind_ = kind;
    setWindowTitle(caption(kind));
}

QString Tformexport::documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void Tformexport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tformexport::FormShow() {
    ui->Gauge1->setRange(0, 100);
    ui->Gauge1->setValue(0);
    const bool asks = q7::exportType(kind_).asksTableName;
    ui->lblnom->setVisible(asks);
    ui->edtnomtab->setVisible(asks);
    const bool covers = q7::exportType(kind_).bookPage;
    ui->ckbvignettes->setVisible(covers);
    if (covers) {
        // What the thumbnails may add is said before anything is written.
        const Covers found(state_.data);
        ui->ckbvignettes->setText(QStringLiteral("A&vec les vignettes des couvertures ") +
                                  coversCost(found));
        ui->ckbvignettes->setEnabled(found.count() > 0);
        if (found.count() == 0) ui->ckbvignettes->setChecked(false);
    }
}

void Tformexport::btfermerClick() {
    reject();
}

std::string Tformexport::targetFolder() const {
    if (ui->rbdoc->isChecked()) return QFile::encodeName(documentsFolder()).toStdString();
    return state_.folder.dir();
}

void Tformexport::exportCatalogue() {
    const q7::ExportType& type = q7::exportType(kind_);
    if (type.wholeFile) state_.data.seek(0);
    q7::ExportRequest request{kind_, targetFolder(), {}};
    if (state_.data.count() == 0) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral("Le fichier Q7.dat est vide !"));
        return;
    }
    // The user's standard folder, made when missing as the desktop itself would; when it
    // cannot be, the message names it rather than a bare "file not found".
    if (ui->rbdoc->isChecked() && !QDir().mkpath(documentsFolder())) {
        services_.dialogs.beep();
        services_.dialogs.error(
            QStringLiteral("Le dossier des documents « %1 » n'existe pas et ne peut pas être créé.")
                .arg(QDir::toNativeSeparators(documentsFolder())));
        return;
    }
    {
        std::optional<BusyCursor> busy(std::in_place, services_.cursor);
        ui->Gauge1->setValue(0);
        if (type.wholeFile) ui->Gauge1->setRange(0, state_.data.count());
        if (type.asksTableName) {
            // A name of spaces is a name; only an empty one is refused.
            if (ui->edtnomtab->text().isEmpty()) {
                busy.reset();
                services_.dialogs.beep();
                services_.dialogs.message(QStringLiteral("Le champs TABLE est vide !"));
                focusForTyping(ui->edtnomtab);
                return;
            }
            request.tableName = toBytes(ui->edtnomtab->text());
        }
        const q7::LentBooks lent = type.bookPage && lent_ ? lent_() : q7::LentBooks();
        request.extras.made = std::time(nullptr);
        request.extras.lent = &lent;
        std::optional<Covers> covers;
        if (type.bookPage && ui->ckbvignettes->isChecked()) {
            covers.emplace(state_.data);
            request.extras.thumbnail = [&covers](std::string_view reference) {
                return covers->thumbnail(reference);
            };
        }
        ProgressGauge gauge(*ui->Gauge1);
        q7::runExport(state_.data, state_.buffer, state_.settings, state_.folder.fs(), request,
                      [&gauge](int done, int total) { gauge.report(done, total); });
    }
    accept();
}
