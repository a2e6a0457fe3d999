#include "store/Numbers.h"

#include "store/Errors.h"

#include <array>
#include <limits>
#include <string>

namespace q7 {

namespace {
bool parseInt(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        if (value > (std::numeric_limits<std::int64_t>::max() - (c - '0')) / 10) return false;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < lo || value > hi) return false;
    out = value;
    return true;
}
} // namespace

std::int32_t toInt32(std::string_view text) {
    std::int64_t v = 0;
    if (!parseInt(text, std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max(), v))
        throw ConversionError(ConversionError::Kind::Integer, std::string(text));
    return static_cast<std::int32_t>(v);
}

std::int64_t toInt64(std::string_view text) {
    std::int64_t v = 0;
    if (!parseInt(text, std::numeric_limits<std::int64_t>::min() + 1,
                  std::numeric_limits<std::int64_t>::max(), v))
        throw ConversionError(ConversionError::Kind::Integer, std::string(text));
    return v;
}

namespace {
// Tenths, hundredths...: each the one before divided by ten, as the digits of a price
// have always been read, but divided once for all the records of a catalogue.
const std::array<long double, 8>& fractionScales() {
    static const std::array<long double, 8> scales = [] {
        std::array<long double, 8> out{};
        long double scale = 1;
        for (long double& s : out)
            s = scale /= 10;
        return out;
    }();
    return scales;
}
} // namespace

bool readDecimal(std::string_view text, long double& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long double whole = 0;
    long double frac = 0, scale = 1;
    std::size_t places = 0;
    const auto& scales = fractionScales();
    bool digits = false, comma = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            if (comma) {
                scale = places < scales.size() ? scales[places] : scale / 10;
                ++places;
                frac += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if (c == ',' && !comma) {
            comma = true;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    const long double v = whole + frac;
    out = negative ? -v : v;
    return true;
}

long double toDecimal(std::string_view text) {
    long double v = 0;
    if (!readDecimal(text, v))
        throw ConversionError(ConversionError::Kind::Float, std::string(text));
    return v;
}

} // namespace q7
