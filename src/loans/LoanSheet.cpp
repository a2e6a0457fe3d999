#include "loans/LoanSheet.h"

#include "store/Cp1252.h"

namespace q7 {

namespace {

constexpr int points = 10;
constexpr int pitch = 60;
constexpr int firstRow = 400;
constexpr int footer = 3440;

// Columns: where each starts and how wide it may run before the next.
struct Column {
    int x;
    int width;
};
constexpr Column reference{100, 200};
constexpr Column title{320, 1080};
constexpr Column borrowerColumn{1420, 560};
constexpr Column since{2000, 280};
constexpr Column days{2300, 250};

// "1 livre prêté", "3 livres prêtés": every word of `words` takes the plural's "s".
std::string counted(long n, std::initializer_list<const char*> words) {
    std::string out = std::to_string(n);
    for (const char* w : words)
        out += std::string(" ") + w + (n > 1 ? "s" : "");
    return lit(out);
}

} // namespace

std::vector<PrintLayout> loanSheet(const std::vector<LoanRow>& rows, int overdue, int delay,
                                   const LoanDate& today, const std::string& borrower) {
    const std::string heading = lit("Livres prêtés") +
                                (borrower.empty() ? std::string() : lit(" à ") + borrower) +
                                " au " + today.text();
    std::string summary = rows.empty() ? lit("Aucun livre n'est prêté.")
                                       : counted(long(rows.size()), {"livre", "prêté"});
    if (overdue > 0)
        summary += ", dont " + std::to_string(overdue) + lit(" depuis plus de ") +
                   counted(delay, {"jour"});
    const std::size_t pageCount =
        rows.empty() ? 1 : (rows.size() + loanSheetRows - 1) / loanSheetRows;

    std::vector<PrintLayout> pages;
    for (std::size_t p = 0; p < pageCount; ++p) {
        PrintLayout page{points, false, {}};
        auto draw = [&page](int y, Column c, std::string text, Ink ink = Ink::Black) {
            page.calls.push_back({c.x, y, ink, std::move(text), c.width});
        };
        page.calls.push_back({100, 160, Ink::Red, heading, 0});
        page.calls.push_back({100, 220, Ink::Black, summary, 0});
        draw(320, reference, lit("Réf."));
        draw(320, title, "Titre");
        draw(320, borrowerColumn, "Emprunteur");
        draw(320, since, "Depuis le");
        draw(320, days, "Jours");
        const std::size_t end = std::min(rows.size(), (p + 1) * loanSheetRows);
        int y = firstRow;
        for (std::size_t i = p * loanSheetRows; i < end; ++i, y += pitch) {
            const LoanRow& row = rows[i];
            const Ink ink = row.overdue ? Ink::Red : Ink::Black;
            draw(y, reference, row.loan.reference, ink);
            draw(y, title, row.loan.title, ink);
            draw(y, borrowerColumn, row.loan.borrower, ink);
            draw(y, since, row.loan.lent.text(), ink);
            draw(y, days, std::to_string(row.days), ink);
        }
        page.calls.push_back({1200, footer, Ink::Black,
                              "Page " + std::to_string(p + 1) + " / " + std::to_string(pageCount),
                              0});
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace q7
