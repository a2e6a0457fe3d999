#include "Catalogue.h"

#include "store/Cp1252.h"
#include "store/Fiche.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace bench {

namespace {

const std::vector<std::string> firstNames = {
    "Émile",  "Victor",  "George",  "Alexandre", "Marguerite", "Jules",   "Albert",  "Marcel",
    "Honoré", "Gustave", "Colette", "Simone",    "Françoise",  "Romain",  "Boris",   "Hélène",
    "Anaïs",  "Jean",    "Louis",   "Céline",    "Annie",      "Patrick", "Amélie",  "Yasmina",
    "Andrée", "Joël",    "Maëlle",  "Noël",      "Zoé",        "Irène",   "Édouard", "Raymond",
};
const std::vector<std::string> lastNames = {
    "Zola",    "Hugo",      "Sand",     "Dumas",    "Yourcenar", "Verne",  "Camus",
    "Proust",  "Balzac",    "Flaubert", "Ernaux",   "Modiano",   "Sagan",  "Gary",
    "Vian",    "Duras",     "Nothomb",  "Giono",    "Pagnol",    "Céline", "Queneau",
    "Perec",   "Le Clézio", "Bâ",       "Kundera",  "Süskind",   "Æsop",   "Œhlenschläger",
    "Wharton", "Xénakis",   "Ionesco",  "Jaccottet"};
// Every letter opens some titles; a few titles open with something else.
const std::vector<std::string> openings = {
    "Avant", "Bonjour", "Chemins",      "Demain",  "Espoir",   "Fleurs", "Guerre", "Histoire",
    "Îles",  "Jardin",  "Kaléidoscope", "Lumière", "Mémoires", "Nuit",   "Ombre",  "Paris",
    "Quai",  "Retour",  "Silence",      "Terre",   "Univers",  "Voyage", "Winter", "Xylophone",
    "Yeux",  "Zèbre",   "le",           "la",      "un",       "une",    "des",    "au"};
const std::vector<std::string> otherOpenings = {
    "1984",    "Été",          "À rebours", "Œuvres",      "« Les »",
    " espace", "(Anthologie)", "",          "...et après", "2 ou 3 choses"};
const std::vector<std::string> words = {
    "de",     "la",   "mer",    "été",      "hiver",  "forêt",   "château", "cœur",
    "amour",  "mort", "ville",  "lumière",  "enfant", "fenêtre", "rivière", "chemin",
    "soleil", "rêve", "ombres", "dernière", "noël",   "garçon",  "théâtre", "âme",
    "fidèle", "sœur", "vieux",  "jours",    "misère", "révolte", "nuit",    "écume"};
const std::vector<std::string> subjects = {
    "Roman",     "Poésie",         "Théâtre",  "Histoire",        "Biographie",
    "Essai",     "Policier",       "Jeunesse", "Science-fiction", "Philosophie",
    "Voyage",    "Cuisine",        "Arts",     "Sciences",        "Bande dessinée",
    "Nouvelles", "Correspondance", "Religion", "Géographie",      "Économie"};
const std::vector<std::string> series = {
    "Folio", "Le Livre de Poche", "Pléiade",     "Points",  "J'ai lu",       "GF",     "Babel",
    "10/18", "Que sais-je ?",     "Découvertes", "Blanche", "Minuit double", "Pocket", "Librio"};
const std::vector<std::string> publishers = {
    "Gallimard", "Flammarion",     "Seuil",        "Grasset", "Minuit",
    "Actes Sud", "Fayard",         "Albin Michel", "Stock",   "P.O.L",
    "Hachette",  "Robert Laffont", "Julliard",     "Denoël",  "Éditions de l'Olivier"};
const std::vector<std::string> printers = {
    "Firmin-Didot", "Maury", "CPI Bussière", "Normandie Roto", "Aubin", "Darantière", "Floch"};
const std::vector<std::string> types = {"Broché", "Poche", "Relié", "Cartonné", "Numérique"};
const std::vector<std::string> languages = {"Français", "Anglais",  "Allemand",
                                            "Italien",  "Espagnol", "Latin"};
const std::vector<std::string> states = {"Neuf", "Très bon", "Bon", "Moyen", "Abîmé"};
const std::vector<std::string> keywords = {"cadeau",      "brocante", "héritage", "librairie",
                                           "bouquiniste", "échange",  "prêt"};
const std::vector<std::string> userValues = {"à relire", "prêté", "dédicacé", "rare"};
const std::vector<std::string> shelves = {"Salon", "Bureau", "Chambre", "Grenier", "Cave"};

std::vector<std::string> authorNames() {
    std::vector<std::string> out;
    for (const auto& last : lastNames)
        for (const auto& first : firstNames)
            out.push_back(first + " " + last);
    return out; // 32 × 32 = 1024 names; the catalogue draws from a few hundred of them
}

// A Zipf-like draw: a few values are frequent, most are rare.
std::size_t skewed(std::mt19937& rnd, std::size_t n) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double x = u(rnd);
    return std::min(n - 1, static_cast<std::size_t>(static_cast<double>(n) * x * x * x));
}

