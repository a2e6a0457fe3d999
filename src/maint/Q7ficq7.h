#pragma once
// "Gestion du fichier Q7.dat": rewrites the catalogue grouped by the title's first
// letter, or with one author, subject or series in front.
#include <QDialog>

#include <memory>

struct AppState;
struct Services;
class QComboBox;
class QRadioButton;
namespace q7 {
enum class Field;
}

namespace Ui {
class Tformfic;
}

class Tformfic : public QDialog {
    Q_OBJECT

public:
    Tformfic(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformfic() override;

public Q_SLOTS:
    void FormShow();
    void bttrierClick();
    void btfermerClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadChoice(q7::Field list, QRadioButton* radio, QComboBox* field);

    std::unique_ptr<Ui::Tformfic> ui;
    AppState& state_;
    Services& services_;
};
