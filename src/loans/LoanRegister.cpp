#include "loans/LoanRegister.h"

#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/TextFile.h"

#include <algorithm>

namespace q7 {

namespace {

constexpr std::string_view headerUtf8 = "Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote";
constexpr std::string_view bom = "\xEF\xBB\xBF";

// A spreadsheet may have saved the header in UTF-8; it is still the header.
bool isHeader(std::string_view line) {
    if (line.starts_with(bom)) line.remove_prefix(bom.size());
    return line == lit(headerUtf8) || line == headerUtf8;
}

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

bool blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

} // namespace

std::optional<Loan> parseLoan(std::string_view line) {
    if (line.find('\0') != std::string_view::npos || line.find('\r') != std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string_view> f = split(line);
    // A spreadsheet may drop the empty note at the end of the line.
    if (f.size() != 5 && f.size() != 6) return std::nullopt;
    Loan loan;
    loan.reference = f[0];
    loan.title = f[1];
    loan.borrower = f[2];
    const auto lent = LoanDate::parse(f[3]);
    if (loan.reference.empty() || loan.borrower.empty() || !lent) return std::nullopt;
    loan.lent = *lent;
    if (!f[4].empty()) {
        loan.returned = LoanDate::parse(f[4]);
        if (!loan.returned) return std::nullopt;
    }
    if (f.size() == 6) loan.note = f[5];
    return loan;
}

std::string formatLoan(const Loan& loan) {
    std::string line = registerField(loan.reference);
    for (const std::string* text : {&loan.title, &loan.borrower})
        line += '\t' + registerField(*text);
    line += '\t' + loan.lent.text();
    line += '\t' + (loan.returned ? loan.returned->text() : std::string());
    line += '\t' + registerField(loan.note);
    return line;
}

std::string registerField(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0') c = ' ';
    return out;
}

const Loan* LoanRegister::openLoan(std::string_view reference) const {
    for (const RegisterLine& line : lines)
        if (line.loan && line.loan->out() && line.loan->reference == reference) return &*line.loan;
    return nullptr;
}

void LoanRegister::lend(Loan loan) {
    for (std::string* text : {&loan.reference, &loan.title, &loan.borrower, &loan.note})
        *text = registerField(*text);
    if (blank(loan.reference))
        throw Error("Ce livre n'a pas de référence : donnez-lui en une avant de le prêter.");
    if (blank(loan.borrower)) throw Error("Le nom de l'emprunteur est vide.");
    if (const Loan* out = openLoan(loan.reference))
        throw Error("Ce livre est déjà prêté à " + cp1252ToUtf8(out->borrower) + " depuis le " +
                    out->lent.text() + " : enregistrez d'abord son retour.");
    loan.returned.reset();
    lines.push_back({std::move(loan), {}, 0});
}

const Loan& LoanRegister::giveBack(const Loan& loan, const LoanDate& day) {
    for (RegisterLine& line : lines)
        if (line.loan && line.loan->out() && *line.loan == loan) {
            line.loan->returned = day;
            return *line.loan;
        }
    throw Error("Ce prêt n'est plus en cours dans " + loanRegisterName + " : rien n'a changé.");
}

LentBooks booksOut(const LoanRegister& reg) {
    LentBooks out;
    for (const RegisterLine& line : reg.lines)
        if (line.loan && line.loan->out())
            out.try_emplace(line.loan->reference,
                            LentBook{line.loan->borrower, line.loan->lent.text()});
    return out;
}

std::vector<std::string> LoanRegister::borrowers() const {
    std::vector<std::string> names;
    for (const RegisterLine& line : lines)
        if (line.loan && std::find(names.begin(), names.end(), line.loan->borrower) == names.end())
            names.push_back(line.loan->borrower);
    return names;
}

std::vector<const RegisterLine*> LoanRegister::damaged() const {
    std::vector<const RegisterLine*> out;
    for (const RegisterLine& line : lines)
        if (!line.loan) out.push_back(&line);
    return out;
}

LoanRegister parseRegister(std::string_view bytes) {
    LoanRegister reg;
    int number = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || (number == 1 && isHeader(line))) continue;
        if (auto loan = parseLoan(line))
            reg.lines.push_back({std::move(loan), {}, number});
        else
            reg.lines.push_back({std::nullopt, std::string(line), number});
    }
    return reg;
}

std::string formatRegister(const LoanRegister& reg) {
    std::string out = lit(headerUtf8) + "\r\n";
    for (const RegisterLine& line : reg.lines)
        out += (line.loan ? formatLoan(*line.loan) : line.damaged) + "\r\n";
    return out;
}

LoanRegister loadRegister(const Folder& folder) {
    if (!folder.exists(loanRegisterName)) return {};
    return parseRegister(readWholeFile(folder, loanRegisterName));
}

void saveRegister(const Folder& folder, const LoanRegister& reg) {
    replaceFile(folder, loanRegisterName, formatRegister(reg));
}

void removeRegisterScratch(const Folder& folder) {
    const std::string scratch = folder.path(loanRegisterName) + ".tmp";
    if (folder.fs().exists(scratch)) removeQuietly(folder.fs(), scratch);
}

} // namespace q7
