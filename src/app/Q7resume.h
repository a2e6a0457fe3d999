#pragma once
#include "app/MemoWindow.h"

#include <memory>

namespace Ui {
class TFormresume;
}

class TFormresume : public MemoWindow {
    Q_OBJECT
public:
    explicit TFormresume(AppState& state, QWidget* parent = nullptr);
    ~TFormresume() override;

private:
    std::unique_ptr<Ui::TFormresume> ui_;
};
