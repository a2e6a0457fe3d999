#pragma once
// The Notes and Summary windows: one memo each, loaded from the record buffer when
// shown outside a new entry; the memo is the only holder of the text until the save.
#include "record/AppState.h"
#include "store/Fiche.h"

#include <QDialog>

class MemoEdit;
class QPushButton;

class MemoWindow : public QDialog {
    Q_OBJECT
public:
    MemoEdit& memo() const { return *memo_; }
    // Loads the memo from the record buffer unless a new record is being entered.
    void FormShow();

protected:
    MemoWindow(AppState& state, q7::Field field, QWidget* parent);
    void setUp(MemoEdit* memo, QPushButton* close);
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppState& state_;
    q7::Field field_;
    MemoEdit* memo_ = nullptr;
};
