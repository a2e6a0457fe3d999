#pragma once
// The 1048-byte catalogue record, kept as its bytes so that whatever an unchanged
// save does not touch (text tails, padding) goes back to the file as it came.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace q7 {

constexpr std::size_t ficheSize = 1048;
constexpr int maxRecords = 40000;

enum class Field {
    titre,
    auteur,
    sujet,
    collection,
    edition,
    txtutil,
    imprimeur,
    type,
    langue,
    etat,
    isbn,
    numero,
    pos1,
    pos2,
    pos3,
    pos4,
    origine,
    prix,
    anedition,
    nbpage,
    notes,
    resume
};
constexpr int fieldCount = 22;

enum class Flag { plutome, plusauteur, lut, hs, signet, cocheutil, jacquette };
constexpr int flagCount = 7;

struct FieldInfo {
    std::size_t offset;
    std::size_t capacity;
};
FieldInfo fieldInfo(Field f);
std::size_t flagOffset(Flag f);

struct Fiche {
    std::array<unsigned char, ficheSize> bytes{};

    // The stored text: its first L bytes, L clamped to the field's capacity.
    std::string text(Field f) const;
    std::string_view view(Field f) const;
    // Cuts to capacity; sets the length and the first L bytes only.
    void setText(Field f, std::string_view value);

    unsigned char flagByte(Flag f) const { return bytes[flagOffset(f)]; }
    bool flagIsOne(Flag f) const { return flagByte(f) == 1; }
    void setFlag(Flag f, bool on) { bytes[flagOffset(f)] = on ? 1 : 0; }

    std::uint8_t jour() const { return bytes[528]; }
    std::uint8_t mois() const { return bytes[529]; }
    std::int32_t annee() const { return anneeOf(bytes.data()); }
    // The registration year of a record's bytes, for passes over raw blocks.
    static std::int32_t anneeOf(const unsigned char* record) {
        return static_cast<std::int32_t>(
            std::uint32_t(record[532]) | std::uint32_t(record[533]) << 8 |
            std::uint32_t(record[534]) << 16 | std::uint32_t(record[535]) << 24);
    }
    void setJour(std::uint8_t v) { bytes[528] = v; }
    void setMois(std::uint8_t v) { bytes[529] = v; }
    void setAnnee(std::int32_t v);
};

} // namespace q7
