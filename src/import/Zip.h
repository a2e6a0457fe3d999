#pragma once
// One member of a zip archive held in memory (libzip does the reading).
#include <string>
#include <string_view>

namespace q7::import {

bool isZip(std::string_view bytes);
// The bytes of the member named `name`; throws q7::Error (French) when the archive is
// broken, the member is missing or larger than `limit` bytes once unpacked.
std::string zipMember(std::string_view archive, const std::string& name,
                      std::size_t limit = std::size_t(256) << 20);

} // namespace q7::import
