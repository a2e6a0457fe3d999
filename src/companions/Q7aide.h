#pragma once
// The help window "Aide": Q7aide.txt whole or one chapter at a time.
#include <QDialog>

#include <memory>

struct AppState;
struct Services;

namespace Ui {
class Tformaide;
}

class Tformaide : public QDialog {
    Q_OBJECT
public:
    Tformaide(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformaide() override;

    // Opens the window modally with the whole help: the data folder's Q7aide.txt, else
    // the one installed with the program. When neither exists it beeps, says so and
    // returns false without opening; one that cannot be read throws.
    bool execute();

private Q_SLOTS:
    void cblisteaideClick();
    void Button1Click();

private:
    bool FormShow();
    void showText(const std::string& crLfBytes);

    AppState& state_;
    Services& services_;
    std::unique_ptr<Ui::Tformaide> ui;
};
