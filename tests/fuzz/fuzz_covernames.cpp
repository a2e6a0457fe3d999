// Covers' file names, from a reference or from a name found in Couvertures: every
// reference has one name, safe on Linux and Windows, that reads back as that reference;
// a name read as a reference is the very name that reference is given.
#include "covers/CoverNames.h"
#include "FuzzCheck.h"
#include "store/Cp1252.h"

using namespace q7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string name = coverFileName(bytes);
    FUZZ_CHECK(name.empty() == bytes.empty());
    if (!name.empty()) {
        FUZZ_CHECK(validUtf8(name));
        FUZZ_CHECK(name.find_first_of(std::string("/\\:*?\"<>|\0", 10)) == std::string::npos);
        FUZZ_CHECK(name.front() != ' ' && name.front() != '.');
        FUZZ_CHECK(referenceOfCover(name) == bytes);
    }
    if (const std::optional<std::string> reference = referenceOfCover(bytes)) {
        const std::string again = coverFileName(*reference);
        FUZZ_CHECK(again.size() == bytes.size());
        FUZZ_CHECK(again.substr(0, again.size() - 4) == bytes.substr(0, bytes.size() - 4));
    }
    FUZZ_CHECK(coverKey(bytes).size() == bytes.size());
    return 0;
}
