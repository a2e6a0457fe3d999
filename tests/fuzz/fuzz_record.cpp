// The record codec and its text conversions: any 1048 bytes read as a record give
// fields within their capacity, survive the code page both ways, write back unchanged,
// and render into every output without a fault.
#include "FuzzCheck.h"
#include "output/ExportFormat.h"
#include "output/RecordText.h"
#include "store/Cp1252.h"
#include "store/Fiche.h"

#include <cstring>

using namespace q7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fiche record;
    std::memcpy(record.bytes.data(), data, std::min(size, ficheSize));
    const std::string_view typed(reinterpret_cast<const char*>(data) + std::min(size, ficheSize),
                                 size - std::min(size, ficheSize));

    const Fiche original = record;
    for (int i = 0; i < fieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const FieldInfo info = fieldInfo(field);
        const std::string_view text = record.view(field);
        FUZZ_CHECK(text.size() <= info.capacity);
        FUZZ_CHECK(text.data() ==
                   reinterpret_cast<const char*>(record.bytes.data()) + info.offset + 1);
        // Shown in the window and typed back: the same bytes.
        FUZZ_CHECK(utf8ToCp1252(cp1252ToUtf8(text)) == text);
        // An unchanged save leaves the record as it was, tails included.
        const std::string copy(text);
        record.setText(field, copy);
        FUZZ_CHECK(record.bytes == original.bytes || original.bytes[info.offset] > info.capacity);
        record = original;
    }

    // Whatever is typed or pasted becomes bytes that fit and decode again.
    const std::string bytes = utf8ToCp1252(typed);
    FUZZ_CHECK(utf8ToCp1252(cp1252ToUtf8(bytes)) == bytes);
    Fiche edited = record;
    edited.setText(Field::titre, bytes);
    FUZZ_CHECK(edited.view(Field::titre) == std::string_view(bytes).substr(0, 55));
    FUZZ_CHECK(std::memcmp(edited.bytes.data() + 56, record.bytes.data() + 56, ficheSize - 56) ==
               0);
    edited.setAnnee(record.annee());
    FUZZ_CHECK(std::memcmp(edited.bytes.data() + 532, record.bytes.data() + 532, 4) == 0);

    Settings captions;
    std::string out;
    appendTxtBlock(out, record, 1, captions);
    appendSqlLines(out, record, bytes);
    std::string csv;
    appendCsvLine(csv, record);
    FUZZ_CHECK(csv.size() >= 2 && csv.substr(csv.size() - 2) == "\r\n");
    out += htmlPage(record, captions);
    out += recordText(record, 1, captions);
    FUZZ_CHECK(!out.empty());
    return 0;
}
