#pragma once
// Asks every source chosen, all at once and without blocking, for the books of a title
// and an author; the candidates come back a page at a time, the sources in their order,
// periodicals left out. Answers are kept for the run, as the ISBN lookup's are.
#include "lookup/NoticeAsker.h"
#include "lookup/Sources.h"

#include <QObject>

#include <functional>

namespace q7::lookup {

struct Candidate {
    FoundBook book;
    const Source* source = nullptr;
};

struct SearchResult {
    enum class Kind { done, cancelled };
    Kind kind = Kind::done;
    std::vector<Candidate> candidates; // every page read so far
    int read = 0;                      // notices read, periodicals included
    long long total = 0;               // what the sources hold, as far as they say
    int serials = 0;                   // periodicals left out
    bool more = false;                 // a source has another page
    std::vector<std::string> problems; // French, one line per failure
    std::string message;               // French: what the collector is told
};

class NoticeSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int pageSize = 20;

    explicit NoticeSearch(Fetcher& fetcher, QObject* parent = nullptr);
    ~NoticeSearch() override;

    // A search already running is cancelled first.
    void start(const SearchTerms& terms, const NoticeSettings& settings);
    // The next page of every source that has one; `finished` again when they answered.
    void more();
    // Stops at once; `finished` says so.
    void cancel();
    // A page, or the notice of the book chosen, under way.
    bool running() const { return running_ || detail_ != 0; }
    const SearchTerms& terms() const { return terms_; }
    const SearchResult& result() const { return result_; }

    // The candidate chosen, completed by its finer notice where its source has one (an
    // Open Library work by its edition): `done` runs once, at once when there is nothing
    // to read, else from the event loop, with a French remark when the finer notice could
    // not be read. A notice being read is dropped by cancel().
    void complete(const Candidate& chosen,
                  std::function<void(const Candidate& completed, const std::string& remark)> done);

Q_SIGNALS:
    void progress(const QString& status);
    void finished(const q7::lookup::SearchResult& result);

private:
    struct Asked {
        SourceSetting setting;
        std::vector<Request> requests; // of the page under way
        std::size_t request = 0;
        NoticeAsker::Ticket ticket = 0;
        bool waiting = false;
        bool failed = false;  // a page it could not give: not among those that found nothing
        int start = 0;        // notices read from it so far
        long long total = -1; // as it said
        bool more = false;
        std::vector<FoundBook> page;
    };

    void askPage();
    void ask(Asked& a);
    void answered(Asked& a, const Fetched& f);
    void pageRead();
    std::string namesOf(bool (*which)(const Asked&)) const;

    NoticeAsker asker_;
    NoticeAsker::Ticket detail_ = 0;
    SearchTerms terms_;
    std::vector<Asked> asked_;
    SearchResult result_;
    bool running_ = false;
};

// The words of a search as the collector reads them: « Le boyfriend », de « McFadden ».
std::string searchWords(const SearchTerms& terms);

} // namespace q7::lookup
