#pragma once
// "Informations": figures of the whole catalogue, recomputed at each showing, the
// number of entries of a value list, and a printout of the figures.
#include <QDialog>

#include <memory>

struct AppState;
struct Services;

class QLineEdit;
class Tformgraph;

namespace q7 {
struct Settings;
enum class Figure;
} // namespace q7

namespace Ui {
class Tforminfo;
}

class Tforminfo : public QDialog {
    Q_OBJECT

public:
    Tforminfo(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tforminfo() override;

    // The chart window, once opened (null before).
    Tformgraph* graph() const { return graph_; }

    // Publishes the settings this window shows (the currency name).
    void showSettings(const q7::Settings& settings);

public Q_SLOTS:
    void FormShow();
    void cblstinfoChange(const QString& text);
    void btimprimerClick();
    void btfermerClick();
    void btgraphiquesClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* box(q7::Figure figure) const;

    std::unique_ptr<Ui::Tforminfo> ui;
    Tformgraph* graph_ = nullptr; // made at its first opening
    AppState& state_;
    Services& services_;
};
