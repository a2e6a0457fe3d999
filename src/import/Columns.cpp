#include "import/Columns.h"

#include "import/FieldNames.h"
#include "store/Errors.h"

namespace q7::import {

namespace {
Target targetOf(const std::string& name) {
    const std::string folded = foldName(name);
    if (folded.empty() || name == "-") return Target::ignored;
    if (auto t = targetOfName(folded, Dialect::spreadsheet)) return *t;
    throw Error("« " + name +
                " » n'est pas un champ de la fiche (--colonnes) : essayez titre, "
                "auteur, sujet, collection, edition, isbn, prix, anedition, nbpage, lu, "
                "emplacement, notes, resume ou - pour ignorer une colonne");
}

std::vector<std::string> parts(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        std::string part = text.substr(start, comma - start);
        while (!part.empty() && part.front() == ' ')
            part.erase(0, 1);
        while (!part.empty() && part.back() == ' ')
            part.pop_back();
        out.push_back(part);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}
} // namespace

Columns parseColumns(const std::string& utf8) {
    Columns columns;
    const std::vector<std::string> list = parts(utf8);
    const bool byHeader = utf8.find('=') != std::string::npos;
    for (const std::string& part : list) {
        if (!byHeader) {
            columns.byPosition.push_back(targetOf(part));
            continue;
        }
        const std::size_t eq = part.rfind('=');
        if (eq == std::string::npos || eq == 0)
            throw Error("« " + part + " » : écrivez « Nom de la colonne=champ » (--colonnes)");
        columns.byHeader.emplace_back(foldName(part.substr(0, eq)), targetOf(part.substr(eq + 1)));
    }
    return columns;
}

} // namespace q7::import
