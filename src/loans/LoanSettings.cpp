#include "loans/LoanSettings.h"

#include "loans/LoanView.h"
#include "store/Errors.h"
#include "store/Numbers.h"

namespace q7 {

int readLoanDelay(SettingsBackend& store) {
    const auto text = store.read(loanDelayKey);
    if (!text) return defaultLoanDelay;
    try {
        const int days = toInt32(*text);
        return days >= minLoanDelay && days <= maxLoanDelay ? days : defaultLoanDelay;
    } catch (const ConversionError&) {
        return defaultLoanDelay;
    }
}

void writeLoanDelay(SettingsBackend& store, int days) {
    store.write(loanDelayKey, std::to_string(days));
}

} // namespace q7
