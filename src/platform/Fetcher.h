#pragma once
// The program's one door to the network. Every request goes through a Fetcher, which
// spaces the requests to one host, cuts an answer past the weight its kind allows,
// follows a few redirects and gives up on a silent server. Tests inject a fake, or point
// the addresses at a server on 127.0.0.1.
#include <functional>
#include <string>

namespace q7 {

// A new kind goes before End; the limits' table checks, as it compiles, that each has its
// row.
enum class FetchKind { notice, image, End };

struct FetchLimits {
    FetchKind kind;
    long long maxBytes; // an answer weighing more is cut, whatever it says of its size
    int timeoutMs;      // from a request's sending to its answer's last byte
};

const FetchLimits& fetchLimits(FetchKind kind);

struct Fetched {
    enum class Failure {
        none,             // `status` and `body` are the server's, whatever the status
        unreachable,      // no network, an unknown host, a connection refused
        cutOff,           // the server closed the connection before the end
        insecure,         // the secure connection was refused
        timedOut,         // `limit`: the milliseconds waited
        tooBig,           // `limit`: the bytes allowed
        tooManyRedirects, // `limit`: the redirects followed
        refusedRedirect,  // to a scheme other than https or the address's own
        badAddress,       // not an http or https address naming a host
        other,
    };
    Failure failure = Failure::none;
    int status = 0; // HTTP status; 0 without an answer
    std::string body;
    std::string url; // the address that answered, after redirects
    long long limit = 0;
};

// French, for the collector: what went wrong on the way to `who` ("BnF"). Empty when
// nothing did.
std::string failureText(const Fetched& fetched, const std::string& who);

class Fetcher {
public:
    using Ticket = unsigned long long;
    using Done = std::function<void(const Fetched&)>;

    virtual ~Fetcher() = default;
    // Asks for `url` (GET) once its host may be asked again. `done` runs once, from the
    // event loop, never within this call.
    virtual Ticket get(const std::string& url, FetchKind kind, Done done) = 0;
    // `done` of `ticket` will not run, and its connection closes. A ticket already
    // answered, or unknown: nothing happens.
    virtual void cancel(Ticket ticket) = 0;
};

} // namespace q7
