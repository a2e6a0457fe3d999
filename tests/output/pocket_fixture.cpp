// The catalogue the pocket page's browser test reads: a few books with accents, both
// forms of ISBN, one author written three ways, a loan, hostile texts; and the program's
// fold of every character a catalogue can hold, for the page's fold to agree with.
// pocket_fixture DIR
#include "FicheBuilder.h"
#include "store/Cp1252.h"
#include "store/Folding.h"

#include <cstdio>
#include <fstream>

using q7::Field;
using q7::Flag;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("pocket_fixture DIR\n", stderr);
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<q7::Fiche> books = {
        FicheBuilder()
            .numero(1)
            .set(Field::titre, "L'Œuvre — « 5 € »")
            .set(Field::auteur, "ÉMILE ZOLA")
            .set(Field::collection, "Les Rougon-Macquart")
            .set(Field::edition, "Charpentier")
            .set(Field::anedition, "1886")
            .set(Field::isbn, "2070360245")
            .set(Field::pos1, "Salon")
            .set(Field::pos2, "Étagère 3"),
        FicheBuilder()
            .numero(2)
            .set(Field::titre, "Germinal")
            .set(Field::auteur, "Émile Zola")
            .set(Field::collection, "Les Rougon-Macquart")
            .set(Field::isbn, "9782253004226")
            .set(Field::pos1, "Salon")
            .set(Field::prix, "7,5")
            .set(Field::notes, "Première édition de poche.\r\nCouverture abîmée.")
            .set(Field::resume, "La grève des mineurs de Montsou.")
            .flag(Flag::lut)
            .date(5, 3, 2004),
        FicheBuilder()
            .numero(3)
            .set(Field::titre, "Nana")
            .set(Field::auteur, "emile zola")
            .set(Field::isbn, "2-07-036822-X")
            .set(Field::pos1, "Bureau")
            .set(Field::prix, "0") // as an empty price and page count are saved
            .set(Field::nbpage, "0"),
        FicheBuilder()
            .numero(4)
            .set(Field::titre, "Ørsted et l'électromagnétisme")
            .set(Field::auteur, "Hans Christian Ørsted"),
        FicheBuilder().numero(5).set(Field::titre, "Die Straße").set(Field::auteur, "Kästner"),
        FicheBuilder().numero(6).set(Field::titre, "Fables").set(Field::auteur, "Æsop"),
        // Texts a page must show as they are, running nothing.
        FicheBuilder()
            .numero(7)
            .set(Field::titre, "<img src=x onerror=\"window.ran='img'\">")
            .set(Field::auteur, "</script><script>window.ran=1</script>")
            .set(Field::collection, "<!--")
            .set(Field::notes, "<svg onload=\"window.ran='svg'\"></svg>\\u003c & &amp;")
            .set(Field::pos1, "\"'><b>gras</b>"),
    };
    writeCatalogue(dir, books);
    std::ofstream(dir + "/Q7prets.txt", std::ios::binary)
        << q7::lit("Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote\r\n"
                   "2\tGerminal\tMarie Dupont\t3/11/2025\t\t\r\n"
                   "3\tNana\tPaul\t1/1/2024\t2/2/2024\t\r\n");

    // Every character of the code page (NUL aside), as UTF-8, with the program's fold.
    std::string folds = "[";
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, char(b));
        const auto json = [](const std::string& utf8) {
            std::string out = "\"";
            for (unsigned char c : utf8) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\u%04x", c);
                out +=
                    c < 0x20 || c == '"' || c == '\\' ? std::string(hex) : std::string(1, char(c));
            }
            return out + "\"";
        };
        if (b > 1) folds += ",\n";
        folds += "[" + json(q7::cp1252ToUtf8(one)) + "," + json(q7::foldedCp1252(one)) + "]";
    }
    std::ofstream(dir + "/folds.json", std::ios::binary) << folds << "]\n";
    return 0;
}
