#include "loans/LoanDate.h"

namespace q7 {

namespace {

bool leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int month, int year) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap(year) ? 29 : days[month - 1];
}

// A run of 1 to `most` digits at `at`; moves `at` past it.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t most) {
    std::size_t n = 0;
    int value = 0;
    while (at < text.size() && n < most && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++n;
    }
    if (n == 0) return std::nullopt;
    return value;
}

bool skip(std::string_view text, std::size_t& at, char separator) {
    if (at >= text.size() || text[at] != separator) return false;
    ++at;
    return true;
}

} // namespace

long LoanDate::serial() const {
    // Days from 1 March of year 0 of the proleptic Gregorian calendar: counting from
    // March puts the leap day at the end of each year.
    const long y = month <= 2 ? year - 1 : year;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long m = month > 2 ? month - 3 : month + 9;
    const long dayOfYear = (153 * m + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

std::string LoanDate::text() const {
    // The year always in four digits, as it is read back ("0442" for 442).
    std::string y = std::to_string(year);
    if (y.size() < 4) y.insert(0, 4 - y.size(), '0');
    return std::to_string(day) + "/" + std::to_string(month) + "/" + y;
}

bool LoanDate::valid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysIn(month, year);
}

std::optional<LoanDate> LoanDate::parse(std::string_view text) {
    LoanDate d;
    std::size_t at = 0;
    if (text.size() == 10 && text[4] == '-') {
        const auto y = digits(text, at, 4);
        const bool ok = at == 4 && skip(text, at, '-');
        const auto m = ok ? digits(text, at, 2) : std::nullopt;
        const bool ok2 = at == 7 && skip(text, at, '-');
        const auto dd = ok2 ? digits(text, at, 2) : std::nullopt;
        if (!y || !m || !dd || at != text.size()) return std::nullopt;
        d = {*dd, *m, *y};
    } else {
        const auto dd = digits(text, at, 2);
        const bool ok = dd && skip(text, at, '/');
        const auto m = ok ? digits(text, at, 2) : std::nullopt;
        const bool ok2 = m && skip(text, at, '/');
        const std::size_t yearStart = at;
        const auto y = ok2 ? digits(text, at, 4) : std::nullopt;
        if (!y || at - yearStart != 4 || at != text.size()) return std::nullopt;
        d = {*dd, *m, *y};
    }
    if (!d.valid()) return std::nullopt;
    return d;
}

} // namespace q7
