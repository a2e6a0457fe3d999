#pragma once
// Asks the sources in order for the book of one ISBN, without blocking: each request has
// 8 seconds, a source is asked at most once a second, answers are kept for the run, and
// a source that fails or does not have the book hands over to the next.
#include "lookup/Sources.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace q7::lookup {

struct LookupResult {
    enum class Kind { found, notFound, cancelled };
    Kind kind = Kind::notFound;
    std::string isbn13;
    FoundBook book;
    Source source = Source::bnf;
    std::vector<std::string> problems; // one French line per source that failed
    std::string message;               // French: what the collector is told
};

class IsbnLookup : public QObject {
    Q_OBJECT
public:
    explicit IsbnLookup(QObject* parent = nullptr);
    ~IsbnLookup() override;

    int timeoutMs = 8000;
    int spacingMs = 1000; // between two requests to one source

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
    void send();
    void answered(int status, const QByteArray& body, const std::string& failure);
    void sourceFailed(const std::string& why);
    void finish(LookupResult::Kind kind);

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    QTimer timeout_;
    QTimer wait_;
    std::map<Source, QElapsedTimer> lastAsked_;
    std::map<std::string, QByteArray> kept_; // answers of this run, by address

    bool running_ = false;
    int run_ = 0; // a kept answer read late belongs to its own run only
    NoticeSettings settings_;
    LookupResult result_;
    std::size_t source_ = 0;  // in settings_.order
    std::size_t request_ = 0; // in the source's requests
    std::vector<Request> requests_;
    std::vector<Source> empty_; // sources that answered without the book
};

// Runs one lookup to its end in an event loop of its own (a command-line program's way).
LookupResult lookUpAndWait(IsbnLookup& lookup, const std::string& isbn13,
                           const NoticeSettings& settings);

} // namespace q7::lookup
