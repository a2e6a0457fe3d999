#pragma once
// The notebook window "Carnet de notes": the free text of Q7carnet.txt, with date and
// record stamps, a find box, and the question to save at closing.
#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct AppState;
struct Services;
class FindDialog;

namespace Ui {
class Tcarnetform;
}

class Tcarnetform : public QDialog {
    Q_OBJECT
public:
    Tcarnetform(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tcarnetform() override;

    // Where "&Réference" takes the title and the reference the record window shows.
    void setRecordFields(std::function<std::pair<QString, QString>()> fields);

    // Opens the window modally with the notebook loaded; a notebook that cannot be read
    // throws, and the window is not opened.
    void execute();

    FindDialog& findDialog() { return *find_; }

public Q_SLOTS:
    void done(int result) override;

private Q_SLOTS:
    void btdateClick();
    void btreferenceClick();
    void btchercheClick();
    void FindDialogFind(const QString& text);
    void btfermerClick();

private:
    void FormActivate();
    // Runs the closing question; false when the window must stay open.
    bool FormCloseQuery();
    void appendLines(const std::vector<std::string>& lines);

    AppState& state_;
    Services& services_;
    std::unique_ptr<Ui::Tcarnetform> ui;
    FindDialog* find_;
    std::function<std::pair<QString, QString>()> recordFields_;
    bool closing_ = false;
};
