#pragma once
// The 28 values of a record in the order the SQL and CSV exports write them (not the
// record's order): sixteen texts, the registration date, the seven flags and the four
// positions. The importer reads the program's own CSV back by this same table.
#include "store/Fiche.h"

#include <array>

namespace q7 {

struct ExportColumn {
    enum class Holds { Text, Date, Flag };
    Holds holds = Holds::Text;
    Field field = Field::titre; // Text
    Flag flag = Flag::plutome;  // Flag
    const char* name = nullptr; // the record's name for it, as --colonnes knows it
};

namespace column {
constexpr ExportColumn text(Field f, const char* name) {
    return {ExportColumn::Holds::Text, f, Flag::plutome, name};
}
constexpr ExportColumn flag(Flag f, const char* name) {
    return {ExportColumn::Holds::Flag, Field::titre, f, name};
}
} // namespace column

inline constexpr std::array<ExportColumn, 28> exportColumns = {
    column::text(Field::titre, "titre"),
    column::text(Field::auteur, "auteur"),
    column::text(Field::sujet, "sujet"),
    column::text(Field::collection, "collection"),
    column::text(Field::edition, "edition"),
    column::text(Field::anedition, "anedition"),
    column::text(Field::imprimeur, "imprimeur"),
    column::text(Field::nbpage, "nbpage"),
    column::text(Field::type, "type"),
    column::text(Field::langue, "langue"),
    column::text(Field::origine, "origine"),
    column::text(Field::txtutil, "txtutil"),
    column::text(Field::etat, "etat"),
    column::text(Field::prix, "prix"),
    column::text(Field::isbn, "isbn"),
    column::text(Field::numero, "numero"),
    ExportColumn{ExportColumn::Holds::Date, Field::titre, Flag::plutome, "date"},
    column::flag(Flag::plutome, "plutome"),
    column::flag(Flag::plusauteur, "plusauteur"),
    column::flag(Flag::lut, "lut"),
    column::flag(Flag::hs, "hs"),
    column::flag(Flag::cocheutil, "cocheutil"),
    column::flag(Flag::signet, "signet"),
    column::flag(Flag::jacquette, "jacquette"),
    column::text(Field::pos1, "pos1"),
    column::text(Field::pos2, "pos2"),
    column::text(Field::pos3, "pos3"),
    column::text(Field::pos4, "pos4"),
};

} // namespace q7
