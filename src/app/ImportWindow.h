#pragma once
// "Importer..." inside the program: choose a file, read the trial's report, append the
// books through the importer's own code, and take the last import back. The program
// keeps Q7.dat locked all along: the import runs through its open data file, so no other
// program can change the catalogue in between.
#include "import/Importer.h"
#include "record/RecordWindow.h"

#include <QDialog>

#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class ImportWindow : public QDialog {
    Q_OBJECT
public:
    ImportWindow(AppState& state, Services& services, QWidget* parent);

    // The record window's two menu items; `window` goes back to its main menu when the
    // catalogue changed.
    void connectTo(RecordWindow& window, QAction* importItem, QAction* undoItem);

    // The commands.
    void open();     // "Importer..."
    void undoLast(); // "Annuler la dernière importation"

    void chooseFile();
    void trial();
    void importNow();

private:
    // The file's bytes, or nothing with the reason in the report pane.
    std::optional<std::string> readChosenFile();
    void showReport(const QString& text);
    void showCount();
    q7::import::Progress progress();
    void catalogueChanged();

    AppState& state_;
    Services& services_;
    RecordWindow* window_ = nullptr;
    QLineEdit* file_;
    QPushButton* choose_;
    QCheckBox* lists_;
    QPlainTextEdit* report_;
    QLabel* count_;
    QPushButton* trial_;
    QPushButton* import_;
    QPushButton* undo_;
    QPushButton* close_;
    QString tried_; // the file the report pane is the trial of
};
