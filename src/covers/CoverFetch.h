#pragma once
// A book's cover asked of a service through the network's door: its addresses in turn,
// the next only when one has no cover. What comes back is read as any picture is
// (CoverImage.h): a web page, a cut picture or a bomb is refused and said, never kept.
#include "covers/CoverImage.h"
#include "platform/Fetcher.h"

#include <functional>
#include <string>
#include <vector>

namespace q7 {

struct FetchedCover {
    enum class Kind {
        found,   // `image`
        none,    // the service has no cover for this book
        refused, // `message` says what went wrong
    };
    Kind kind = Kind::none;
    QImage image;
    QString message; // French, a whole sentence; empty when found
    std::string url; // the address asked last
};

class CoverFetch {
public:
    using Done = std::function<void(const FetchedCover&)>;

    explicit CoverFetch(Fetcher& fetcher) : fetcher_(fetcher) {}
    ~CoverFetch() { cancel(); }
    CoverFetch(const CoverFetch&) = delete;
    CoverFetch& operator=(const CoverFetch&) = delete;

    // Asks `urls` in turn; `who` names the service in messages ("Open Library"). `done`
    // runs once, from the event loop, with the picture made `longest` pixels at most. A
    // fetch under way is dropped first, its `done` never run. False, nothing asked and
    // `done` never run, without any address.
    bool start(std::vector<std::string> urls, std::string who, Done done,
               int longest = coverLongestSide);
    void cancel();
    bool running() const { return ticket_ != 0; }

private:
    void next();
    void answered(const Fetched& fetched);
    void finish(FetchedCover cover);

    Fetcher& fetcher_;
    Fetcher::Ticket ticket_ = 0;
    std::vector<std::string> urls_;
    std::size_t at_ = 0;
    std::string who_;
    Done done_;
    int longest_ = coverLongestSide;
};

} // namespace q7
