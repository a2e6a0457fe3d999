#include "overview/OverviewColumns.h"

#include "store/Cp1252.h"

#include <vector>

namespace q7 {

namespace {

using K = ColumnKind;

// clang-format off
const OverviewColumn table[] = {
    {"reference", "Référence", K::Text, Field::numero, Flag::lut, true, true, nullptr, 6},
    {"titre", "Titre", K::Text, Field::titre, Flag::lut, true, false, nullptr, 22},
    {"auteur", "Auteur", K::Text, Field::auteur, Flag::lut, true, false, "Auteur", 16},
    {"collection", "Collection", K::Text, Field::collection, Flag::lut, true, false, "Collection", 12},
    {"edition", "Édition", K::Text, Field::edition, Flag::lut, true, false, "Édition", 12},
    {"anedition", "Année d'édition", K::Text, Field::anedition, Flag::lut, true, true, "Année d'édition", 5},
    {"positions", "Positions", K::Positions, Field::pos1, Flag::lut, true, false, nullptr, 10},
    {"lu", "Lu", K::Flag, Field::titre, Flag::lut, true, false, "Lu", 3},
    {"isbn", "ISBN", K::Text, Field::isbn, Flag::lut, true, false, nullptr, 9},
    {"sujet", "Sujet", K::Text, Field::sujet, Flag::lut, false, false, "Sujet", 12},
    {"type", "Type", K::Text, Field::type, Flag::lut, false, false, "Type", 8},
    {"langue", "Langue", K::Text, Field::langue, Flag::lut, false, false, "Langue", 7},
    {"etat", "État", K::Text, Field::etat, Flag::lut, false, false, nullptr, 7},
    {"origine", "Origine", K::Text, Field::origine, Flag::lut, false, false, nullptr, 12},
    {"imprimeur", "Imprimeur", K::Text, Field::imprimeur, Flag::lut, false, false, nullptr, 12},
    {"txtutil", nullptr, K::Text, Field::txtutil, Flag::lut, false, false, nullptr, 12},
    {"pos1", "Position 1", K::Text, Field::pos1, Flag::lut, false, false, "Position 1", 7},
    {"pos2", "Position 2", K::Text, Field::pos2, Flag::lut, false, false, nullptr, 7},
    {"pos3", "Position 3", K::Text, Field::pos3, Flag::lut, false, false, nullptr, 7},
    {"pos4", "Position 4", K::Text, Field::pos4, Flag::lut, false, false, nullptr, 7},
    {"prix", "Prix", K::Text, Field::prix, Flag::lut, false, true, nullptr, 5},
    {"nbpage", "Pages", K::Text, Field::nbpage, Flag::lut, false, true, nullptr, 5},
    {"notes", "Notes", K::Text, Field::notes, Flag::lut, false, false, nullptr, 25},
    {"resume", "Résumé", K::Text, Field::resume, Flag::lut, false, false, nullptr, 25},
    {"plutome", "Plusieurs tomes", K::Flag, Field::titre, Flag::plutome, false, false, nullptr, 4},
    {"plusauteur", "Plusieurs auteurs", K::Flag, Field::titre, Flag::plusauteur, false, false, nullptr, 4},
    {"hs", "Hors series", K::Flag, Field::titre, Flag::hs, false, false, nullptr, 4},
    {"signet", "Signet", K::Flag, Field::titre, Flag::signet, false, false, nullptr, 4},
    {"cocheutil", nullptr, K::Flag, Field::titre, Flag::cocheutil, false, false, nullptr, 4},
    {"jacquette", "Jacquette", K::Flag, Field::titre, Flag::jacquette, false, false, nullptr, 4},
    {"pret", "Prêté à", K::Borrower, Field::titre, Flag::lut, false, false, "Prêté à", 12},
    {"prete", "Prêté", K::Lent, Field::titre, Flag::lut, false, false, "Prêtés", 4},
    {"couverture", "Couverture", K::Cover, Field::numero, Flag::lut, false, false, nullptr, 4},
};
// clang-format on

} // namespace

std::span<const OverviewColumn> overviewColumns() {
    return table;
}

int columnIndex(std::string_view key) {
    for (std::size_t i = 0; i < std::size(table); ++i)
        if (key == table[i].key) return int(i);
    return -1;
}

std::string columnCaption(const OverviewColumn& column, const Settings& settings) {
    if (column.caption) return column.caption;
    const std::string& user =
        column.kind == ColumnKind::Flag ? settings.cocheutilisateur : settings.textutilisateur;
    return cp1252ToUtf8(user);
}

std::vector<int> defaultColumns() {
    std::vector<int> out;
    for (std::size_t i = 0; i < std::size(table); ++i)
        if (table[i].shown) out.push_back(int(i));
    return out;
}

} // namespace q7
