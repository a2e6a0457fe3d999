#include "FicheBuilder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

void writeCatalogue(const std::string& dir, const std::vector<q7::Fiche>& records,
                    const std::string& name) {
    std::string bytes;
    for (const auto& r : records)
        bytes.append(r.bytes.begin(), r.bytes.end());
    writeBytes(dir + "/" + name, bytes);
}

std::vector<q7::Fiche> readCatalogue(const std::string& dir, const std::string& name) {
    const std::string bytes = readBytes(dir + "/" + name);
    std::vector<q7::Fiche> records(bytes.size() / q7::ficheSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        std::copy_n(bytes.begin() + long(i * q7::ficheSize), q7::ficheSize,
                    records[i].bytes.begin());
    return records;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}
