#pragma once
// The export window: writes the catalogue, or the shown record, in one of the kinds of
// the export table. The record window sets the kind, then shows it modally.
#include "output/ExportRunner.h"

#include <QDialog>

#include <functional>
#include <memory>

struct AppState;
struct Services;

namespace Ui {
class Tformexport;
}

class Tformexport : public QDialog {
    Q_OBJECT

public:
    Tformexport(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformexport() override;

    // The kind's title: "Exporter en TXT"...
    static QString caption(q7::ExportKind kind);
    // The kind of the next showing; the caption says it.
    void setKind(q7::ExportKind kind);
    q7::ExportKind kind() const { return kind_; }
    // The folder of "Mes documents": the user's documents folder.
    static QString documentsFolder();
    // Who has which book out, read when a page that says it is written.
    void setLentBooks(std::function<q7::LentBooks()> lent) { lent_ = std::move(lent); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btfermerClick();
    // "Exporter" (Button1).
    void exportCatalogue();
    std::string targetFolder() const;

    std::unique_ptr<Ui::Tformexport> ui;
    AppState& state_;
    Services& services_;
    q7::ExportKind kind_ = q7::ExportKind::Txt;
    std::function<q7::LentBooks()> lent_;
};
