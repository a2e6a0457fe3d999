// Any bytes as a GCstar file.
#include "ImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzImport(data, size, q7::import::Format::gcstar);
}
