// The lending register's reader: every line is a loan or kept as it came; written and
// read again the loans and the kept lines are the same, in the same order; the window's
// order and the printed list hold for any register.
#include "FuzzCheck.h"
#include "loans/LoanSheet.h"
#include "loans/LoanView.h"
#include "MemoryFileSystem.h"

#include <algorithm>

using namespace q7;

namespace {

bool fitForAField(const std::string& text) {
    return text.find_first_of(std::string("\t\r\n\0", 4)) == std::string::npos;
}

// What a register holds, line numbers aside (blank lines are not kept).
std::vector<std::pair<std::optional<Loan>, std::string>> content(const LoanRegister& reg) {
    std::vector<std::pair<std::optional<Loan>, std::string>> out;
    for (const RegisterLine& line : reg.lines)
        out.emplace_back(line.loan, line.damaged);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int delay = 1 + (in.byte() << 8 | in.byte()) % 3650;
    const LoanDate today{1 + in.byte() % 28, 1 + in.byte() % 12, 1990 + in.byte() % 60};
    const std::string bytes(in.rest());

    LoanRegister reg = parseRegister(bytes);
    for (const RegisterLine& line : reg.lines) {
        if (line.loan) {
            const Loan& l = *line.loan;
            FUZZ_CHECK(!l.reference.empty() && !l.borrower.empty() && l.lent.valid());
            FUZZ_CHECK(!l.returned || l.returned->valid());
            for (const std::string* t : {&l.reference, &l.title, &l.borrower, &l.note})
                FUZZ_CHECK(fitForAField(*t));
            FUZZ_CHECK(line.damaged.empty());
        } else {
            FUZZ_CHECK(!line.damaged.empty());
            FUZZ_CHECK(line.damaged.find('\n') == std::string::npos);
            // Kept as it came: its bytes are in the file, whole.
            FUZZ_CHECK(bytes.find(line.damaged) != std::string::npos);
        }
    }

    // Written and read again: the same loans and kept lines; written again: the same bytes.
    const std::string written = formatRegister(reg);
    const LoanRegister again = parseRegister(written);
    FUZZ_CHECK(content(again) == content(reg));
    FUZZ_CHECK(formatRegister(again) == written);

    // The window: every loan once, out or back; overdue first, then by age.
    const LoanView view = viewLoans(reg, today, delay, "", ReferencePlaces{});
    std::size_t loans = 0;
    for (const RegisterLine& line : reg.lines)
        loans += line.loan.has_value();
    FUZZ_CHECK(view.out.size() + view.returned.size() == loans);
    for (std::size_t i = 1; i < view.out.size(); ++i) {
        const LoanRow &a = view.out[i - 1], &b = view.out[i];
        FUZZ_CHECK(a.overdue >= b.overdue);
        FUZZ_CHECK(a.overdue != b.overdue || !(b.loan.lent < a.loan.lent));
    }
    const auto pages =
        loanSheet(view.out, view.overdue, delay, today, "",
                  [](std::string_view t, int points) { return int(t.size()) * points * 2; });
    FUZZ_CHECK(pages.size() == std::max<std::size_t>(1, (view.out.size() + 49) / 50));

    // A loan lent through the register lands last and reads back as lent, blanks for tabs.
    Loan lent{"R\t1", "T\r\nx", std::string(in.rest().substr(0, 20)), today, {}, "n"};
    bool refused = false;
    try {
        reg.lend(lent);
    } catch (const Error&) {
        refused = true;
    }
    if (!refused) {
        const LoanRegister read = parseRegister(formatRegister(reg));
        FUZZ_CHECK(read.lines.back().loan.has_value());
        FUZZ_CHECK(read.lines.back().loan->reference == "R 1");
        FUZZ_CHECK(read.openLoan("R 1") != nullptr);
    }

    // Through the files, the name in any case as a Windows folder has it.
    MemoryFileSystem fs;
    fs.put("/m/Q7PRETS.TXT", bytes);
    const Folder folder(fs, "/m");
    FUZZ_CHECK(content(loadRegister(folder)) == content(parseRegister(bytes)));
    saveRegister(folder, again);
    FUZZ_CHECK(fs.bytes("/m/Q7PRETS.TXT") == written);
    return 0;
}
