#pragma once
// The questions to the notice sources, through the network's door: an address asked
// before in this run is answered from memory, as the services ask of their users.
#include "platform/Fetcher.h"

#include <QObject>

#include <map>
#include <string>

namespace q7::lookup {

class NoticeAsker : public QObject {
public:
    using Ticket = unsigned long long;

    explicit NoticeAsker(Fetcher& fetcher, QObject* parent = nullptr);
    ~NoticeAsker() override;

    // `done` runs once, from the event loop, never within this call.
    Ticket ask(const std::string& url, Fetcher::Done done);
    // `done` of `ticket` will not run. Unknown or answered: nothing happens.
    void cancel(Ticket ticket);

private:
    Fetcher& fetcher_;
    std::map<std::string, std::string> kept_;   // answers of this run, by address
    std::map<Ticket, Fetcher::Ticket> waiting_; // ours -> the door's (0: read from memory)
    Ticket next_ = 0;
};

} // namespace q7::lookup
