#include "store/Numbers.h"

#include "store/Errors.h"

#include <limits>

namespace q7 {

namespace {
bool parseInt(const std::string& text, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
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

std::int32_t toInt32(const std::string& text) {
    std::int64_t v = 0;
    if (!parseInt(text, std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max(), v))
        throw ConversionError(ConversionError::Kind::Integer, text);
    return static_cast<std::int32_t>(v);
}

std::int64_t toInt64(const std::string& text) {
    std::int64_t v = 0;
    if (!parseInt(text, std::numeric_limits<std::int64_t>::min() + 1,
                  std::numeric_limits<std::int64_t>::max(), v))
        throw ConversionError(ConversionError::Kind::Integer, text);
    return v;
}

long double toDecimal(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long double whole = 0;
    long double frac = 0, scale = 1;
    bool digits = false, comma = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            if (comma) {
                scale /= 10;
                frac += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if (c == ',' && !comma) {
            comma = true;
        } else {
            throw ConversionError(ConversionError::Kind::Float, text);
        }
    }
    if (!digits) throw ConversionError(ConversionError::Kind::Float, text);
    const long double v = whole + frac;
    return negative ? -v : v;
}

} // namespace q7
