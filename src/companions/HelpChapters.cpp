#include "companions/HelpChapters.h"

#include "companions/LineBreaks.h"
#include "store/Cp1252.h"
#include "store/TextFile.h"

namespace q7 {

const std::vector<HelpChapter>& helpChapters() {
    static const std::vector<HelpChapter> table = [] {
        const struct {
            const char* caption;
            std::size_t start;
            std::size_t length;
        } rows[] = {
            {"Toute l'aide", 0, std::string::npos},
            {"Rôle de Lirabel", 0, 563},
            {"Nouvelle fiche", 565, 697},
            {"Mettre à vide", 1262, 228},
            {"Menu principal", 1492, 197},
            {"Recherche par liste", 1691, 910},
            {"Recherche par critère", 2604, 1163},
            {"Recherche par mots...", 3771, 1057},
            {"Modifier une fiche", 4828, 811},
            {"Effacer une fiche", 5641, 403},
            {"Gestion des listes", 6046, 1758},
            {"Gestion du ficher Q7.dat", 7806, 1012},
            {"Impression", 8818, 518},
            {"Exportations", 9338, 937},
            {"Etiquettes", 10277, 761},
            {"Référence/Control/Anciene Référence", 11042, 1275},
            {"Options", 12321, 1706},
            {"Informations", 14031, 497},
            {"Les fichiers de Lirabel 3", 14530, 1824},
            {"Divers", 16354, 1348},
            {"De Lirabel", 17704, 104},
        };
        std::vector<HelpChapter> t;
        for (const auto& r : rows)
            t.push_back({lit(r.caption), r.start, r.length});
        return t;
    }();
    return table;
}

const HelpChapter* findHelpChapter(std::string_view caption) {
    for (const HelpChapter& c : helpChapters())
        if (c.caption == caption) return &c;
    return nullptr;
}

std::string chapterText(std::string_view text, const HelpChapter& chapter) {
    if (chapter.start >= text.size()) return {};
    return std::string(text.substr(chapter.start, chapter.length));
}

std::optional<Folder> helpFolder(const Folder& data, const std::string& installedDir) {
    if (data.exists(helpFileName)) return data;
    if (installedDir.empty()) return std::nullopt;
    Folder installed(data.fs(), installedDir);
    if (installed.exists(helpFileName)) return installed;
    return std::nullopt;
}

std::string readHelpText(const Folder& folder) {
    return withCrLf(readWholeFile(folder, helpFileName));
}

} // namespace q7
