#include "import/FieldNames.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace q7::import {

namespace {

struct Alias {
    const char* name; // folded
    Target target;
};

// Record field names first, so --colonnes can name the record's own fields.
const Alias common[] = {
    {"titre", Target::title},
    {"title", Target::title},
    {"auteur", Target::authors},
    {"auteurs", Target::authors},
    {"author", Target::authors},
    {"authors", Target::authors},
    {"ecrivain", Target::authors},
    {"sujet", Target::subject},
    {"subject", Target::subject},
    {"genre", Target::subject},
    {"genres", Target::subject},
    {"theme", Target::subject},
    {"categorie", Target::subject},
    {"category", Target::subject},
    {"collection", Target::series},
    {"serie", Target::series},
    {"series", Target::series},
    {"saga", Target::series},
    {"tome", Target::seriesNumber},
    {"numero dans la serie", Target::seriesNumber},
    {"numero de serie", Target::seriesNumber},
    {"numero de tome", Target::seriesNumber},
    {"series number", Target::seriesNumber},
    {"series num", Target::seriesNumber},
    {"volume", Target::seriesNumber},
    {"edition", Target::publisher},
    {"editeur", Target::publisher},
    {"editions", Target::publisher},
    {"maison d edition", Target::publisher},
    {"publisher", Target::publisher},
    {"txtutil", Target::keywords},
    {"mots cles", Target::keywords},
    {"mot cle", Target::keywords},
    {"mots clefs", Target::keywords},
    {"keywords", Target::keywords},
    {"keyword", Target::keywords},
    {"tags", Target::keywords},
    {"tag", Target::keywords},
    {"etiquettes", Target::keywords},
    {"imprimeur", Target::printer},
    {"printer", Target::printer},
    {"type", Target::binding},
    {"reliure", Target::binding},
    {"format", Target::binding},
    {"binding", Target::binding},
    {"langue", Target::language},
    {"langues", Target::language},
    {"language", Target::language},
    {"languages", Target::language},
    {"etat", Target::condition},
    {"condition", Target::condition},
    {"isbn", Target::isbn},
    {"isbn13", Target::isbn},
    {"isbn 13", Target::isbn},
    {"isbn10", Target::isbn},
    {"isbn 10", Target::isbn},
    {"ean", Target::isbn},
    {"numero", Target::reference},
    {"reference", Target::reference},
    {"ref", Target::reference},
    {"emplacement", Target::location},
    {"location", Target::location},
    {"localisation", Target::location},
    {"rangement", Target::location},
    {"position", Target::location},
    {"pos1", Target::pos1},
    {"position 1", Target::pos1},
    {"pos2", Target::pos2},
    {"position 2", Target::pos2},
    {"pos3", Target::pos3},
    {"position 3", Target::pos3},
    {"pos4", Target::pos4},
    {"position 4", Target::pos4},
    {"origine", Target::origin},
    {"provenance", Target::origin},
    {"origin", Target::origin},
    {"prix", Target::price},
    {"prix d achat", Target::price},
    {"price", Target::price},
    {"purchase price", Target::price},
    {"anedition", Target::year},
    {"annee", Target::year},
    {"annee d edition", Target::year},
    {"annee de publication", Target::year},
    {"annee de parution", Target::year},
    {"parution", Target::year},
    {"date de publication", Target::year},
    {"year", Target::year},
    {"publication year", Target::year},
    {"year published", Target::year},
    {"nbpage", Target::pages},
    {"pages", Target::pages},
    {"nombre de pages", Target::pages},
    {"nb pages", Target::pages},
    {"nb de pages", Target::pages},
    {"page count", Target::pages},
    {"plutome", Target::volumesFlag},
    {"plusieurs tomes", Target::volumesFlag},
    {"plusauteur", Target::authorsFlag},
    {"plusieurs auteurs", Target::authorsFlag},
    {"lut", Target::readFlag},
    {"lu", Target::readFlag},
    {"deja lu", Target::readFlag},
    {"read", Target::readFlag},
    {"hs", Target::specialIssueFlag},
    {"hors serie", Target::specialIssueFlag},
    {"signet", Target::bookmarkFlag},
    {"cocheutil", Target::userFlag},
    {"jacquette", Target::jacketFlag},
    {"jaquette", Target::jacketFlag},
    {"dust jacket", Target::jacketFlag},
    {"notes", Target::comments},
    {"note", Target::comments},
    {"commentaire", Target::comments},
    {"commentaires", Target::comments},
    {"comments", Target::comments},
    {"comment", Target::comments},
    {"remarques", Target::comments},
    {"resume", Target::summary},
    {"summary", Target::summary},
    {"synopsis", Target::summary},
    {"description", Target::summary},
    {"plot", Target::summary},
    {"quatrieme de couverture", Target::summary},
    {"date", Target::dateOrYear},
    {"acquired", Target::dateAdded},
    {"number of pages", Target::pages},
    {"plot summary", Target::summary},
    {"primary author", Target::authors},
    {"additional authors", Target::authors},
    {"secondary author", Target::authors},
    {"exclusive shelf", Target::readStatus},
    {"bookshelves", Target::keywords},
    // A library's own catalogue: shelf marks, co-authors, collation.
    {"cote", Target::location},
    {"n", Target::reference},
    {"no", Target::reference},
    {"auteur principal", Target::authors},
    {"co auteur", Target::authors},
    {"coauteur", Target::authors},
    {"co auteurs", Target::authors},
    {"coauteurs", Target::authors},
    {"autres auteurs", Target::authors},
    {"n dans la collection", Target::seriesNumber},
    {"no dans la collection", Target::seriesNumber},
    {"pagination", Target::pages},
    {"sujets", Target::subject},
    {"date d achat", Target::dateAdded},
    // A bookshop's catalogue.
    {"ean13", Target::isbn},
    {"ean 13", Target::isbn},
    {"gencod", Target::isbn},
    {"prix ttc", Target::price},
    {"prix public", Target::price},
    {"rayon", Target::location},
    {"date de parution", Target::year},
    {"date d ajout", Target::dateAdded},
    {"ajoute le", Target::dateAdded},
    {"date added", Target::dateAdded},
    {"added", Target::dateAdded},
    {"date d enregistrement", Target::dateAdded},
    {"date enregistrement", Target::dateAdded},
};

// The default fields of a Tellico book collection, by their names in the file.
const Alias tellico[] = {
    {"edition", Target::ignored},
    {"pub year", Target::year},
    {"series num", Target::seriesNumber},
    {"pur price", Target::price},
    {"cdate", Target::dateAdded},
    {"mdate", Target::ignored},
    {"pur date", Target::ignored},
    {"editor", Target::ignored},
    {"translator", Target::ignored},
    {"subtitle", Target::ignored},
    {"signed", Target::ignored},
    {"gift", Target::ignored},
    {"loaned", Target::ignored},
    {"rating", Target::ignored},
    {"cover", Target::ignored},
    {"lccn", Target::ignored},
    {"id", Target::ignored},
    {"url", Target::ignored},
};

// Fields of a GCstar book collection.
const Alias gcstar[] = {
    {"edition", Target::ignored},     {"publication", Target::year},
    {"rank", Target::seriesNumber},   {"acquisition", Target::ignored},
    {"translator", Target::ignored},  {"artwork", Target::ignored},
    {"cover", Target::ignored},       {"backpic", Target::ignored},
    {"web", Target::ignored},         {"rating", Target::ignored},
    {"ratingpress", Target::ignored}, {"favourite", Target::ignored},
    {"borrower", Target::ignored},    {"lenddate", Target::ignored},
    {"history", Target::ignored},     {"bookmark", Target::ignored},
    {"id", Target::ignored},          {"serie", Target::series},
};

using Table = std::unordered_map<std::string, Target>;

template <std::size_t N> Table makeTable(const Alias (&aliases)[N]) {
    Table t;
    for (const Alias& a : aliases)
        t.emplace(a.name, a.target);
    return t;
}

} // namespace

