// Any bytes as a spreadsheet's CSV.
#include "ImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzImport(data, size, q7::import::Format::csv);
}
