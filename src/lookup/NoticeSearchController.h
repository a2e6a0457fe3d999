#pragma once
// The record window's "Chercher une notice...": the title and author typed (the publisher
// and year too, when typed for this book) asked of the sources without freezing the
// window (Escape stops), the books found listed to choose one, and the one chosen taken
// as a notice found by its ISBN is.
#include "covers/CoverFetch.h"
#include "lookup/Held.h"
#include "lookup/NoticeSearch.h"
#include "record/RecordWindow.h"

#include <QObject>

#include <functional>

class CandidateList;

class NoticeSearchController : public QObject {
    Q_OBJECT
public:
    NoticeSearchController(RecordWindow& window, QAction* menuNotice);

    void menuNoticeClick();

    // Where a notice's cover goes once taken ("Open Library": where it comes from).
    std::function<void(const QImage& cover, const QString& origin)> takeCover;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    q7::lookup::SearchTerms typedTerms() const;
    void finished(const q7::lookup::SearchResult& result);
    std::vector<q7::lookup::Held> heldOf(const q7::lookup::SearchResult& result) const;
    void choose(const q7::lookup::SearchResult& result);
    void take(const q7::lookup::Candidate& chosen, const std::string& remark);
    bool movedOn() const;
    QWidget* recordWindow() const;

    RecordWindow& window_;
    QAction* menuNotice_;
    q7::lookup::NoticeSearch search_;
    CandidateList* list_ = nullptr; // while it is shown
    q7::CoverFetch covers_;         // the cover of the row the collector is on
    int coverRow_ = -1;
};
