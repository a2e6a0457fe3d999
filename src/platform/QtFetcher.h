#pragma once
// The Fetcher over Qt's network access. Redirects are followed here, not by Qt, so that
// every hop is checked and spaced like a request of its own.
#include "platform/Fetcher.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QObject>
#include <QProcessEnvironment>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <map>

class QNetworkAccessManager;
class QNetworkReply;

namespace q7 {

struct FetcherOptions {
    int spacingMs = 1000; // between two requests to one host, redirect hops included
    int maxRedirects = 5;
    int timeoutMs = 0; // 0: each kind's own
};

class QtFetcher : public QObject, public Fetcher {
public:
    explicit QtFetcher(FetcherOptions options = {}, QObject* parent = nullptr);
    ~QtFetcher() override;

    Ticket get(const std::string& url, FetchKind kind, Done done) override;
    void cancel(Ticket ticket) override;

private:
    struct Job {
        FetchKind kind = FetchKind::notice;
        Done done;
        QUrl first; // as asked: its scheme is one a redirect may keep
        QUrl url;   // this hop's
        int hops = 0;
        QNetworkReply* reply = nullptr; // while this hop is under way
        QTimer* deadline = nullptr;     // the reply's child
        QByteArray body;
    };

    void pump();
    void send(Ticket ticket);
    void read(Ticket ticket);
    void answered(Ticket ticket);
    void redirect(Ticket ticket, const QUrl& to);
    void fail(Ticket ticket, Fetched::Failure failure, long long limit = 0);
    void finish(Ticket ticket, Fetched fetched);
    void release(Job& job);

    FetcherOptions options_;
    QNetworkAccessManager* network_;
    QElapsedTimer clock_;
    QTimer pump_; // wakes the queue when the next host may be asked
    std::map<Ticket, Job> jobs_;
    std::deque<Ticket> waiting_;           // in the order asked
    std::map<QString, qint64> lastSentNs_; // by host, on clock_
    Ticket next_ = 0;
};

// A redirect from a request first made to `first` may go to `to`: a web address naming a
// host, in https or in the first address's own scheme.
bool mayFollow(const QUrl& first, const QUrl& to);

// The proxy for `url` by the usual variables (http_proxy, https_proxy, all_proxy and
// no_proxy, lower case first). This machine's own addresses never go through one.
QNetworkProxy proxyFor(const QUrl& url, const QProcessEnvironment& environment);

} // namespace q7
