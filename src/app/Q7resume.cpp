#include "app/Q7resume.h"

#include "ui_Q7resume.h"

TFormresume::TFormresume(AppState& state, QWidget* parent)
    : MemoWindow(state, q7::Field::resume, parent), ui_(std::make_unique<Ui::TFormresume>()) {
    ui_->setupUi(this);
    // The summary window alone can be resized.
    setUp(ui_->memoresume, ui_->btfermer);
    setMinimumSize(size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

TFormresume::~TFormresume() = default;
