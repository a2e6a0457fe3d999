// The number parsers: pages and date parts as whole numbers, prices with a decimal
// comma, each checked against a plain reading of the same text.
#include "FuzzCheck.h"
#include "maint/Statistics.h"
#include "store/Errors.h"
#include "store/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

using namespace q7;

namespace {

// The standard library's reading; it takes no '+', so that sign is dropped first.
template <class Int> bool plainInt(const std::string& text, Int& out) {
    std::string_view s = text;
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return false;
    }
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

template <class Int, class Parse> void checkInt(const std::string& text, Parse parse) {
    Int expected = 0;
    const bool ok = plainInt(text, expected) && expected != std::numeric_limits<Int>::min();
    try {
        const Int got = parse(text);
        FUZZ_CHECK(ok || (text == std::to_string(std::numeric_limits<Int>::min())));
        if (ok) FUZZ_CHECK(got == expected);
    } catch (const ConversionError& e) {
        FUZZ_CHECK(!ok || expected == std::numeric_limits<Int>::min());
        FUZZ_CHECK(std::string(e.what()).ends_with("' n'est pas une valeur entière correcte"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkInt<std::int64_t>(text, [](const std::string& t) { return toInt64(t); });
    try {
        const std::int32_t v = toInt32(text);
        std::int64_t wide = 0;
        FUZZ_CHECK(plainInt(text, wide) && wide == v);
        // The record keeps the low eight bits of a day or a month.
        FUZZ_CHECK(static_cast<std::uint8_t>(v) == static_cast<std::uint8_t>(wide & 0xFF));
    } catch (const ConversionError&) {
        std::int64_t wide = 0;
        FUZZ_CHECK(!plainInt(text, wide) || wide < INT32_MIN || wide > INT32_MAX);
    }

    // Prices: digits with at most one comma, an optional sign; the same as the C
    // library reads with a point in place of the comma.
    bool valid = true;
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    int commas = 0, digits = 0;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == ',')
            ++commas;
        else
            valid = false;
    }
    valid = valid && digits > 0 && commas <= 1;
    try {
        const long double price = toDecimal(text);
        FUZZ_CHECK(valid);
        std::string dotted = text;
        for (char& c : dotted)
            if (c == ',') c = '.';
        const long double plain = std::strtold(dotted.c_str(), nullptr);
        if (std::isfinite(plain) && std::fabs(plain) < 1e30L)
            FUZZ_CHECK(std::fabs(price - plain) <= 1e-9L * std::max(1.0L, std::fabs(plain)));
        if (std::isfinite(price) && std::fabs(price) < 1e15L) {
            const std::int64_t r = roundHalfEven(price);
            FUZZ_CHECK(std::fabs(static_cast<long double>(r) - price) <= 0.5L);
        }
    } catch (const ConversionError& e) {
        FUZZ_CHECK(!valid);
        FUZZ_CHECK(std::string(e.what()).ends_with(
            "' n'est pas une valeur en virgule flottante correcte"));
    }
    return 0;
}
