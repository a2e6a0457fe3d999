#include "record/FieldTable.h"

#include <array>
#include <stdexcept>
#include <string>

namespace q7 {

namespace {

using S = RecordScreen;
constexpr const char* digits = "0123456789";

// clang-format off
const FieldBinding table[] = {
    {.field = Field::titre, .control = "cbtitre", .label = "lbltitre", .maxLength = 55,
     .listFile = "Q7titre.lst", .listPlace = 1, .listCaption = "Titre", .insertItem = "institre",
     .captionInserts = true, .search = {Criterion::Titre, "Titres", "titre"}, .printed = &S::titre},
    {.field = Field::auteur, .control = "cbauteur", .label = "lblauteur", .maxLength = 42,
     .listFile = "Q7auteur.lst", .listPlace = 2, .listCaption = "Auteur", .insertItem = "insauteur",
     .captionInserts = true, .search = {Criterion::Auteur, "Auteur", "auteur"},
     .printed = &S::auteur},
    {.field = Field::sujet, .control = "cbsujet", .label = "lblsujet", .maxLength = 42,
     .listFile = "Q7sujet.lst", .listPlace = 3, .listCaption = "Sujet", .insertItem = "inssujet",
     .captionInserts = true, .search = {Criterion::Sujet, "Sujet", "sujet"}, .printed = &S::sujet},
    {.field = Field::collection, .control = "cbcollection", .label = "lblcollection",
     .maxLength = 42, .listFile = "Q7collection.lst", .listPlace = 4, .listCaption = "Collection",
     .insertItem = "insCollections", .captionInserts = true,
     .search = {Criterion::Collection, "Collection", "collection"}, .printed = &S::collection},
    {.field = Field::edition, .control = "cbedition", .label = "lbledition", .maxLength = 42,
     .listFile = "Q7edition.lst", .listPlace = 5, .listCaption = "Edition", .insertItem = "insEditions",
     .captionInserts = true, .search = {Criterion::Edition, "Edition", "edition"},
     .printed = &S::edition},
    {.field = Field::imprimeur, .control = "cbimprimeur", .label = "lblimprimeur",
     .maxLength = 42, .listFile = "Q7imprimeur.lst", .listPlace = 6, .listCaption = "Imprimeur",
     .insertItem = "insImprimeurs", .captionInserts = true,
     .search = {Criterion::Imprimeur, "Imprimeur", "imprimeur"}, .printed = &S::imprimeur},
    {.field = Field::type, .control = "cbtype", .label = "lbltype", .maxLength = 20,
     .listFile = "Q7type.lst", .listPlace = 7, .listCaption = "Type",
     .search = {Criterion::Type, "Types", "type"}, .printed = &S::type},
    {.field = Field::langue, .control = "cblangue", .label = "lbllangue", .maxLength = 13,
     .listFile = "Q7langue.lst", .listPlace = 8, .listCaption = "Langue",
     .search = {Criterion::Langue, "langue", "langue"}, .printed = &S::langue},
    {.field = Field::etat, .control = "cbetat", .label = "lbletat", .maxLength = 13,
     .listFile = "Q7etat.lst", .listPlace = 11, .listCaption = "Etat", .printed = &S::etat},
    {.field = Field::origine, .control = "cborigine", .label = "lblorigine", .maxLength = 42,
     .listFile = "Q7origine.lst", .listPlace = 9, .listCaption = "Origine", .insertItem = "insorigine",
     .captionInserts = true, .search = {Criterion::Origine, "menuorigine", "mot clés", false},
     .printed = &S::origine},
    {.field = Field::txtutil, .control = "cbutilisateur", .label = "lblutilisateur",
     .maxLength = 42, .listFile = "Q7utilisat.lst", .listPlace = 10, .insertItem = "menuinsertutil",
     .captionInserts = true, .search = {Criterion::UserText, "menutxtutil"},
     .printed = &S::utilisateur},
    {.field = Field::pos1, .control = "cbpos1", .label = "lblpos1", .spoken = "Position 1",
     .maxLength = 20, .listFile = "Q7pos1.lst", .listPlace = 12, .listCaption = "Position 1",
     .insertItem = "inspos1", .search = {Criterion::Pos1, "pos1", "position 1"},
     .printed = &S::pos1},
    {.field = Field::pos2, .control = "cbpos2", .label = "lblpos2", .spoken = "Position 2",
     .maxLength = 20, .listFile = "Q7pos2.lst", .listPlace = 13, .listCaption = "Position 2",
     .insertItem = "inspos2", .search = {Criterion::Pos2, "pos2", "position 2"},
     .printed = &S::pos2},
    {.field = Field::pos3, .control = "cbpos3", .label = "lblpos3", .spoken = "Position 3",
     .maxLength = 20, .listFile = "Q7pos3.lst", .listPlace = 14, .listCaption = "Position 3",
     .insertItem = "inspos3", .search = {Criterion::Pos3, "pos3", "position 3"},
     .printed = &S::pos3},
    {.field = Field::pos4, .control = "cbpos4", .label = "lblpos4", .spoken = "Position 4",
     .maxLength = 20, .listFile = "Q7pos4.lst", .listPlace = 15, .listCaption = "Position 4",
     .insertItem = "inspos4", .search = {Criterion::Pos4, "pos4", "position 4"},
     .printed = &S::pos4},

    {.field = Field::numero, .control = "edtnumero", .label = "lblreference", .maxLength = 8,
     .search = {Criterion::Numero, "Numero", "reference"}, .printed = &S::numero},
    {.field = Field::prix, .control = "edtprix", .label = "lblprix", .maxLength = 4,
     .accepted = ",0123456789", .zeroWhenEmpty = true, .printed = &S::prix},
    {.field = Field::anedition, .control = "edtanedition", .label = "lblanedition",
     .maxLength = 4, .accepted = digits, .printed = &S::anedition},
    {.field = Field::nbpage, .control = "edtnbpage", .label = "lblpage", .maxLength = 4,
     .accepted = digits, .zeroWhenEmpty = true, .printed = &S::nbpage},
    {.field = Field::isbn, .control = "edtisbn", .label = "lblisbn", .maxLength = 13,
     .accepted = "-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     .search = {Criterion::Isbn, "ISBN", "ISBN"}, .printed = &S::isbn},

    {.holds = Holds::Jour, .control = "edtjour", .spoken = "Jour", .maxLength = 2,
     .accepted = digits, .printed = &S::jour},
    {.holds = Holds::Mois, .control = "edtmois", .spoken = "Mois", .maxLength = 2,
     .accepted = digits, .printed = &S::mois},
    {.holds = Holds::Annee, .control = "edtannee", .spoken = "Année", .maxLength = 4,
     .accepted = digits, .printed = &S::annee},

    {.holds = Holds::Flag, .flag = Flag::plutome, .control = "ckbplutome",
     .printedFlag = &S::plutome},
    {.holds = Holds::Flag, .flag = Flag::plusauteur, .control = "ckbplusauteur",
     .printedFlag = &S::plusauteur},
    {.holds = Holds::Flag, .flag = Flag::hs, .control = "ckbhs", .printedFlag = &S::hs},
    {.holds = Holds::Flag, .flag = Flag::lut, .control = "ckblut", .printedFlag = &S::lut},
    {.holds = Holds::Flag, .flag = Flag::signet, .control = "ckbsignet",
     .printedFlag = &S::signet},
    {.holds = Holds::Flag, .flag = Flag::jacquette, .control = "ckbjacquette",
     .printedFlag = &S::jacquette},
    {.holds = Holds::Flag, .flag = Flag::cocheutil, .control = "ckbutilisateur",
     .search = {Criterion::UserCheck, "menucocheutil", nullptr, false},
     .printedFlag = &S::utilisateurCoche},

    {.holds = Holds::Memo, .field = Field::notes, .control = "btbnotes",
     .filled = "contient des notes", .printed = &S::notes},
    {.holds = Holds::Memo, .field = Field::resume, .control = "btbresume",
     .filled = "contient un résumé", .printed = &S::resume},
};
// clang-format on

template <class Test> const FieldBinding* find(Test test) {
    for (const FieldBinding& b : table)
        if (test(b)) return &b;
    return nullptr;
}

} // namespace

std::span<const FieldBinding> fieldTable() {
    return table;
}

std::span<const FieldBinding* const> listManagerOrder() {
    static const std::array<const FieldBinding*, 15> order = [] {
        std::array<const FieldBinding*, 15> out{};
        for (const FieldBinding& b : table) {
            if (!b.listFile) continue;
            const auto place = static_cast<std::size_t>(b.listPlace);
            if (place < 1 || place > out.size() || out[place - 1])
                throw std::logic_error(std::string("no place of its own in the list manager: ") +
                                       b.listFile);
            out[place - 1] = &b;
        }
        for (const FieldBinding* b : out)
            if (!b) throw std::logic_error("a place of the list manager without its list");
        return out;
    }();
    return order;
}

const FieldBinding* bindingOf(Field field) {
    return find([field](const FieldBinding& b) {
        return (b.holds == Holds::Text || b.holds == Holds::Memo) && b.field == field;
    });
}

const FieldBinding* bindingOf(Flag flag) {
    return find([flag](const FieldBinding& b) { return b.holds == Holds::Flag && b.flag == flag; });
}

const FieldBinding* bindingOf(Criterion criterion) {
    if (criterion == Criterion::None) return nullptr;
    return find([criterion](const FieldBinding& b) { return b.search.criterion == criterion; });
}

const char* listFileOf(Field field) {
    const FieldBinding* b = bindingOf(field);
    if (!b || !b->listFile) throw std::logic_error("field without a value list");
    return b->listFile;
}

} // namespace q7
