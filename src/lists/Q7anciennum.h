#pragma once
// "Anciens numeros": the references of deleted records, one of which can be given to
// the record being edited; it then leaves Q7ancnum.lst.
#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct AppState;
struct Services;

namespace Ui {
class Tformanciennum;
}

class Tformanciennum : public QDialog {
    Q_OBJECT
public:
    Tformanciennum(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformanciennum() override;

    Ui::Tformanciennum& ui() const { return *ui_; }
    // Where "&Choisir" puts the reference taken (the record window's reference field).
    void setReferenceTaker(std::function<void(const QString&)> take) { take_ = std::move(take); }

    void FormShow();
    void listnumClick();
    void btchoisirClick();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int chosenRow() const;

    std::unique_ptr<Ui::Tformanciennum> ui_;
    AppState& state_;
    Services& services_;
    std::function<void(const QString&)> take_;
    std::vector<std::string> references_; // the file's lines, as shown
};
