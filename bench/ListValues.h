#pragma once
// Value list files for the benchmarks: names with accents and mixed case, CR LF lines.
#include "record/FieldTable.h"
#include "store/Cp1252.h"

#include <cstdio>
#include <string>

namespace bench {

inline std::string listFileBytes(int values, unsigned seed) {
    static const char* first[] = {"Émile", "victor", "George", "Alexandre", "Marguerite",
                                  "jules", "Albert", "Marcel", "Œdipe",     "éloïse"};
    static const char* last[] = {"Zola",  "hugo",  "Sand",   "Dumas",    "Yourcenar",
                                 "Verne", "Camus", "Proust", "Ça et là", "d'Ormesson"};
    std::string bytes;
    for (int i = 0; i < values; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = (seed >> 16) & 0x7fff;
        bytes += q7::utf8ToCp1252(std::string(first[r % 10]) + " " + last[(r / 10) % 10] + " " +
                                  std::to_string(r % 1000));
        bytes += "\r\n";
    }
    return bytes;
}

// The fifteen list files of `dir`, `values` lines each.
inline void writeListFiles(const std::string& dir, int values) {
    unsigned seed = 7;
    for (const q7::FieldBinding* list : q7::listManagerOrder()) {
        const std::string bytes = listFileBytes(values, seed++);
        FILE* out = std::fopen((dir + "/" + list->listFile).c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
}

} // namespace bench