template <typename T> const T& pick(std::mt19937& rnd, const std::vector<T>& v) {
    return v[rnd() % v.size()];
}

std::string sentence(std::mt19937& rnd, std::size_t length) {
    std::string s;
    while (s.size() < length)
        s += (s.empty() ? "" : " ") + pick(rnd, words);
    return s;
}

void writeFile(const std::string& path, const std::string& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) std::abort();
    std::fclose(out);
}

} // namespace

void generateCatalogue(const std::string& path, int records) {
    const std::vector<std::string> authors = authorNames();
    std::mt19937 rnd(20240611u);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    for (int i = 0; i < records; ++i) {
        q7::Fiche f;
        const auto set = [&f](q7::Field field, const std::string& utf8) {
            f.setText(field, q7::utf8ToCp1252(utf8));
        };
        const std::string opening =
            rnd() % 40 == 0 ? pick(rnd, otherOpenings) : pick(rnd, openings);
        set(q7::Field::titre, opening + " " + sentence(rnd, 5 + rnd() % 35));
        // About 500 authors: an author of many books is the first of the list.
        set(q7::Field::auteur, i % 9 == 0 ? frequentAuthor : authors[skewed(rnd, 500)]);
        set(q7::Field::sujet, subjects[skewed(rnd, subjects.size())]);
        set(q7::Field::collection, series[skewed(rnd, series.size())]);
        set(q7::Field::edition, pick(rnd, publishers));
        if (rnd() % 4 == 0) set(q7::Field::txtutil, pick(rnd, userValues));
        set(q7::Field::imprimeur, pick(rnd, printers));
        set(q7::Field::type, pick(rnd, types));
        set(q7::Field::langue, languages[skewed(rnd, languages.size())]);
        set(q7::Field::etat, pick(rnd, states));
        set(q7::Field::isbn, std::to_string(2070000000 + rnd() % 99999999));
        set(q7::Field::numero, std::to_string(i + 1));
        set(q7::Field::pos1, pick(rnd, shelves));
        set(q7::Field::pos2, "Étagère " + std::to_string(1 + rnd() % 12));
        if (rnd() % 3 == 0) set(q7::Field::origine, pick(rnd, keywords));
        set(q7::Field::prix, std::to_string(rnd() % 40) + (rnd() % 2 ? ",5" : ""));
        set(q7::Field::anedition, std::to_string(1850 + rnd() % 175));
        set(q7::Field::nbpage, std::to_string(48 + rnd() % 900));
        // Notes of every length, from none to full.
        const std::size_t noteLength = rnd() % 5 == 0 ? 0 : rnd() % 256;
        if (noteLength) set(q7::Field::notes, sentence(rnd, noteLength));
        if (rnd() % 3 == 0) set(q7::Field::resume, sentence(rnd, rnd() % 256));
        f.setFlag(q7::Flag::lut, rnd() % 2);
        f.setFlag(q7::Flag::jacquette, rnd() % 5 == 0);
        f.setJour(std::uint8_t(1 + rnd() % 28));
        f.setMois(std::uint8_t(1 + rnd() % 12));
        f.setAnnee(1995 + int(rnd() % 31));
        if (std::fwrite(f.bytes.data(), 1, f.bytes.size(), out) != f.bytes.size()) std::abort();
    }
    std::fclose(out);
}

void writeCollectionLists(const std::string& dir) {
    const auto write = [&dir](const char* name, const std::vector<std::string>& values) {
        std::string bytes;
        for (const auto& v : values)
            bytes += q7::utf8ToCp1252(v) + "\r\n";
        writeFile(dir + "/" + name, bytes);
    };
    std::vector<std::string> authors = authorNames();
    authors.resize(500); // the frequent author is among them
    std::vector<std::string> titles;
    std::mt19937 rnd(7);
    for (int i = 0; i < 300; ++i)
        titles.push_back(pick(rnd, openings) + " " + sentence(rnd, 10));
    std::vector<std::string> positions;
    for (int i = 1; i <= 12; ++i)
        positions.push_back("Étagère " + std::to_string(i));
    write("Q7titre.lst", titles);
    write("Q7auteur.lst", authors);
    write("Q7sujet.lst", subjects);
    write("Q7collection.lst", series);
    write("Q7edition.lst", publishers);
    write("Q7imprimeur.lst", printers);
    write("Q7type.lst", types);
    write("Q7langue.lst", languages);
    write("Q7origine.lst", keywords);
    write("Q7utilisat.lst", userValues);
    write("Q7etat.lst", states);
    write("Q7pos1.lst", shelves);
    write("Q7pos2.lst", positions);
    write("Q7pos3.lst", {});
    write("Q7pos4.lst", {});
}

} // namespace bench
