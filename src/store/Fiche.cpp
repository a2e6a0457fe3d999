#include "store/Fiche.h"

#include <algorithm>
#include <cstring>

namespace q7 {

namespace {
constexpr std::array<FieldInfo, fieldCount> fields = {{
    {0, 55},    // titre
    {56, 42},   // auteur
    {99, 42},   // sujet
    {142, 42},  // collection
    {185, 42},  // edition
    {228, 42},  // txtutil
    {271, 42},  // imprimeur
    {314, 20},  // type
    {335, 13},  // langue
    {349, 13},  // etat
    {363, 13},  // isbn
    {377, 8},   // numero
    {386, 20},  // pos1
    {407, 20},  // pos2
    {428, 20},  // pos3
    {449, 20},  // pos4
    {470, 35},  // origine
    {506, 4},   // prix
    {511, 4},   // anedition
    {516, 4},   // nbpage
    {536, 255}, // notes
    {792, 255}, // resume
}};
} // namespace

FieldInfo fieldInfo(Field f) {
    return fields[static_cast<std::size_t>(f)];
}

std::size_t flagOffset(Flag f) {
    // Stored order: plutome, plusauteur, lut, hs, signet, cocheutil, jacquette.
    return 521 + static_cast<std::size_t>(f);
}

std::string_view Fiche::view(Field f) const {
    const FieldInfo info = fieldInfo(f);
    const std::size_t len = std::min<std::size_t>(bytes[info.offset], info.capacity);
    return {reinterpret_cast<const char*>(bytes.data() + info.offset + 1), len};
}

std::string Fiche::text(Field f) const {
    return std::string(view(f));
}

void Fiche::setText(Field f, std::string_view value) {
    const FieldInfo info = fieldInfo(f);
    const std::size_t len = std::min(value.size(), info.capacity);
    bytes[info.offset] = static_cast<unsigned char>(len);
    std::memcpy(bytes.data() + info.offset + 1, value.data(), len);
}

void Fiche::setAnnee(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        bytes[532 + i] = static_cast<unsigned char>(u >> (8 * i));
}

} // namespace q7
