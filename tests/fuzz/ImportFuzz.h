#pragma once
// What the three import fuzzers share: any bytes read as one format and made into
// records. Nothing may crash, and every record holds only what fits its fields.
#include "import/Importer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

inline int fuzzImport(const std::uint8_t* data, std::size_t size, q7::import::Format format) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const q7::import::SourceFile file = q7::import::readSource(bytes, format, {});
        q7::import::Existing existing;
        const q7::import::Plan plan = q7::import::planImport(file, existing, {1, 1, 2024});
        for (const q7::Fiche& f : plan.records)
            for (int i = 0; i < q7::fieldCount; ++i)
                if (f.text(q7::Field(i)).size() > q7::fieldInfo(q7::Field(i)).capacity)
                    std::abort();
        (void)q7::import::renderReport(plan.report);
    } catch (const q7::Error&) {
        // A file that is not of that format is refused with a message: fine.
    }
    return 0;
}
