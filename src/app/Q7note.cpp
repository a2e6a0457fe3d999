#include "app/Q7note.h"

#include "ui_Q7note.h"

Tformnote::Tformnote(AppState& state, QWidget* parent)
    : MemoWindow(state, q7::Field::notes, parent), ui_(std::make_unique<Ui::Tformnote>()) {
    ui_->setupUi(this);
    setUp(ui_->memonotes, ui_->btfermer);
}

Tformnote::~Tformnote() = default;
