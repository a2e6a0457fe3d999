#pragma once
// "Gestion des listes": one value list at a time, loaded into a sorted list box,
// edited and written back to its file.
#include <QDialog>

#include <memory>

struct AppState;
struct Services;

namespace Ui {
class TFormliste;
}

class TFormliste : public QDialog {
    Q_OBJECT
public:
    TFormliste(AppState& state, Services& services, QWidget* parent = nullptr);
    ~TFormliste() override;

    Ui::TFormliste& ui() const { return *ui_; }

    void FormActivate();
    void cbactivelisteChange();
    void Button1Click();
    void btretirerClick();
    void btinsererClick();
    void btenregistrerClick();
    void btfermerClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing (button, Escape, window frame) ends here.
    void done(int result) override;

private:
    void insertSorted(const QString& value);
    QStringList listValues() const;

    std::unique_ptr<Ui::TFormliste> ui_;
    AppState& state_;
    Services& services_;
    // The entry whose file the list box was loaded from; -1 when it holds no list.
    int loaded_ = -1;
};
