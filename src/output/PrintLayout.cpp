#include "output/PrintLayout.h"

#include "store/Cp1252.h"

namespace q7 {

namespace {

// Ten points keeps the page's 60-unit line pitch readable on A4.
constexpr int recordPoints = 10;
// The reference must be readable on a spine. The 52-hyphen border is then about
// three times its column's width, so it is cut to the column (see labelSheet).
constexpr int labelPoints = 12;
// The canvas's default face at 18 points: the figures are read across a desk.
constexpr int statisticsPoints = 18;

std::string_view yesNo(bool on) {
    return on ? "oui" : "non";
}

} // namespace

PrintLayout recordPrintout(const RecordScreen& s, int number, const Settings& captions) {
    PrintLayout page{recordPoints, false, {}};
    auto draw = [&page](int y, int x, std::string text, Ink ink = Ink::Black) {
        page.calls.push_back({x, y, ink, std::move(text)});
    };
    draw(160, 100, lit("=== Fiche n°") + std::to_string(number) + " ===", Ink::Red);
    draw(220, 100, "Titre  =" + s.titre);
    draw(280, 100, "Auteur =" + s.auteur);
    draw(340, 100, "Sujet  =" + s.sujet);
    draw(400, 100, "Collection =" + s.collection);
    draw(460, 100, "Edition =" + s.edition);
    draw(520, 100, "Imprimeur =" + s.imprimeur);
    draw(580, 100, "Type =" + s.type + "  Langue =" + s.langue);
    draw(640, 100, "Origine =" + s.origine);
    draw(700, 100, captions.textutilisateur + " =" + s.utilisateur);
    draw(760, 100, "Etat =" + s.etat + "  Prix =" + s.prix);
    draw(820, 100, "ISBN =" + s.isbn + lit("  Réference =") + s.numero, Ink::Red);
    draw(880, 100, "Date d'enregistrement =" + s.jour + ":" + s.mois + ":" + s.annee);
    draw(940, 100, lit("Année d'édition =") + s.anedition + "  Nombre de pages =" + s.nbpage);
    draw(1000, 100, "Position 1 =" + s.pos1);
    draw(1060, 100, "Position 2 =" + s.pos2);
    draw(1120, 100, "Position 3 =" + s.pos3);
    draw(1180, 100, "Position 4 =" + s.pos4);
    draw(1240, 100, "Plusieurs tomes =" + std::string(yesNo(s.plutome)));
    draw(1240, 600, "  Plusieurs auteurs =" + std::string(yesNo(s.plusauteur)));
    draw(1240, 1200, "  Lut =" + std::string(yesNo(s.lut)));
    draw(1300, 100, "Hors serie =" + std::string(yesNo(s.hs)));
    draw(1300, 500,
         "  " + captions.cocheutilisateur + " =" + std::string(yesNo(s.utilisateurCoche)));
    draw(1360, 100, "Signet =" + std::string(yesNo(s.signet)));
    draw(1360, 500, "  Jacquette = " + std::string(yesNo(s.jacquette)));
    draw(1420, 100, "== Notes ==" + s.notes);
    draw(1480, 100, lit("== Resumé ==") + s.resume);
    return page;
}

PrintLayout statisticsPrintout(const StatisticsScreen& s) {
    const std::string lines[] = {
        "Nombre de fiche = " + s.nbfiche,
        "Nombre de total de pages = " + s.nbpage,
        "Moyene pages/livre = " + s.moyene,
        "Nombre de livre lus = " + s.lu,
        "Nombre de pages lus = " + s.nbpagelu,
        "Total des prix = " + s.prix + ' ' + s.devise,
        "Moyene livres/prix = " + s.moyenprix + ' ' + s.devise,
        "Taile di ficher Q7.dat en KO = " + s.fic,
        lit("Répertiore detravail = ") + s.rep,
    };
    PrintLayout page{statisticsPoints, false, {}};
    int y = 200;
    for (const std::string& line : lines) {
        page.calls.push_back({140, y, Ink::Black, line});
        y += 100;
    }
    return page;
}

std::string labelText(const std::string& entry) {
    std::string text = entry;
    if (text.size() < 8) text.resize(8, ' ');
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

PrintLayout labelSheet(const std::vector<std::string>& entries) {
    static const std::string border(52, '-');
    // Each label keeps its own top and bottom rule; the reference is never cut.
    constexpr int rule = labelPitchX - labelGutter;
    PrintLayout sheet{labelPoints, true, {}};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const int x = 140 + labelPitchX * static_cast<int>(k % labelColumns);
        const int y = 200 + labelPitchY * static_cast<int>(k / labelColumns);
        sheet.calls.push_back({x, y, Ink::Black, border, rule});
        sheet.calls.push_back({x, y + 90, Ink::Black, "| " + labelText(entries[k]) + " |"});
        sheet.calls.push_back({x, y + labelPitchY, Ink::Black, border, rule});
    }
    return sheet;
}

} // namespace q7