std::optional<Target> targetOfName(std::string_view utf8, Dialect dialect) {
    static const Table commonTable = makeTable(common);
    static const Table tellicoTable = makeTable(tellico);
    static const Table gcstarTable = makeTable(gcstar);
    std::string key = foldName(utf8);
    // "Auteur(s)", "Tome(s)": the plural mark says nothing more.
    if (key.ends_with(" s")) key.resize(key.size() - 2);
    const Table* own = dialect == Dialect::tellico  ? &tellicoTable
                       : dialect == Dialect::gcstar ? &gcstarTable
                                                    : nullptr;
    if (own) {
        if (auto it = own->find(key); it != own->end()) return it->second;
    }
    if (auto it = commonTable.find(key); it != commonTable.end()) return it->second;
    return std::nullopt;
}

std::string targetLabel(Target t) {
    // One name per target, in the targets' order: a target without one does not compile.
    static constexpr std::array labels = {
        "ignorée",
        "titre",
        "auteur",
        "sujet",
        "collection",
        "collection (numéro)",
        "edition",
        "txtutil",
        "imprimeur",
        "type",
        "langue",
        "etat",
        "isbn",
        "référence (non reprise : donnée à la suite)",
        "pos1 à pos4",
        "pos1",
        "pos2",
        "pos3",
        "pos4",
        "origine",
        "prix",
        "anedition",
        "nbpage",
        "plutome",
        "plusauteur",
        "lut",
        "hs",
        "signet",
        "cocheutil",
        "jacquette",
        "notes",
        "resume",
        "date d'enregistrement",
        "lut (lu si l'état de lecture le dit)",
        "anedition (une année) ou date d'enregistrement (une date)",
    };
    static_assert(labels.size() == targetCount);
    return labels[static_cast<std::size_t>(t)];
}

bool keepsSeveral(Target t) {
    return t == Target::authors || t == Target::subject || t == Target::keywords ||
           t == Target::language;
}

} // namespace q7::import
