#pragma once
// Asks the sources in order for the book of one ISBN, without blocking, through the
// network's door (which spaces and times the requests): answers are kept for the run, and
// a source that fails or does not have the book hands over to the next.
#include "lookup/NoticeAsker.h"
#include "lookup/Sources.h"

#include <QObject>

namespace q7::lookup {

struct LookupResult {
    enum class Kind { found, notFound, cancelled };
    Kind kind = Kind::notFound;
    std::string isbn13;
    FoundBook book;
    const Source* source = nullptr;    // the one that answered
    std::vector<std::string> problems; // one French line per source that failed
    std::string message;               // French: what the collector is told
};

class IsbnLookup : public QObject {
    Q_OBJECT
public:
    explicit IsbnLookup(Fetcher& fetcher, QObject* parent = nullptr);
    ~IsbnLookup() override;

    // `isbn13` must be valid. A lookup already running is cancelled first.
    void start(const std::string& isbn13, const NoticeSettings& settings);
    // Stops at once; `finished` says so.
    void cancel();
    bool running() const { return running_; }

Q_SIGNALS:
    void progress(const QString& status);
    void finished(const q7::lookup::LookupResult& result);

private:
    void next();
    void answered(const Fetched& fetched);
    void sourceFailed(const std::string& why);
    void finish(LookupResult::Kind kind);

    NoticeAsker asker_;
    NoticeAsker::Ticket ticket_ = 0; // the request under way, 0 when none

    bool running_ = false;
    std::vector<SourceSetting> asked_;
    LookupResult result_;
    std::size_t source_ = 0;  // in asked_
    std::size_t request_ = 0; // in the source's requests
    std::vector<Request> requests_;
    std::vector<const Source*> empty_; // sources that answered without the book
};

// Runs one lookup to its end in an event loop of its own (a command-line program's way).
LookupResult lookUpAndWait(IsbnLookup& lookup, const std::string& isbn13,
                           const NoticeSettings& settings);

} // namespace q7::lookup
