#include "lookup/IsbnLookup.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace q7::lookup {

namespace {

std::string joinedNames(const std::vector<Source>& sources) {
    std::string out;
    for (Source s : sources)
        out += (out.empty() ? "" : ", ") + std::string(sourceName(s));
    return out;
}

// The French words for what went wrong on the way.
std::string networkFailure(QNetworkReply::NetworkError e, const char* name) {
    switch (e) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return std::string("Impossible de joindre ") + name + " : pas de connexion.";
    case QNetworkReply::RemoteHostClosedError:
        return std::string(name) + " a coupé la connexion avant la fin de sa réponse.";
    case QNetworkReply::SslHandshakeFailedError:
        return std::string("Impossible de joindre ") + name + " : connexion sécurisée refusée.";
    default: return std::string("Impossible de joindre ") + name + " : erreur de connexion.";
    }
}

} // namespace

IsbnLookup::IsbnLookup(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {
    timeout_.setSingleShot(true);
    wait_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        if (!reply_) return;
        QNetworkReply* r = reply_;
        reply_ = nullptr;
        r->disconnect(this);
        r->abort();
        r->deleteLater();
        sourceFailed(std::string(sourceName(settings_.order[source_])) + " ne répond pas (" +
                     std::to_string(timeoutMs / 1000) + " s d'attente).");
    });
    connect(&wait_, &QTimer::timeout, this, &IsbnLookup::send);
}

IsbnLookup::~IsbnLookup() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void IsbnLookup::start(const std::string& isbn13, const NoticeSettings& settings) {
    if (running_) cancel();
    running_ = true;
    ++run_;
    settings_ = settings;
    result_ = LookupResult{};
    result_.isbn13 = isbn13;
    empty_.clear();
    source_ = 0;
    request_ = 0;
    requests_.clear();
    next();
}

void IsbnLookup::cancel() {
    if (!running_) return;
    timeout_.stop();
    wait_.stop();
    if (reply_) {
        QNetworkReply* r = reply_;
        reply_ = nullptr;
        r->disconnect(this);
        r->abort();
        r->deleteLater();
    }
    result_.message = "Recherche de l'ISBN " + result_.isbn13 + " annulée.";
    finish(LookupResult::Kind::cancelled);
}

// The next request: of the same source, or the first of the next source.
void IsbnLookup::next() {
    if (requests_.empty() || request_ >= requests_.size()) {
        if (!requests_.empty()) ++source_;
        if (source_ >= settings_.order.size()) {
            std::string msg = "Aucune notice pour l'ISBN " + result_.isbn13;
            msg += empty_.empty() ? "." : " (" + joinedNames(empty_) + ").";
            for (const std::string& p : result_.problems)
                msg += "\n" + p;
            result_.message = msg;
            finish(LookupResult::Kind::notFound);
            return;
        }
        requests_ = requestsFor(settings_.order[source_], result_.isbn13, settings_);
        request_ = 0;
    }
    const Source s = settings_.order[source_];
    Q_EMIT progress(QStringLiteral("Recherche de l'ISBN %1 (%2)...")
                        .arg(QString::fromStdString(result_.isbn13), QLatin1String(sourceName(s))));
    const std::string& url = requests_[request_].url;
    if (auto kept = kept_.find(url); kept != kept_.end()) {
        // Asking twice costs nothing: the answer of the first time is read again.
        QTimer::singleShot(0, this, [this, run = run_, body = kept->second] {
            if (running_ && run == run_) answered(200, body, {});
        });
        return;
    }
    const QElapsedTimer& last = lastAsked_[s];
    const qint64 since = last.isValid() ? last.elapsed() : spacingMs;
    wait_.start(static_cast<int>(std::max<qint64>(0, spacingMs - since)));
}

void IsbnLookup::send() {
    const Source s = settings_.order[source_];
    lastAsked_[s].start();
    QNetworkRequest request(QUrl(QString::fromStdString(requests_[request_].url)));
    request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromStdString(userAgent()));
    request.setRawHeader("Accept-Language", "fr");
    reply_ = network_->get(request);
    timeout_.start(timeoutMs);
    QNetworkReply* r = reply_;
    connect(r, &QNetworkReply::finished, this, [this, r] {
        if (r != reply_) return;
        timeout_.stop();
        reply_ = nullptr;
        r->deleteLater();
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray body = r->readAll();
        std::string failure;
        if (r->error() != QNetworkReply::NoError && status == 0)
            failure = networkFailure(r->error(), sourceName(settings_.order[source_]));
        else if (status == 200 && r->error() == QNetworkReply::NoError)
            kept_[requests_[request_].url] = body;
        answered(status, body, failure);
    });
}

void IsbnLookup::answered(int status, const QByteArray& body, const std::string& failure) {
    const Source s = settings_.order[source_];
    const std::string name = sourceName(s);
    if (!failure.empty()) return sourceFailed(failure);
    if (status == 429)
        return sourceFailed(name + " refuse la demande : trop de demandes (HTTP 429).");
    if (status >= 500)
        return sourceFailed(name + " est en panne (HTTP " + std::to_string(status) + ").");
    if (status != 200)
        return sourceFailed(name + " refuse la demande (HTTP " + std::to_string(status) + ").");
    const Answer a = requests_[request_].read(
        std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
    if (a.kind == Answer::Kind::malformed)
        return sourceFailed("Réponse inattendue de " + name + " : " + a.problem + ".");
    if (a.kind == Answer::Kind::found) {
        if (const FoundBook* book = bookFor(a, result_.isbn13)) {
            result_.book = *book;
            result_.source = s;
            result_.message = "Notice trouvée (" + name + ").";
            finish(LookupResult::Kind::found);
            return;
        }
        // A search engine's near match: another book, never used.
        return sourceFailed(name + " ne connaît qu'un autre livre (autre ISBN) : notice refusée.");
    }
    ++request_;
    if (request_ >= requests_.size()) empty_.push_back(s);
    next();
}

void IsbnLookup::sourceFailed(const std::string& why) {
    result_.problems.push_back(why);
    request_ = requests_.size();
    next();
}

void IsbnLookup::finish(LookupResult::Kind kind) {
    running_ = false;
    result_.kind = kind;
    Q_EMIT finished(result_);
}

LookupResult lookUpAndWait(IsbnLookup& lookup, const std::string& isbn13,
                           const NoticeSettings& settings) {
    LookupResult result;
    QEventLoop loop;
    const auto done =
        QObject::connect(&lookup, &IsbnLookup::finished, &loop, [&](const LookupResult& r) {
            result = r;
            loop.quit();
        });
    lookup.start(isbn13, settings);
    if (lookup.running()) loop.exec();
    // The program quitting ends every event loop, this one too: the lookup must not run
    // on, nor its empty result pass for an answer.
    if (lookup.running()) lookup.cancel();
    QObject::disconnect(done);
    return result;
}

} // namespace q7::lookup
