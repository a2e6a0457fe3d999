#pragma once
// The books a search by title found, one a row, for the collector to choose one: the
// keyboard stays on the list (arrows, Enter chooses, Escape goes back), the next page is
// asked for on demand, the cover of the current row shown beside.
#include "lookup/Held.h"
#include "lookup/NoticeSearch.h"

#include <QDialog>
#include <QTimer>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

class CandidateList : public QDialog {
    Q_OBJECT
public:
    static constexpr int coverSide = 192; // the cover's place, its longest side in pixels

    explicit CandidateList(QWidget* parent = nullptr);

    // Every candidate of `result`, with the book each is in the catalogue (same order);
    // the row chosen stays chosen when a page is added.
    void setResult(const q7::lookup::SearchResult& result,
                   const std::vector<q7::lookup::Held>& held);
    // While the next page is asked for.
    void setWaiting(const QString& status);
    // The image of a row's cover, once read; a null image: none.
    void setCover(int row, const QImage& cover);
    // A cover asked for and dropped before it came: asked for again when its row is.
    void coverDropped(int row);
    // Ctrl+D on a row the catalogue holds.
    void setShowHeld(std::function<void(const q7::lookup::Held&)> show) { showHeld_ = show; }

    int chosen() const; // the row, -1 when none
    QTableWidget& table() const { return *table_; }

Q_SIGNALS:
    void moreAsked();
    // The collector stayed on a row whose cover was never asked for.
    void coverWanted(int row);

private:
    void showCover();
    void rowChanged();

    QLabel* summary_;
    QTableWidget* table_;
    QLabel* cover_;
    QPushButton* more_;
    std::vector<q7::lookup::Held> held_;
    std::vector<QImage> covers_;
    enum class CoverState : char { unasked, asked, known };
    std::vector<CoverState> coverState_;
    QTimer coverWait_; // arrowing down the list asks nothing of the rows passed over
    std::function<void(const q7::lookup::Held&)> showHeld_;
};
