#include "lookup/NoticeSearch.h"

#include <QLocale>

#include <algorithm>

namespace q7::lookup {

namespace {

std::string number(long long n) {
    return QLocale(QLocale::French).toString(n).toStdString();
}

} // namespace

std::string searchWords(const SearchTerms& t) {
    std::string out;
    const std::pair<const char*, const std::string*> parts[] = {
        {"", &t.title}, {"de ", &t.author}, {"chez ", &t.publisher}, {"en ", &t.year}};
    for (const auto& [lead, words] : parts)
        if (!words->empty())
            out += (out.empty() ? "" : ", ") + std::string(lead) + "« " + *words + " »";
    return out;
}

NoticeSearch::NoticeSearch(Fetcher& fetcher, QObject* parent) : QObject(parent), asker_(fetcher) {}

NoticeSearch::~NoticeSearch() = default;

void NoticeSearch::start(const SearchTerms& terms, const NoticeSettings& settings) {
    if (running_) cancel();
    terms_ = terms;
    result_ = SearchResult{};
    asked_.clear();
    for (const SourceSetting& s : settings.asked()) {
        if (!s.source->search) continue;
        if (s.source->keySetting && s.apiKey.empty() &&
            s.source->search->requests(s.reach(), terms, 0, pageSize).empty()) {
            result_.problems.push_back(std::string(s.source->name) +
                                       " n'est interrogé par titre qu'avec votre clé (Gestion, "
                                       "Sources de notices...).");
            continue;
        }
        Asked& a = asked_.emplace_back();
        a.setting = s;
        a.more = true;
    }
    askPage();
}

void NoticeSearch::more() {
    if (running_ || !result_.more) return;
    result_.problems.clear();
    askPage();
}

void NoticeSearch::cancel() {
    if (!running()) return;
    asker_.cancel(detail_);
    detail_ = 0;
    for (Asked& a : asked_) {
        asker_.cancel(a.ticket);
        a.waiting = false;
    }
    running_ = false;
    result_.kind = SearchResult::Kind::cancelled;
    result_.message = "Recherche de " + searchWords(terms_) + " annulée.";
    Q_EMIT finished(result_);
}

void NoticeSearch::complete(
    const Candidate& chosen,
    std::function<void(const Candidate& completed, const std::string& remark)> done) {
    asker_.cancel(detail_);
    Request detail{{}, nullptr};
    for (const Asked& a : asked_)
        if (a.setting.source == chosen.source && chosen.source->search->detail)
            detail = chosen.source->search->detail(a.setting.reach(), chosen.book);
    if (detail.url.empty()) {
        detail_ = 0;
        return done(chosen, {});
    }
    Q_EMIT progress(QStringLiteral("Lecture de la notice choisie (%1)...")
                        .arg(QString::fromUtf8(chosen.source->name)));
    detail_ = asker_.ask(detail.url, [this, chosen, done, read = detail.read](const Fetched& f) {
        detail_ = 0;
        const std::string name = chosen.source->name;
        std::string problem = answerProblem(f, name);
        Answer a;
        if (problem.empty()) a = read(f.body);
        if (problem.empty() && a.books.size() != 1)
            problem = "Réponse inattendue de " + name + " : " +
                      (a.problem.empty() ? "pas de notice" : a.problem) + ".";
        if (!problem.empty())
            return done(chosen, problem + " Notice de la recherche reprise : éditeur, année et "
                                          "ISBN à vérifier.");
        // The finer notice's own values; Open Library's edition names its authors by keys
        // only, the work by their names.
        Candidate c = chosen;
        FoundBook e = std::move(a.books.front());
        if (e.authors.empty()) e.authors = c.book.authors;
        if (e.cover.empty()) e.cover = c.book.cover;
        c.book = std::move(e);
        done(c, {});
    });
}

std::string NoticeSearch::namesOf(bool (*which)(const Asked&)) const {
    std::string out;
    for (const Asked& a : asked_)
        if (which(a)) out += (out.empty() ? "" : ", ") + std::string(a.setting.source->name);
    return out;
}

void NoticeSearch::askPage() {
    running_ = true;
    result_.kind = SearchResult::Kind::done;
    for (Asked& a : asked_) {
        if (!a.more) continue;
        a.requests =
            a.setting.source->search->requests(a.setting.reach(), terms_, a.start, pageSize);
        a.request = 0;
        a.page.clear();
        a.waiting = !a.requests.empty();
        if (a.waiting) ask(a);
    }
    Q_EMIT progress(QString::fromStdString("Recherche de " + searchWords(terms_) + " (" +
                                           namesOf([](const Asked& a) { return a.waiting; }) +
                                           ")..."));
    if (std::ranges::none_of(asked_, &Asked::waiting)) pageRead();
}

void NoticeSearch::ask(Asked& a) {
    const std::size_t at = static_cast<std::size_t>(&a - asked_.data());
    a.ticket = asker_.ask(a.requests[a.request].url,
                          [this, at](const Fetched& f) { answered(asked_[at], f); });
}

void NoticeSearch::answered(Asked& a, const Fetched& f) {
    a.ticket = 0;
    const std::string name = a.setting.source->name;
    std::string problem = answerProblem(f, name);
    Answer answer;
    if (problem.empty()) {
        answer = a.requests[a.request].read(f.body);
        if (answer.kind == Answer::Kind::malformed)
            problem = "Réponse inattendue de " + name + " : " + answer.problem + ".";
    }
    if (problem.empty() && answer.kind == Answer::Kind::none && ++a.request < a.requests.size()) {
        ask(a); // the same question in another form
        return;
    }
    a.waiting = false;
    a.more = false;
    a.failed = !problem.empty();
    if (a.failed) {
        result_.problems.push_back(problem);
    } else {
        a.page = std::move(answer.books);
        a.start += static_cast<int>(a.page.size());
        if (answer.total >= 0) a.total = answer.total;
        // A page that brings nothing ends the source, whatever its count says.
        a.more = !a.page.empty() && a.total > a.start;
    }
    if (std::ranges::none_of(asked_, &Asked::waiting)) pageRead();
}

void NoticeSearch::pageRead() {
    running_ = false;
    SearchResult& r = result_;
    r.read = 0;
    r.total = 0;
    r.more = false;
    for (Asked& a : asked_) {
        for (FoundBook& b : a.page) {
            if (b.serial)
                ++r.serials;
            else
                r.candidates.push_back({std::move(b), a.setting.source});
        }
        a.page.clear();
        r.read += a.start;
        r.total += std::max<long long>(a.total, a.start);
        r.more = r.more || a.more;
    }
    std::string msg;
    if (r.candidates.empty()) {
        msg = "Aucune notice pour " + searchWords(terms_);
        // As for an ISBN: the sources that answered; those that could not are said below.
        const std::string asked = namesOf([](const Asked& a) { return !a.failed; });
        msg += asked.empty() ? "." : " (" + asked + ").";
    } else if (r.more) {
        msg = number(r.read) + " premières notices sur " + number(r.total) +
              " : précisez le titre ou l'auteur";
    } else {
        msg = number(static_cast<long long>(r.candidates.size())) +
              (r.candidates.size() > 1 ? " notices trouvées" : " notice trouvée");
    }
    if (r.serials > 0)
        msg +=
            "\n" + number(r.serials) +
            (r.serials > 1 ? " publications en série écartées." : " publication en série écartée.");
    for (const std::string& p : r.problems)
        msg += "\n" + p;
    r.message = msg;
    Q_EMIT finished(r);
}

} // namespace q7::lookup
