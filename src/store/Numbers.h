#pragma once
// Text to number as the program has always read it: decimal, optional sign,
// surrounding blanks refused; the French decimal comma for prices.
#include <cstdint>
#include <string_view>

namespace q7 {

// Throws ConversionError (integer) when `text` is not a whole number in 32 bits.
std::int32_t toInt32(std::string_view text);
// 64-bit variant for sums.
std::int64_t toInt64(std::string_view text);
// Throws ConversionError (float) when `text` is not a decimal number with a comma.
long double toDecimal(std::string_view text);
// The same reading without the exception: false where toDecimal throws. For passes over
// every record, where an exception per bad price would cost more than the reading.
bool readDecimal(std::string_view text, long double& out);

} // namespace q7
