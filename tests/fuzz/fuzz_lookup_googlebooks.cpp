// A Google Books answer, read and made into fields.
#include "LookupFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzAnswer(q7::lookup::readGoogleBooks, data, size);
}
