#pragma once
// "Vue d'ensemble": every book of the catalogue in one table that filters as one types,
// sorts on any column, groups by author, series, shelf... and shows a book in the record
// window with Enter. The list goes to a CSV file or the printer as shown.
//
// The catalogue is read when the window opens and dropped when it closes; what the
// collector chose (filter, order, groups, place in the list) is kept for the run, the
// columns and their widths between runs.
#include "overview/OverviewModels.h"
#include "overview/OverviewView.h"

#include "output/ExportTypes.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

struct AppState;
struct Services;
class QMenu;

namespace Ui {
class Tformvue;
}

class Tformvue : public QDialog {
    Q_OBJECT
public:
    Tformvue(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformvue() override;

    // Opens on the catalogue as it is on disk; the catalogue index of the book the
    // collector asked to see, or nothing.
    std::optional<int> execute(const q7::Borrowers& borrowers);

    void edtfiltreChange();
    void cbchampChange();
    void cbregrouperChange();
    void groupOrderChange();
    void lstgroupesChange();
    void headerClick(int section);
    // Enter or a double click on a book.
    void tblvueActivate();
    void btexporterClick();
    void btimprimerClick();

    // Who has which book out, for a pocket page of the list.
    void setLentBooks(std::function<q7::LentBooks()> lent) { lent_ = std::move(lent); }

    // What the list shows, for the tests and the benchmark.
    const q7::OverviewView& view() const { return view_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void fillChoices();
    void applySearched();
    // `anew`: the books were read again.
    void showRows(bool anew = false);
    void showGroups();
    void showCount();
    void applyWidths();
    void sortOn(int column, bool descending);
    void toggleColumn(int column);
    QMenu* tableMenu();
    // The title and the filter and group line of the printed list (Windows-1252).
    std::pair<std::string, std::string> listTitle() const;
    int chosenGroupColumn() const;
    // The books shown as a pocket page (an .html name chosen in "Exporter la liste...").
    void exportPocketPage(const QString& path);

    std::unique_ptr<Ui::Tformvue> ui_;
    AppState& state_;
    Services& services_;
    q7::OverviewBooks books_;
    q7::OverviewView view_;
    BookTable* table_;
    GroupList* groups_;
    std::vector<int> columns_;
    std::vector<int> widths_;
    bool layoutRead_ = false;
    bool applying_ = false;
    bool placing_ = false; // the window, not the collector, moves the cursor // widths are being
                           // put back: not a change of the collector's
    // Kept between openings during the run.
    struct Place {
        std::optional<std::string> group; // the chosen group's stored name
        int record = -1;
        int scroll = 0;
        int sortColumn = -1;
        bool descending = false;
    } kept_;
    std::optional<int> show_;
    std::function<q7::LentBooks()> lent_;
};
