#pragma once
// The word-search dialog: a field (title, notes or user text) and a word to find in it.
#include "app/AppState.h"
#include "platform/Services.h"
#include "settings/SettingsRoutine.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class TFormrecmot;
}
class QPushButton;

class TFormrecmot : public QDialog, public SettingsView {
    Q_OBJECT
public:
    TFormrecmot(AppState& state, Services& services, QWidget* parent = nullptr);
    ~TFormrecmot() override;

    Ui::TFormrecmot& ui() const { return *ui_; }
    QPushButton* searchButton() const;
    // The record window's criterion choice, called with the "&Chercher" button.
    void setCriterionChoice(std::function<void(QObject*)> choose) { choose_ = std::move(choose); }

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
    std::function<void(QObject*)> choose_;
};
