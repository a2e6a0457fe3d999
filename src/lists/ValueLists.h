#pragma once
// The fifteen value lists: their entries in the list manager and their files.
#include <array>

namespace q7 {

struct ValueList {
    const char* caption; // list manager entry; the user list takes textutilisateur instead
    const char* file;    // created with this name; looked up ignoring case
};

inline constexpr int userList = 9; // captioned with the user text field's name

inline constexpr std::array<ValueList, 15> valueLists{{
    {"Titre", "Q7titre.lst"},
    {"Auteur", "Q7auteur.lst"},
    {"Sujet", "Q7sujet.lst"},
    {"Collection", "Q7collection.lst"},
    {"Edition", "Q7edition.lst"},
    {"Imprimeur", "Q7imprimeur.lst"},
    {"Type", "Q7type.lst"},
    {"Langue", "Q7langue.lst"},
    {"Origine", "Q7origine.lst"},
    {"", "Q7utilisat.lst"},
    {"Etat", "Q7etat.lst"},
    {"Position 1", "Q7pos1.lst"},
    {"Position 2", "Q7pos2.lst"},
    {"Position 3", "Q7pos3.lst"},
    {"Position 4", "Q7pos4.lst"},
}};

} // namespace q7
