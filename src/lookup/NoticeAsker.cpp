#include "lookup/NoticeAsker.h"

#include <QTimer>

namespace q7::lookup {

NoticeAsker::NoticeAsker(Fetcher& fetcher, QObject* parent) : QObject(parent), fetcher_(fetcher) {}

NoticeAsker::~NoticeAsker() {
    for (const auto& [ours, door] : waiting_)
        fetcher_.cancel(door);
}

NoticeAsker::Ticket NoticeAsker::ask(const std::string& url, Fetcher::Done done) {
    const Ticket ticket = ++next_;
    if (auto kept = kept_.find(url); kept != kept_.end()) {
        waiting_[ticket] = 0;
        QTimer::singleShot(0, this, [this, ticket, body = kept->second, done = std::move(done)] {
            if (waiting_.erase(ticket)) done({Fetched::Failure::none, 200, body, {}, 0});
        });
        return ticket;
    }
    waiting_[ticket] = fetcher_.get(url, FetchKind::notice,
                                    [this, ticket, url, done = std::move(done)](const Fetched& f) {
                                        waiting_.erase(ticket);
                                        if (f.failure == Fetched::Failure::none && f.status == 200)
                                            kept_[url] = f.body;
                                        done(f);
                                    });
    return ticket;
}

void NoticeAsker::cancel(Ticket ticket) {
    const auto it = waiting_.find(ticket);
    if (it == waiting_.end()) return;
    if (it->second) fetcher_.cancel(it->second);
    waiting_.erase(it);
}

} // namespace q7::lookup
