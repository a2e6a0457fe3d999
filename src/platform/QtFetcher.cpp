#include "platform/QtFetcher.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

#include <algorithm>

namespace q7 {

namespace {

constexpr qint64 nsPerMs = 1000000;

bool webAddress(const QUrl& url) {
    return url.isValid() && (url.scheme() == u"https" || url.scheme() == u"http") &&
           !url.host().isEmpty();
}

bool ownMachine(const QString& host) {
    const QString h = host.toLower();
    return h == u"localhost" || h.endsWith(u".localhost") || QHostAddress(h).isLoopback();
}

QString variable(const QProcessEnvironment& env, const QString& lower, bool upperToo = true) {
    const QString value = env.value(lower).trimmed();
    if (!value.isEmpty() || !upperToo) return value;
    return env.value(lower.toUpper()).trimmed();
}

// no_proxy: "*", hosts and domains (".example.org" and "example.org" both take its
// subdomains), each with an optional port, and address ranges ("10.0.0.0/8").
bool exempt(const QUrl& url, const QString& noProxy) {
    const QString host = url.host().toLower();
    const QHostAddress address(host);
    for (QString entry :
         noProxy.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
        entry = entry.toLower();
        if (entry == u"*") return true;
        if (entry.contains(u'/')) {
            if (!address.isNull() && address.isInSubnet(QHostAddress::parseSubnet(entry)))
                return true;
            continue;
        }
        if (const qsizetype colon = entry.lastIndexOf(u':');
            colon > 0 && !entry.startsWith(u'[') && entry.count(u':') == 1) {
            if (entry.mid(colon + 1).toInt() != url.port(url.scheme() == u"https" ? 443 : 80))
                continue;
            entry.truncate(colon);
        }
        while (entry.startsWith(u'*') || entry.startsWith(u'.'))
            entry.remove(0, 1);
        entry.remove(u'[').remove(u']');
        if (!entry.isEmpty() && (host == entry || host.endsWith(u'.' + entry))) return true;
    }
    return false;
}

class EnvironmentProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return {proxyFor(query.url(), QProcessEnvironment::systemEnvironment())};
    }
};

const QByteArray& userAgent() {
    static const QByteArray agent = "Lirabel3/3 (catalogue de livres; " Q7_CONTACT ")";
    return agent;
}

Fetched::Failure failureOf(QNetworkReply::NetworkError e) {
    switch (e) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError: return Fetched::Failure::unreachable;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError: return Fetched::Failure::cutOff;
    case QNetworkReply::SslHandshakeFailedError: return Fetched::Failure::insecure;
    default: return Fetched::Failure::other;
    }
}

} // namespace

bool mayFollow(const QUrl& first, const QUrl& to) {
    return webAddress(to) && (to.scheme() == u"https" || to.scheme() == first.scheme());
}

QNetworkProxy proxyFor(const QUrl& url, const QProcessEnvironment& env) {
    if (ownMachine(url.host()) || exempt(url, variable(env, QStringLiteral("no_proxy"))))
        return QNetworkProxy::NoProxy;
    // Only the lower-case http_proxy: HTTP_PROXY may come from a request's header (CGI).
    QString value = url.scheme() == u"https" ? variable(env, QStringLiteral("https_proxy"))
                                             : variable(env, QStringLiteral("http_proxy"), false);
    if (value.isEmpty()) value = variable(env, QStringLiteral("all_proxy"));
    if (value.isEmpty()) return QNetworkProxy::NoProxy;
    if (!value.contains(QStringLiteral("://"))) value.prepend(QStringLiteral("http://"));
    const QUrl proxy(value);
    const QString scheme = proxy.scheme().toLower();
    QNetworkProxy::ProxyType type = QNetworkProxy::HttpProxy;
    if (scheme.startsWith(u"socks5"))
        type = QNetworkProxy::Socks5Proxy;
    else if (scheme != u"http")
        return QNetworkProxy::NoProxy; // a kind Qt cannot speak
    if (proxy.host().isEmpty()) return QNetworkProxy::NoProxy;
    return QNetworkProxy(type, proxy.host(), static_cast<quint16>(proxy.port(1080)),
                         proxy.userName(), proxy.password());
}

QtFetcher::QtFetcher(FetcherOptions options, QObject* parent)
    : QObject(parent), options_(options), network_(new QNetworkAccessManager(this)) {
    network_->setProxyFactory(new EnvironmentProxies);
    clock_.start();
    pump_.setSingleShot(true);
    // A coarse timer may fire a few milliseconds early; pump() checks the clock anyway.
    pump_.setTimerType(Qt::PreciseTimer);
    connect(&pump_, &QTimer::timeout, this, &QtFetcher::pump);
}

QtFetcher::~QtFetcher() {
    for (auto& [ticket, job] : jobs_)
        release(job);
}

Fetcher::Ticket QtFetcher::get(const std::string& url, FetchKind kind, Done done) {
    const Ticket ticket = ++next_;
    const QUrl asked(QString::fromStdString(url), QUrl::StrictMode);
    Job& job = jobs_[ticket];
    job.kind = kind;
    job.done = std::move(done);
    job.first = job.url = asked;
    waiting_.push_back(ticket);
    pump_.start(0); // from the event loop: `done` never runs within get()
    return ticket;
}

