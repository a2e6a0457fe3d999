#pragma once
// The record window's fields, one row each: what the record stores, which control shows
// it, its caption, its value list, its "Inserer dans liste" item, the search criterion
// that tests it and its place on the printed page. Every routine that walks the fields
// (clearing, display, the save, list loading and inserting, criteria, the sort and
// statistics choices) reads this table; no other copy of it exists.
#include "record/RecordScreen.h"
#include "store/Fiche.h"

#include <optional>
#include <span>
#include <string_view>

namespace q7 {

// The record window's search criterion, numbered as it always was.
enum class Criterion {
    ListBrowsing = 0,
    Titre = 1,
    Auteur = 2,
    Sujet = 3,
    Collection = 4,
    Edition = 5,
    Imprimeur = 6,
    Type = 7,
    Langue = 8,
    Origine = 9,
    UserText = 11,
    UserCheck = 12,
    Numero = 13,
    Isbn = 14,
    Pos1 = 15,
    Pos2 = 16,
    Pos3 = 17,
    Pos4 = 18,
    Word = 19,
    MultiPositions = 20,
    Rank = 21,
    None = 100,
};

// What a row's control holds.
enum class Holds {
    Text, // a text field: a drop-down when it has a value list, else an edit field
    Flag, // a check box
    Jour, // the three parts of the registration date, each an edit field
    Mois,
    Annee,
    Memo, // notes and summary: their own windows; the control is the button opening them
};

// The criterion choosing a field; Criterion::None when no criterion tests it.
struct Search {
    Criterion criterion = Criterion::None;
    const char* item = nullptr;   // its "Chercher par..." menu item
    const char* status = nullptr; // after "Recherche par "; null: the settings' caption
    bool withLabel = true;        // the criterion enables the caption too
};

struct FieldBinding {
    Holds holds = Holds::Text;
    Field field = Field::titre; // Text and Memo
    Flag flag = Flag::plutome;  // Flag
    const char* control = nullptr;
    const char* label = nullptr;       // its caption; null when none
    const char* spoken = nullptr;      // the name a screen reader says when no caption says it
    const char* filled = nullptr;      // memos: what the red caption of their button means
    int maxLength = 0;                 // typed characters; 0: no limit of its own
    const char* accepted = nullptr;    // the key filter's characters; null: any
    bool zeroWhenEmpty = false;        // the save writes "0" for an empty field
    const char* listFile = nullptr;    // created with this name; looked up ignoring case
    int listPlace = 0;                 // its place in the list manager, from 1
    const char* listCaption = nullptr; // its entry in the list manager; null: the user caption
    const char* insertItem = nullptr;  // its "Inserer dans liste" item
    bool captionInserts = false;       // a click on the caption inserts as well
    Search search{};
    std::string RecordScreen::*printed = nullptr; // texts, date parts and memos
    bool RecordScreen::*printedFlag = nullptr;
};

// Every row, drop-downs first in the order their lists are loaded.
std::span<const FieldBinding> fieldTable();

// The fifteen value lists in the list manager's order.
std::span<const FieldBinding* const> listManagerOrder();

// The row of a text or memo field, of a flag; null when the table has none.
const FieldBinding* bindingOf(Field field);
const FieldBinding* bindingOf(Flag flag);
// The row whose criterion this is; null for the criteria that test no single field.
const FieldBinding* bindingOf(Criterion criterion);
// The value list file of a field; throws std::logic_error when it has none.
const char* listFileOf(Field field);

} // namespace q7
