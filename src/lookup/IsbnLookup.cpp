#include "lookup/IsbnLookup.h"

#include <QEventLoop>

namespace q7::lookup {

namespace {

std::string joinedNames(const std::vector<const Source*>& sources) {
    std::string out;
    for (const Source* s : sources)
        out += (out.empty() ? "" : ", ") + std::string(s->name);
    return out;
}

} // namespace

IsbnLookup::IsbnLookup(Fetcher& fetcher, QObject* parent) : QObject(parent), asker_(fetcher) {}

IsbnLookup::~IsbnLookup() = default;

void IsbnLookup::start(const std::string& isbn13, const NoticeSettings& settings) {
    if (running_) cancel();
    running_ = true;
    asked_ = settings.asked();
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
    asker_.cancel(ticket_);
    ticket_ = 0;
    result_.message = "Recherche de l'ISBN " + result_.isbn13 + " annulée.";
    finish(LookupResult::Kind::cancelled);
}

// The next request: of the same source, or the first of the next source.
void IsbnLookup::next() {
    if (requests_.empty() || request_ >= requests_.size()) {
        if (!requests_.empty()) ++source_;
        if (source_ >= asked_.size()) {
            std::string msg = "Aucune notice pour l'ISBN " + result_.isbn13;
            msg += empty_.empty() ? "." : " (" + joinedNames(empty_) + ").";
            for (const std::string& p : result_.problems)
                msg += "\n" + p;
            result_.message = msg;
            finish(LookupResult::Kind::notFound);
            return;
        }
        requests_ = asked_[source_].source->isbn(asked_[source_].reach(), result_.isbn13);
        request_ = 0;
    }
    Q_EMIT progress(QStringLiteral("Recherche de l'ISBN %1 (%2)...")
                        .arg(QString::fromStdString(result_.isbn13),
                             QString::fromUtf8(asked_[source_].source->name)));
    ticket_ = asker_.ask(requests_[request_].url, [this](const Fetched& f) {
        ticket_ = 0;
        answered(f);
    });
}

void IsbnLookup::answered(const Fetched& f) {
    const Source* s = asked_[source_].source;
    const std::string name = s->name;
    if (std::string problem = answerProblem(f, name); !problem.empty())
        return sourceFailed(problem);
    const Answer a = requests_[request_].read(f.body);
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