void QtFetcher::cancel(Ticket ticket) {
    const auto job = jobs_.find(ticket);
    if (job == jobs_.end()) return;
    release(job->second);
    jobs_.erase(job);
    std::erase(waiting_, ticket);
}

// Sends, in the order asked, every request whose host has had its rest, then sleeps until
// the next one's host has.
void QtFetcher::pump() {
    const qint64 spacing = qint64(options_.spacingMs) * nsPerMs;
    const qint64 now = clock_.nsecsElapsed();
    std::vector<Ticket> due;
    qint64 wake = -1;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        const QString host = jobs_.at(*it).url.host();
        const auto last = lastSentNs_.find(host);
        const qint64 at = last == lastSentNs_.end() ? now : last->second + spacing;
        if (at > now) {
            wake = wake < 0 ? at : std::min(wake, at);
            ++it;
            continue;
        }
        lastSentNs_[host] = now;
        due.push_back(*it);
        it = waiting_.erase(it);
    }
    if (wake >= 0) pump_.start(static_cast<int>((wake - now + nsPerMs - 1) / nsPerMs));
    for (const Ticket t : due)
        if (jobs_.contains(t)) send(t); // one answered meanwhile may have cancelled another
}

void QtFetcher::send(Ticket ticket) {
    Job& job = jobs_.at(ticket);
    if (!webAddress(job.url)) return fail(ticket, Fetched::Failure::badAddress);
    QNetworkRequest request(job.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept-Language", "fr");
    QNetworkReply* reply = network_->get(request);
    job.reply = reply;
    // The rest counts from when the request left, not from when it was queued to leave.
    const QString host = job.url.host();
    connect(reply, &QNetworkReply::requestSent, this, [this, host] {
        qint64& last = lastSentNs_[host];
        last = std::max(last, clock_.nsecsElapsed());
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, ticket] {
        Job& j = jobs_.at(ticket);
        const QVariant declared = j.reply->header(QNetworkRequest::ContentLengthHeader);
        const long long max = fetchLimits(j.kind).maxBytes;
        if (declared.isValid() && declared.toLongLong() > max)
            fail(ticket, Fetched::Failure::tooBig, max);
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, ticket] { read(ticket); });
    connect(reply, &QNetworkReply::finished, this, [this, ticket] { answered(ticket); });
    const int timeout =
        options_.timeoutMs > 0 ? options_.timeoutMs : fetchLimits(job.kind).timeoutMs;
    job.deadline = new QTimer(reply);
    job.deadline->setSingleShot(true);
    connect(job.deadline, &QTimer::timeout, this,
            [this, ticket, timeout] { fail(ticket, Fetched::Failure::timedOut, timeout); });
    job.deadline->start(timeout);
}

void QtFetcher::read(Ticket ticket) {
    Job& job = jobs_.at(ticket);
    const long long max = fetchLimits(job.kind).maxBytes;
    // Never more than one byte past the limit in memory, whatever is buffered.
    job.body += job.reply->read(max + 1 - job.body.size());
    if (job.body.size() > max) fail(ticket, Fetched::Failure::tooBig, max);
}

void QtFetcher::answered(Ticket ticket) {
    read(ticket);
    const auto found = jobs_.find(ticket);
    if (found == jobs_.end()) return; // too big
    Job& job = found->second;
    QNetworkReply* reply = job.reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QByteArray location = reply->rawHeader("Location");
    release(job);
    // Below 200: the connection's own failures, even after a status line.
    if (error != QNetworkReply::NoError && (status == 0 || error < 200))
        return fail(ticket, failureOf(error));
    if ((status == 301 || status == 302 || status == 303 || status == 307 || status == 308) &&
        !location.isEmpty())
        return redirect(ticket, job.url.resolved(QUrl::fromEncoded(location)));
    finish(ticket, {Fetched::Failure::none, status, job.body.toStdString(),
                    job.url.toString().toStdString(), 0});
}

// A hop is a request like any other: it waits its turn at its own host.
void QtFetcher::redirect(Ticket ticket, const QUrl& to) {
    Job& job = jobs_.at(ticket);
    if (job.hops >= options_.maxRedirects)
        return fail(ticket, Fetched::Failure::tooManyRedirects, options_.maxRedirects);
    if (!mayFollow(job.first, to)) {
        job.url = to;
        return fail(ticket, Fetched::Failure::refusedRedirect);
    }
    ++job.hops;
    job.url = to;
    job.body.clear();
    waiting_.push_back(ticket);
    pump();
}

void QtFetcher::fail(Ticket ticket, Fetched::Failure failure, long long limit) {
    Job& job = jobs_.at(ticket);
    release(job);
    finish(ticket, {failure, 0, {}, job.url.toString().toStdString(), limit});
}

// The job goes before its `done` runs: `done` may ask again, or cancel another.
void QtFetcher::finish(Ticket ticket, Fetched fetched) {
    const auto found = jobs_.find(ticket);
    const Done done = std::move(found->second.done);
    jobs_.erase(found);
    done(fetched);
}

void QtFetcher::release(Job& job) {
    if (!job.reply) return;
    QNetworkReply* reply = job.reply;
    job.reply = nullptr;
    if (job.deadline) job.deadline->disconnect(this);
    job.deadline = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

} // namespace q7
