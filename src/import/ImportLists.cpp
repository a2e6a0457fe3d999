#include "import/ImportLists.h"

#include "record/FieldTable.h"
#include "store/FrenchOrder.h"
#include "store/ListFile.h"

#include <algorithm>
#include <unordered_set>

namespace q7::import {

namespace {

// The lists an import adds to; their files are the field table's.
struct ListField {
    Field field;
    const char* file;
};

const ListField listFields[] = {{Field::auteur, listFileOf(Field::auteur)},
                                {Field::edition, listFileOf(Field::edition)},
                                {Field::collection, listFileOf(Field::collection)},
                                {Field::sujet, listFileOf(Field::sujet)},
                                {Field::origine, listFileOf(Field::origine)}};

// "Série, 3" is offered as "Série": the number belongs to the book, not to the list.
std::string listValue(const Fiche& f, Field field) {
    std::string v(f.view(field));
    if (field != Field::collection) return v;
    const std::size_t comma = v.rfind(", ");
    if (comma == std::string::npos || comma + 2 == v.size()) return v;
    for (std::size_t i = comma + 2; i < v.size(); ++i)
        if (v[i] < '0' || v[i] > '9') return v;
    return v.substr(0, comma);
}

std::vector<std::string> readIfThere(const Folder& folder, const std::string& file) {
    return folder.exists(file) ? readListFile(folder, file) : std::vector<std::string>{};
}

} // namespace

bool isImportList(const std::string& file) {
    for (const ListField& lf : listFields)
        if (file == lf.file) return true;
    return false;
}

std::vector<ListAddition> newListValues(const Folder& folder, const std::vector<Fiche>& records) {
    std::vector<ListAddition> additions;
    for (const ListField& lf : listFields) {
        const std::vector<std::string> current = readIfThere(folder, lf.file);
        std::unordered_set<std::string> known(current.begin(), current.end());
        ListAddition add{lf.file, {}};
        for (const Fiche& f : records) {
            std::string v = listValue(f, lf.field);
            if (!v.empty() && known.insert(v).second) add.values.push_back(std::move(v));
        }
        if (!add.values.empty()) additions.push_back(std::move(add));
    }
    return additions;
}

void addToLists(const Folder& folder, const std::vector<ListAddition>& additions) {
    for (const ListAddition& add : additions) {
        std::vector<std::string> values = readIfThere(folder, add.file);
        values.insert(values.end(), add.values.begin(), add.values.end());
        sortFrench(values);
        writeListFile(folder, add.file, values);
    }
}

void removeFromLists(const Folder& folder, const std::vector<ListAddition>& additions) {
    for (const ListAddition& add : additions) {
        if (!folder.exists(add.file)) continue;
        std::vector<std::string> values = readListFile(folder, add.file);
        bool changed = false;
        for (const std::string& v : add.values) {
            auto it = std::find(values.begin(), values.end(), v);
            if (it == values.end()) continue;
            values.erase(it);
            changed = true;
        }
        if (changed) writeListFile(folder, add.file, values);
    }
}

} // namespace q7::import
