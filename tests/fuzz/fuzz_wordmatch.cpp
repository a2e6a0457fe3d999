// The word match, sixteen bytes at a time, against its plain definition: the word
// occurs in the text with only a-z folded to A-Z; on a string and on a record's field.
#include "FuzzCheck.h"
#include "search/Match.h"

#include <cstring>

using namespace q7;

namespace {
std::string fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return out;
}
bool plainOccurs(std::string_view text, std::string_view word) {
    return !word.empty() && fold(text).find(fold(word)) != std::string::npos;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t fieldByte = in.byte();
    const std::string word(in.until('\0'));
    const std::string text(in.rest());
    const WordMatcher match(word);
    FUZZ_CHECK(match(text) == plainOccurs(text, word));
    FUZZ_CHECK(wordOccurs(text, word) == plainOccurs(text, word));

    // In place in a record, with whatever bytes follow the field.
    Fiche record;
    std::memset(record.bytes.data(), 'a', ficheSize);
    const auto field = static_cast<Field>(fieldByte % fieldCount);
    record.setText(field, text);
    const std::string_view stored = record.view(field);
    FUZZ_CHECK(match(record, field) == plainOccurs(stored, word));
    return 0;
}
