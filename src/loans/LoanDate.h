#pragma once
// The day of a loan: written d/m/yyyy without leading zeros, as the program writes every
// date ("3/11/2026"), and counted in days so that a loan's age is one subtraction.
#include <optional>
#include <string>
#include <string_view>

namespace q7 {

struct LoanDate {
    int day = 1;
    int month = 1;
    int year = 2000;

    bool operator==(const LoanDate&) const = default;
    // Days since a fixed origin; consecutive days give consecutive numbers.
    long serial() const;
    // "3/11/2026".
    std::string text() const;
    // A real day of the calendar between the years 1 and 9999.
    bool valid() const;

    // "3/11/2026", "03/11/2026" or "2026-11-03" (as spreadsheets and other programs write
    // it); nothing when the text is not a real day.
    static std::optional<LoanDate> parse(std::string_view text);
};

inline bool operator<(const LoanDate& a, const LoanDate& b) {
    return a.serial() < b.serial();
}

// Whole days from `from` to `to` (negative when `to` comes first).
inline long daysBetween(const LoanDate& from, const LoanDate& to) {
    return to.serial() - from.serial();
}

} // namespace q7
