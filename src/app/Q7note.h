#pragma once
#include "app/MemoWindow.h"

#include <memory>

namespace Ui {
class Tformnote;
}

class Tformnote : public MemoWindow {
    Q_OBJECT
public:
    explicit Tformnote(AppState& state, QWidget* parent = nullptr);
    ~Tformnote() override;

private:
    std::unique_ptr<Ui::Tformnote> ui_;
};
