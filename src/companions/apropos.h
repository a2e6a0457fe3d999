#pragma once
// The about box "A propos de", with the mail link to the authors.
#include <QDialog>

#include <memory>

struct AppState;
struct Services;

namespace Ui {
class Taproposform;
}

class Taproposform : public QDialog {
    Q_OBJECT
public:
    Taproposform(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Taproposform() override;

    void execute();

    // "mailto:" + the address + the subject and the start of the body.
    static QString mailUrl();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void Label3Click();
    void btbfermerClick();

private:
    Services& services_;
    std::unique_ptr<Ui::Taproposform> ui;
};
