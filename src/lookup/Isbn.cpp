#include "lookup/Isbn.h"

#include "lookup/IsbnRanges.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace q7::isbn {

namespace {

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
}

struct Rule {
    std::uint32_t first = 0, last = 0;
    int length = 0;
};

// The rule of the range file covering `seven` (the seven digits after the group).
std::optional<Rule> ruleFor(const RangeGroup& group, std::uint32_t seven) {
    std::string_view rules = group.rules;
    while (!rules.empty()) {
        const std::size_t end = std::min(rules.find(' '), rules.size());
        const std::string_view one = rules.substr(0, end);
        rules.remove_prefix(std::min(end + 1, rules.size()));
        Rule r;
        const char* p = one.data();
        const char* stop = one.data() + one.size();
        auto [a, e1] = std::from_chars(p, stop, r.first);
        auto [b, e2] = std::from_chars(a + 1, stop, r.last);
        auto [c, e3] = std::from_chars(b + 1, stop, r.length);
        (void)c;
        if (e1 != std::errc() || e2 != std::errc() || e3 != std::errc()) continue;
        if (seven >= r.first && seven <= r.last) return r;
    }
    return std::nullopt;
}

// The group whose prefix starts the 13 digits ("978-2" for 9782...).
const RangeGroup* groupOf(std::string_view digits) {
    for (std::size_t i = 0; i < rangeGroupCount; ++i) {
        const RangeGroup& g = rangeGroups[i];
        std::string flat;
        for (const char* p = g.prefix; *p; ++p)
            if (*p != '-') flat += *p;
        if (digits.starts_with(flat)) return &g;
    }
    return nullptr;
}

} // namespace

std::string normalise(std::string_view typed) {
    std::string out;
    for (char c : typed) {
        if (c == '-' || c == ' ' || c == '\t') continue;
        out += c == 'x' ? 'X' : c;
    }
    return out;
}

char checkDigit10(std::string_view first9) {
    int sum = 0;
    for (std::size_t i = 0; i < 9; ++i)
        sum += (first9[i] - '0') * static_cast<int>(10 - i);
    const int key = (11 - sum % 11) % 11;
    return key == 10 ? 'X' : static_cast<char>('0' + key);
}

char checkDigit13(std::string_view first12) {
    int sum = 0;
    for (std::size_t i = 0; i < 12; ++i)
        sum += (first12[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string to13(std::string_view isbn10) {
    std::string out = "978" + std::string(isbn10.substr(0, 9));
    out += checkDigit13(out);
    return out;
}

std::string to10(std::string_view isbn13) {
    if (!isbn13.starts_with("978")) return {};
    std::string out(isbn13.substr(3, 9));
    out += checkDigit10(out);
    return out;
}

std::string digits13(std::string_view text) {
    const std::string n = normalise(text);
    if (n.size() == 10 && allDigits(n.substr(0, 9)) && (allDigits(n.substr(9)) || n[9] == 'X') &&
        checkDigit10(n) == n[9])
        return to13(n);
    if (n.size() == 13 && allDigits(n) && (n.starts_with("978") || n.starts_with("979")) &&
        checkDigit13(n) == n[12])
        return n;
    return {};
}

Checked check(std::string_view typed) {
    Checked r;
    const std::string n = normalise(typed);
    const std::string name(typed);
    if (n.empty()) {
        r.message = "Tapez d'abord l'ISBN du livre (10 ou 13 chiffres).";
        return r;
    }
    const bool ten = n.size() == 10;
    const std::string_view body = std::string_view(n).substr(0, n.size() - 1);
    const char last = n.back();
    if (!allDigits(body) || (last != 'X' && (last < '0' || last > '9'))) {
        r.message = "L'ISBN « " + name +
                    " » ne doit contenir que des chiffres (et X comme dernier caractère d'un "
                    "ISBN à 10 chiffres).";
        return r;
    }
    if (!ten && n.size() != 13) {
        r.message = "L'ISBN « " + name + " » a " + std::to_string(n.size()) +
                    (n.size() > 1 ? " caractères" : " caractère") + " : un ISBN en a 10 ou 13.";
        return r;
    }
    if (!ten && !n.starts_with("978") && !n.starts_with("979")) {
        r.message = "L'ISBN " + n + " ne commence ni par 978 ni par 979 : ce n'est pas un ISBN.";
        return r;
    }
    const char expected = ten ? checkDigit10(body) : checkDigit13(body);
    if (expected != last) {
        r.message = "L'ISBN " + n + " est incorrect : la clé devrait être " +
                    std::string(1, expected) + ".";
        return r;
    }
    r.isbn13 = ten ? to13(n) : n;
    r.isbn10 = to10(r.isbn13);
    const RangeGroup* group = groupOf(r.isbn13);
    if (!group) {
        r.message = "L'ISBN " + n +
                    " n'appartient à aucun groupe attribué (table des tranches ISBN du " +
                    rangeFileDate + ").";
        return r;
    }
    const std::size_t prefixDigits = std::string_view(group->prefix).size() - 1; // one hyphen
    std::string seven = r.isbn13.substr(prefixDigits, 12 - prefixDigits);
    seven.resize(7, '0');
    std::uint32_t value = 0;
    std::from_chars(seven.data(), seven.data() + 7, value);
    const std::optional<Rule> rule = ruleFor(*group, value);
    const std::size_t rest = 12 - prefixDigits;
    if (!rule || rule->length == 0 || static_cast<std::size_t>(rule->length) >= rest) {
        r.message = "L'ISBN " + n + " tombe dans une tranche non attribuée du groupe " +
                    group->prefix + " (table des tranches ISBN du " + rangeFileDate + ").";
        return r;
    }
    const auto len = static_cast<std::size_t>(rule->length);
    r.hyphenated = std::string(group->prefix) + "-" + r.isbn13.substr(prefixDigits, len) + "-" +
                   r.isbn13.substr(prefixDigits + len, rest - len) + "-" + r.isbn13.substr(12);
    r.agency = group->agency;
    r.valid = true;
    return r;
}

} // namespace q7::isbn
