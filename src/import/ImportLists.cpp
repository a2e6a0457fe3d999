#include "import/ImportLists.h"

#include "record/FieldTable.h"
#include "store/Cp1252.h"
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

QString text(const std::string& cp1252) {
    return QString::fromStdString(cp1252ToUtf8(cp1252));
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
        ListAddition add{lf.file, {}, !folder.exists(lf.file)};
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
        const std::vector<std::string> held = readIfThere(folder, add.file);
        std::vector<std::string> added = add.values;
        sortFrench(added);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(added.size());
        for (const std::string& v : added)
            keys.push_back(frenchSortKey(text(v)));
        // A merge: the values held never move, even in a list another program ordered.
        std::vector<std::string> values;
        values.reserve(held.size() + added.size());
        std::size_t next = 0;
        for (const std::string& v : held) {
            const QCollatorSortKey key = frenchSortKey(text(v));
            while (next < added.size() && keys[next].compare(key) < 0)
                values.push_back(added[next++]);
            values.push_back(v);
        }
        values.insert(values.end(), added.begin() + static_cast<std::ptrdiff_t>(next), added.end());
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
        if (add.created && values.empty())
            folder.fs().remove(folder.path(add.file));
        else if (changed)
            writeListFile(folder, add.file, values);
    }
}

} // namespace q7::import
