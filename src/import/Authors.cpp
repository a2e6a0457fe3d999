// Authors of one cell, told apart as the cell means them, and what the report says of
// the separators a file used.
#include "import/Authors.h"

#include "import/FieldNames.h"
#include "import/Values.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace q7::import {

namespace {

std::vector<std::string> splitOn(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = s.find(sep, start);
        parts.emplace_back(trimmed(s.substr(start, at - start)));
        if (at == std::string_view::npos) break;
        start = at + sep.size();
    }
    return parts;
}

// A firm's name: "O'Reilly & Associates", "Dupuis et fils" joins no two people.
bool firmAfter(std::string_view rest) {
    static const char* const words[] = {"associates", "associes", "co",   "cie",    "company",
                                        "compagnie",  "sons",     "fils", "freres", "brothers",
                                        "partners",   "inc",      "ltd",  "gmbh"};
    const std::string f = foldName(rest);
    const std::string first = f.substr(0, f.find(' '));
    return std::any_of(std::begin(words), std::end(words),
                       [&](const char* w) { return first == w; });
}

// An initial ("P.", "J.-N.") or a given name standing alone: "Dan" in "Dan and Kathe
// Spracklen". A lone word in capitals is a surname ("HUGO et DUMAS").
bool loneGivenName(std::string_view word) {
    if (word.empty() || word.find(' ') != std::string_view::npos) return false;
    if (word.back() == '.') return true;
    return std::any_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// Splits on " & ", " and ", " et " where they join people; `seen` gets the first joiner
// and whether a firm's name or a shared surname was kept whole.
std::vector<std::string> splitJoiners(std::string_view text, AuthorCell& seen) {
    static constexpr std::string_view joiners[] = {" & ", " and ", " et "};
    const auto next = [&](std::size_t from, std::string_view& joiner) {
        std::size_t best = std::string_view::npos;
        for (std::string_view j : joiners)
            if (const std::size_t at = text.find(j, from); at < best) best = at, joiner = j;
        return best;
    };
    std::vector<std::string> parts;
    std::size_t start = 0, from = 0;
    for (;;) {
        std::string_view joiner;
        const std::size_t best = next(from, joiner);
        if (best == std::string_view::npos) break;
        from = best + joiner.size();
        if (firmAfter(text.substr(from))) {
            seen.firm = true;
            continue;
        }
        // "Elizabeth et Robert BADINTER": the first name takes the surname after it.
        const std::string_view before = text.substr(start, best - start);
        const std::size_t comma = before.rfind(',');
        std::string_view unused;
        std::string_view after = text.substr(from, next(from, unused) - from);
        after = trimmed(after.substr(0, after.find_first_of(",;")));
        if (loneGivenName(
                trimmed(comma == std::string_view::npos ? before : before.substr(comma + 1))) &&
            after.find(' ') != std::string_view::npos) {
            seen.sharedName = true;
            continue;
        }
        parts.emplace_back(trimmed(before));
        if (seen.separator.empty()) seen.separator = std::string(trimmed(joiner));
        start = from;
    }
    parts.emplace_back(trimmed(text.substr(start)));
    return parts;
}

bool holdsSpace(const std::string& p) {
    return p.find(' ') != std::string::npos;
}

} // namespace

std::vector<std::string> splitAuthors(std::string_view cell, AuthorCell* seen) {
    std::string text(trimmed(cell));
    // The report names the separator the file used, before all become ";".
    const char* listed = text.find(';') != std::string::npos               ? ";"
                         : text.find('|') != std::string::npos             ? "|"
                         : text.find_first_of("\r\n") != std::string::npos ? "retour à la ligne"
                                                                           : nullptr;
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '|') c = ';';
    std::vector<std::string> parts;
    AuthorCell found;
    std::string& used = found.separator;
    if (listed) {
        parts = splitOn(text, ";");
        used = listed;
    } else if (parts = splitJoiners(text, found); parts.size() > 1) {
        // "Victor Hugo, Alexandre Dumas & Jules Verne": the commas part people too;
        // "Dupont, Jean & Martin, Paul": every name holds its own comma.
        const bool allCommas = std::all_of(parts.begin(), parts.end(), [](const std::string& p) {
            return p.find(',') != std::string::npos;
        });
        std::vector<std::string> pieces;
        for (const std::string& p : parts)
            for (std::string& q : splitOn(p, ","))
                pieces.push_back(std::move(q));
        const bool anyComma = pieces.size() > parts.size();
        if (anyComma && (!allCommas || std::all_of(pieces.begin(), pieces.end(), holdsSpace))) {
            parts = std::move(pieces);
            used = ", " + used;
        }
    } else if (text.find(',') != std::string::npos) {
        parts = splitOn(text, ",");
        if (std::all_of(parts.begin(), parts.end(), holdsSpace))
            used = ",";
        else
            parts = {text};
    } else if (text.empty()) {
        parts.clear();
    }
    std::erase_if(parts, [](const std::string& p) { return p.empty(); });
    if (parts.size() < 2) used.clear();
    if (seen) *seen = std::move(found);
    return parts;
}

std::vector<std::string> AuthorSeparators::split(const std::string& where, std::string_view cell) {
    AuthorCell seen;
    std::vector<std::string> authors = splitAuthors(cell, &seen);
    if (!seen.separator.empty()) lines.emplace_back(where, seen.separator);
    if (seen.firm) firms.push_back(where);
    if (seen.sharedName) shared.emplace_back(where, trimmed(cell));
    return authors;
}

std::string AuthorSeparators::said(const std::string& sep) {
    if (sep.starts_with(", ") && sep.size() > 2) return "« , » et « " + sep.substr(2) + " »";
    return "« " + sep + " »";
}

void AuthorSeparators::notes(SourceFile& file) const {
    std::map<std::string, int> counts;
    for (const auto& l : lines)
        ++counts[l.second];
    if (counts.empty() && firms.empty() && shared.empty()) return;
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    std::vector<std::string> out;
    if (!counts.empty())
        out.push_back("Plusieurs auteurs dans une case : séparés par " + said(most->first));
    else
        out.push_back("Auteurs gardés en un seul nom :");
    // A long file where many lines differ: the first ones show the kind.
    int shown = 0, more = 0;
    for (const auto& [where, sep] : lines) {
        if (sep == most->first) continue;
        if (++shown > 20) {
            ++more;
            continue;
        }
        out.push_back("  " + where + " : auteurs séparés par " + said(sep));
    }
    if (more > 0) out.push_back("  et " + std::to_string(more) + " autre(s) ligne(s) de même");
    for (const std::string& where : firms)
        out.push_back("  " + where +
                      " : « & » d'un nom de maison (« & Associates », « et fils »...) "
                      "gardé dans un seul auteur");
    for (const auto& [where, cell] : shared)
        out.push_back("  " + where + " : « " + cell +
                      " » gardé en un seul auteur, tel qu'écrit : le prénom seul partage le nom "
                      "de famille qui suit");
    file.notes.insert(file.notes.begin(), out.begin(), out.end());
}

} // namespace q7::import
