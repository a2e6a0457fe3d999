#include "platform/Fetcher.h"

#include <iterator>
#include <stdexcept>

namespace q7 {

namespace {

constexpr long long MiB = 1024 * 1024;

// A notice is a few kilobytes, a cover some hundreds: ten times that, and a server
// sending more is not sending what was asked.
constexpr FetchLimits limits[] = {
    {FetchKind::notice, 4 * MiB, 8000},
    {FetchKind::image, 20 * MiB, 15000},
};

constexpr bool oneRowPerKindInOrder() {
    if (std::size(limits) != static_cast<std::size_t>(FetchKind::End)) return false;
    for (std::size_t i = 0; i < std::size(limits); ++i)
        if (limits[i].kind != static_cast<FetchKind>(i) || limits[i].maxBytes <= 0 ||
            limits[i].timeoutMs <= 0)
            return false;
    return true;
}
static_assert(oneRowPerKindInOrder(), "each kind of answer has its limits, in the kinds' order");

} // namespace

const FetchLimits& fetchLimits(FetchKind kind) {
    const auto row = static_cast<std::size_t>(kind);
    if (row >= std::size(limits)) throw std::logic_error("not a kind of answer");
    return limits[row];
}

std::string failureText(const Fetched& f, const std::string& who) {
    using F = Fetched::Failure;
    switch (f.failure) {
    case F::none: return {};
    case F::unreachable: return "Impossible de joindre " + who + " : pas de connexion.";
    case F::cutOff: return who + " a coupé la connexion avant la fin de sa réponse.";
    case F::insecure: return "Impossible de joindre " + who + " : connexion sécurisée refusée.";
    case F::timedOut:
        return who + " ne répond pas (" + std::to_string((f.limit + 999) / 1000) + " s d'attente).";
    case F::tooBig:
        return who + " envoie une réponse trop lourde (plus de " + std::to_string(f.limit / MiB) +
               " Mo) : abandonnée.";
    case F::tooManyRedirects:
        return who + " renvoie d'adresse en adresse (plus de " + std::to_string(f.limit) +
               " redirections) : abandon.";
    case F::refusedRedirect:
        return who + " renvoie vers une adresse non sûre (" + f.url + ") : non suivie.";
    case F::badAddress:
        return "L'adresse de " + who + " (" + f.url +
               ") n'est pas une adresse web en https:// "
               "ou http://.";
    case F::other: break;
    }
    return "Impossible de joindre " + who + " : erreur de connexion.";
}

} // namespace q7
