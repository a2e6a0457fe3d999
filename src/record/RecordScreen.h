#pragma once
// What the record window shows, as its controls hold it (not the stored record): a field
// edited but not saved prints with its new text. Texts are Windows-1252 bytes.
#include <string>

namespace q7 {

struct RecordScreen {
    std::string titre, auteur, sujet, collection, edition, imprimeur, type, langue, origine,
        utilisateur, etat, prix, isbn, numero, jour, mois, annee, anedition, nbpage, pos1, pos2,
        pos3, pos4;
    std::string notes, resume; // the texts of the notes and summary windows
    bool plutome = false, plusauteur = false, lut = false, hs = false, utilisateurCoche = false,
         signet = false, jacquette = false;
};

} // namespace q7
