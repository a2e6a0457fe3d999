#pragma once
// The word-search dialog: a field (title, notes or user text) and a word to find in it.
#include "platform/Services.h"
#include "record/AppState.h"
#include "settings/SettingsRoutine.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class TFormrecmot;
}

class TFormrecmot : public QDialog, public SettingsView {
    Q_OBJECT
public:
    TFormrecmot(AppState& state, Services& services, QWidget* parent = nullptr);
    ~TFormrecmot() override;

    Ui::TFormrecmot& ui() const { return *ui_; }
    // What "&Chercher" starts once the word is taken: the record window's word search.
    void setSearchStart(std::function<void()> start) { start_ = std::move(start); }

    void showSettings(const q7::Settings& values, bool fromRead) override;

    void FormShow();
    void rbtitreClick();
    void btcherchermotClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TFormrecmot> ui_;
    AppState& state_;
    Services& services_;
    std::function<void()> start_;
};
