#include "covers/CoverFetch.h"

namespace q7 {

namespace {

QString utf8(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

bool CoverFetch::start(std::vector<std::string> urls, std::string who, Done done, int longest) {
    cancel();
    if (urls.empty()) return false;
    urls_ = std::move(urls);
    at_ = 0;
    who_ = std::move(who);
    done_ = std::move(done);
    longest_ = longest;
    next();
    return true;
}

void CoverFetch::cancel() {
    if (ticket_) fetcher_.cancel(ticket_);
    ticket_ = 0;
    done_ = nullptr;
}

void CoverFetch::next() {
    ticket_ = fetcher_.get(urls_[at_], FetchKind::image,
                           [this](const Fetched& fetched) { answered(fetched); });
}

void CoverFetch::answered(const Fetched& f) {
    ticket_ = 0;
    const QString who = utf8(who_);
    if (f.failure != Fetched::Failure::none)
        return finish(
            {FetchedCover::Kind::refused,
             {},
             QStringLiteral("Couverture non reprise : %1").arg(utf8(failureText(f, who_))),
             f.url});
    // "No cover" is a 404 when asked for no default picture.
    if (f.status == 404 || f.status == 410) {
        if (++at_ < urls_.size()) return next();
        return finish({FetchedCover::Kind::none,
                       {},
                       QStringLiteral("Pas de couverture chez %1 pour ce livre.").arg(who),
                       f.url});
    }
    if (f.status != 200)
        return finish({FetchedCover::Kind::refused,
                       {},
                       QStringLiteral("Couverture non reprise : %1 répond par l'erreur %2.")
                           .arg(who)
                           .arg(f.status),
                       f.url});
    ReadImage read = readImage(QByteArrayView(f.body.data(), qsizetype(f.body.size())), longest_);
    if (!read.ok())
        return finish({FetchedCover::Kind::refused,
                       {},
                       QStringLiteral("Couverture de %1 refusée : %2.").arg(who, read.problem),
                       f.url});
    finish({FetchedCover::Kind::found, std::move(read.image), {}, f.url});
}

void CoverFetch::finish(FetchedCover cover) {
    ticket_ = 0;
    const Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(cover);
}

} // namespace q7
