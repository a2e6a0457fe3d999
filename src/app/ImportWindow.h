#pragma once
// "Importer..." inside the program: choose a file, read the trial's report, append the
// books through the importer's own code, and take the last import back. The program
// keeps Q7.dat locked all along: the import runs through its open data file, so no other
// program can change the catalogue in between. A list of ISBNs is looked up once, at
// the trial, and the books found are what "Importer" appends.
#include "import/Append.h"
#include "import/IsbnList.h"
#include "lookup/IsbnLookup.h"
#include "record/RecordWindow.h"

#include <QDialog>
#include <QPointer>

#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QCloseEvent;
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
    void stop(); // "Arrêter": the ISBNs' lookup ends, nothing is appended

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The file's bytes, or nothing with the reason in the report pane.
    std::optional<std::string> readChosenFile();
    // The books of the file; a list of ISBNs is looked up, with only "Arrêter" usable.
    q7::import::SourceFile readBooks(const std::string& bytes);
    q7::import::AppendRequest requestFor(const q7::import::SourceFile& source, const QString& path);
    void setRunning(bool on);
    void showReport(const QString& text);
    void showStopped(const q7::import::IsbnListStopped& stopped);
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
    QPushButton* stop_;

    // The trial the report pane shows, with the books it read: appended as they are
    // while the file keeps the same bytes.
    struct Tried {
        QString path;
        QByteArray digest;
        q7::import::SourceFile source;
    };
    std::optional<Tried> tried_;

    // The window's for the program's life: an answer received is not asked again.
    q7::lookup::IsbnLookup lookup_;
    QString isbnLine_;              // "ISBN 12 sur 40 : ..." of the ISBN being asked
    QPointer<QWidget> focusBefore_; // given back when the run ends
    bool running_ = false;
    bool stopAsked_ = false;
    bool closeAfter_ = false; // the window was closed during the run
};
