#include "output/RecordText.h"

#include "store/Cp1252.h"
#include "store/TextFile.h"

namespace q7 {

namespace {

// French literals, turned into code-page bytes once.
struct Literals {
    std::string txtHeading = lit("===== Fiche n°");
    std::string ficheHeading = lit("=== Fiche n°");
    std::string anedition = lit("  Année d'edition = ");
    std::string position = lit("Position n°");
    std::string txtResume = lit("= Résumé =");
    std::string ficheResume = lit("== Résumé ==");
};

const Literals& literals() {
    static const Literals l;
    return l;
}

void line(std::string& out) {
    out += crlf;
}

} // namespace

std::string_view flagText(unsigned char byte) {
    return byte == 1 ? "oui" : "non";
}

std::string dateText(const Fiche& f) {
    return std::to_string(f.jour()) + ':' + std::to_string(f.mois()) + ':' +
           std::to_string(f.annee());
}

void appendFieldLines(std::string& out, const Fiche& f, const Settings& captions) {
    const Literals& l = literals();
    auto flag = [&f](Flag k) { return flagText(f.flagByte(k)); };

    out += "Titre     = ";
    out += f.view(Field::titre);
    line(out);
    out += "Auteur    = ";
    out += f.view(Field::auteur);
    line(out);
    out += "Sujet     = ";
    out += f.view(Field::sujet);
    line(out);
    out += "Colection = ";
    out += f.view(Field::collection);
    line(out);
    out += "Edition   = ";
    out += f.view(Field::edition);
    out += l.anedition;
    out += f.view(Field::anedition);
    line(out);
    out += "Imprimeur = ";
    out += f.view(Field::imprimeur);
    out += "  Nombre de pages = ";
    out += f.view(Field::nbpage);
    line(out);
    out += "Type  = ";
    out += f.view(Field::type);
    out += "  Langue = ";
    out += f.view(Field::langue);
    line(out);
    out += "Origine = ";
    out += f.view(Field::origine);
    line(out);
    out += captions.textutilisateur;
    out += " = ";
    out += f.view(Field::txtutil);
    line(out);
    out += "Etat = ";
    out += f.view(Field::etat);
    out += "  Prix = ";
    out += f.view(Field::prix);
    line(out);
    out += "ISBN  = ";
    out += f.view(Field::isbn);
    out += "  Reference = ";
    out += f.view(Field::numero);
    line(out);
    out += "Date d'enregistrement = ";
    out += dateText(f);
    line(out);
    out += "Plusieurs tomes = ";
    out += flag(Flag::plutome);
    out += "  Plusieurs auteurs = ";
    out += flag(Flag::plusauteur);
    out += "  Ouvrage lu = ";
    out += flag(Flag::lut);
    line(out);
    // The hors-série flag alone is padded to five characters.
    out += "Hors serie = ";
    out += flag(Flag::hs);
    out += "  ";
    out += "  ";
    out += captions.cocheutilisateur;
    out += " = ";
    out += flag(Flag::cocheutil);
    out += "  Signet = ";
    out += flag(Flag::signet);
    out += "  Jacquette = ";
    out += flag(Flag::jacquette);
    line(out);
    const Field positions[] = {Field::pos1, Field::pos2, Field::pos3, Field::pos4};
    for (int i = 0; i < 4; ++i) {
        out += l.position;
        out += char('1' + i);
        out += " = ";
        out += f.view(positions[i]);
        line(out);
    }
}

void appendTxtBlock(std::string& out, const Fiche& f, int number, const Settings& captions) {
    const Literals& l = literals();
    out += l.txtHeading;
    out += std::to_string(number);
    out += " =====";
    line(out);
    appendFieldLines(out, f, captions);
    out += "= Notes =";
    line(out);
    out += f.view(Field::notes);
    line(out);
    out += l.txtResume;
    line(out);
    out += f.view(Field::resume);
    line(out);
    out += ' ';
    line(out);
}

std::string recordText(const Fiche& f, int number, const Settings& captions) {
    const Literals& l = literals();
    std::string out;
    out += l.ficheHeading;
    out += std::to_string(number);
    out += " ===";
    line(out);
    appendFieldLines(out, f, captions);
    out += "== Notes ==";
    line(out);
    out += f.view(Field::notes);
    line(out);
    out += l.ficheResume;
    line(out);
    out += f.view(Field::resume);
    line(out);
    return out;
}

void writeRecordTextFile(const Folder& folder, const Fiche& f, int number,
                         const Settings& captions) {
    replaceFile(folder, recordTextFileName, recordText(f, number, captions));
}

} // namespace q7
