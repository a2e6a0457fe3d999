#pragma once
// The labels window: a list of references, 70 at most, printed as one sheet. The list
// lives as long as the program and is never written to disk.
#include <QDialog>
#include <QStringList>

#include <memory>

struct AppState;
struct Services;

namespace Ui {
class TFormetiq;
}

class TFormetiq : public QDialog {
    Q_OBJECT

public:
    TFormetiq(AppState& state, Services& services, QWidget* parent = nullptr);
    ~TFormetiq() override;

    // "&Ajouter dans liste" of the main window: appends the text, or refuses with the
    // message when the sheet is full. Leaves "&Retirer" as it is.
    bool addReference(const QString& reference);
    QStringList references() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void btajouterClick();
    void btretirerClick();
    void btimprimerClick();
    void btfermerClick();

    std::unique_ptr<Ui::TFormetiq> ui;
    Services& services_;
};
