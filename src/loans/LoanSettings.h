#pragma once
// The loans' one setting, in a group of its own in the settings file ([Prets]), never
// among the program's seven: the days after which a loan still out is overdue.
#include "platform/SettingsBackend.h"

namespace q7 {

// A key with a slash names its own group.
inline const std::string loanDelayKey = "Prets/delai";
constexpr int minLoanDelay = 1;
constexpr int maxLoanDelay = 3650;

// The default (60 days) when missing or not a number of days in range.
int readLoanDelay(SettingsBackend& store);
// Throws SettingsError.
void writeLoanDelay(SettingsBackend& store, int days);

} // namespace q7
