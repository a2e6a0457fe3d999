#include "loans/LoanBook.h"

#include "loans/LoanSettings.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"

LoanBook::LoanBook(AppState& state, Services& services) : state_(state), services_(services) {}

void LoanBook::open() {
    q7::removeRegisterScratch(state_.folder);
    try {
        remember(q7::loadRegister(state_.folder));
    } catch (const std::exception&) {
        // Told by the first command that needs the register.
    }
}

q7::LoanRegister LoanBook::load() {
    q7::LoanRegister reg = q7::loadRegister(state_.folder);
    remember(reg);
    tellDamage(reg);
    return reg;
}

void LoanBook::save(const q7::LoanRegister& reg) {
    q7::saveRegister(state_.folder, reg);
    remember(reg);
}

const q7::Loan* LoanBook::out(std::string_view reference) const {
    const auto it = out_.find(reference);
    return it == out_.end() ? nullptr : &it->second;
}

q7::LoanDate LoanBook::today() const {
    const Today t = services_.clock.today();
    return {t.day, t.month, t.year};
}

int LoanBook::delay() const {
    return q7::readLoanDelay(services_.settingsStore);
}

void LoanBook::setDelay(int days) {
    q7::writeLoanDelay(services_.settingsStore, days);
}

void LoanBook::remember(const q7::LoanRegister& reg) {
    out_.clear();
    for (const q7::RegisterLine& line : reg.lines)
        if (line.loan && line.loan->out()) out_.try_emplace(line.loan->reference, *line.loan);
}

void LoanBook::tellDamage(const q7::LoanRegister& reg) {
    QStringList numbers;
    for (const q7::RegisterLine* line : reg.damaged())
        if (told_.insert(line->damaged).second) numbers << QString::number(line->number);
    if (numbers.isEmpty()) return;
    const bool one = numbers.size() == 1;
    services_.dialogs.beep();
    services_.dialogs.message(
        (one ? QStringLiteral("%1 : la ligne %2 ne se lit pas comme un prêt ; elle est gardée "
                              "telle quelle.")
             : QStringLiteral("%1 : les lignes %2 ne se lisent pas comme des prêts ; elles sont "
                              "gardées telles quelles."))
            .arg(fromBytes(q7::loanRegisterName), numbers.join(QStringLiteral(", "))));
}
