#include "import/LastImport.h"

#include "store/Cp1252.h"
#include "store/ListFile.h"

#include <algorithm>
#include <cstring>

namespace q7::import {

namespace {
const std::string header = "Lirabel 3 : dernière importation (pour lirabel3-import --annuler)";

bool number(const std::string& text, std::uint64_t& out, int base = 10) {
    if (text.empty() || text.size() > 20) return false;
    out = 0;
    for (char c : text) {
        int v = c >= '0' && c <= '9' ? c - '0' : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99);
        if (v >= base) return false;
        out = out * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(v);
    }
    return true;
}
} // namespace

std::string formatLastImport(const LastImport& last) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(last.fingerprint));
    std::vector<std::string> lines = {lit(header),
                                      "avant=" + std::to_string(last.before),
                                      "apres=" + std::to_string(last.after),
                                      std::string("empreinte=") + hex,
                                      "date=" + lit(last.when),
                                      "rapport=" + lit(last.report),
                                      "fichier=" + lit(last.source)};
    if (last.fingerprintBefore != 0) {
        std::snprintf(hex, sizeof hex, "%016llx",
                      static_cast<unsigned long long>(last.fingerprintBefore));
        lines.push_back(std::string("empreinte_avant=") + hex);
    }
    for (const ListAddition& add : last.lists) {
        if (add.created) lines.push_back("listecreee=" + add.file);
        for (const std::string& v : add.values)
            lines.push_back("liste=" + add.file + "\t" + v);
    }
    for (const Loan& loan : last.loans)
        lines.push_back("pret=" + formatLoan(loan));
    return formatListLines(lines);
}

std::optional<LastImport> parseLastImport(const std::string& bytes) {
    const std::vector<std::string> lines = parseListLines(bytes);
    if (lines.empty() || lines.front() != lit(header)) return std::nullopt;
    LastImport last;
    bool before = false, after = false, print = false;
    std::vector<std::string> created; // the lists the import made
    for (const std::string& line : lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        std::uint64_t n = 0;
        if (key == "avant" && number(value, n) && n <= std::uint64_t(maxRecords))
            last.before = static_cast<int>(n), before = true;
        else if (key == "apres" && number(value, n) && n <= std::uint64_t(maxRecords))
            last.after = static_cast<int>(n), after = true;
        else if (key == "empreinte" && number(value, n, 16))
            last.fingerprint = n, print = true;
        else if (key == "empreinte_avant" && number(value, n, 16))
            last.fingerprintBefore = n;
        else if (key == "date")
            last.when = cp1252ToUtf8(value);
        else if (key == "rapport")
            last.report = cp1252ToUtf8(value);
        else if (key == "fichier")
            last.source = cp1252ToUtf8(value);
        else if (key == "pret") {
            if (auto loan = parseLoan(value)) last.loans.push_back(std::move(*loan));
        } else if (key == "listecreee") {
            created.push_back(value);
        } else if (key == "liste") {
            const std::size_t tab = value.find('\t');
            if (tab == std::string::npos) continue;
            const std::string file = value.substr(0, tab);
            // Only the lists an import fills: the file names a list, never a path.
            if (!isImportList(file)) continue;
            if (last.lists.empty() || last.lists.back().file != file)
                last.lists.push_back({file, {}});
            last.lists.back().values.push_back(value.substr(tab + 1));
        }
    }
    for (ListAddition& add : last.lists)
        add.created = std::find(created.begin(), created.end(), add.file) != created.end();
    if (!before || !after || !print || last.before > last.after) return std::nullopt;
    return last;
}

namespace {
constexpr std::uint64_t fingerprintStart = 0xcbf29ce484222325ULL;

// FNV-1a over 64-bit words: quick enough for 40000 records, and any changed byte shows.
std::uint64_t addRecord(std::uint64_t h, const Fiche& f) {
    for (std::size_t i = 0; i < ficheSize; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, f.bytes.data() + i, 8);
        h = (h ^ word) * 0x100000001b3ULL;
        h ^= h >> 29;
    }
    return h;
}
} // namespace

std::uint64_t fingerprint(DataFile& data) {
    std::uint64_t h = fingerprintStart;
    data.seek(0);
    while (!data.atEnd())
        h = addRecord(h, data.readNext());
    return h;
}

std::uint64_t fingerprint(std::uint64_t before, const std::vector<Fiche>& records) {
    for (const Fiche& f : records)
        before = addRecord(before, f);
    return before;
}

} // namespace q7::import
