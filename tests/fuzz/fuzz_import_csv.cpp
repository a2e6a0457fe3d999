// Any bytes as a spreadsheet's CSV, then made into records: nothing may crash, and every
// record holds only what fits its fields.
#include "import/Importer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const q7::import::SourceFile file =
            q7::import::readSource(bytes, q7::import::Format::csv, {});
        q7::import::Existing existing;
        const q7::import::Plan plan = q7::import::planImport(file, existing, {1, 1, 2024});
        for (const q7::Fiche& f : plan.records)
            for (int i = 0; i < q7::fieldCount; ++i)
                if (f.text(q7::Field(i)).size() > q7::fieldInfo(q7::Field(i)).capacity)
                    std::abort();
        (void)q7::import::renderReport(plan.report);
    } catch (const q7::Error&) {
        // A file that is no spreadsheet is refused with a message: fine.
    }
    return 0;
}
