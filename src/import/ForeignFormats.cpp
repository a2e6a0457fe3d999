#include "import/ForeignFormats.h"

#include "import/Values.h"
#include "import/Zip.h"

namespace q7::import {

namespace {
constexpr const char* exportAdvice = "exportez-le en CSV depuis ce programme, puis importez ce "
                                     "fichier CSV. Rien n'est importé.";
} // namespace

std::optional<std::string> foreignFormat(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 4096);
    if (isZip(bytes)) {
        if (head.find("opendocument.spreadsheet") != std::string_view::npos)
            return "Ce fichier est un classeur LibreOffice (.ods) : enregistrez-le au format "
                   "« Texte CSV » (Fichier → Enregistrer sous), puis importez ce fichier CSV. "
                   "Rien n'est importé.";
        if (head.find("xl/") != std::string_view::npos ||
            head.find("[Content_Types].xml") != std::string_view::npos)
            return "Ce fichier est un classeur Excel (.xlsx) : enregistrez-le au format CSV, "
                   "puis importez ce fichier CSV. Rien n'est importé.";
        if (bytes.find("tellico.xml") == std::string_view::npos)
            return std::string("Ce fichier est une archive zip qui ne vient pas de Tellico : ") +
                   "si elle vient d'un autre programme de catalogue, " + exportAdvice;
        return std::nullopt;
    }
    if (head.starts_with("\xD0\xCF\x11\xE0"))
        return "Ce fichier est un classeur Excel ancien (.xls) : enregistrez-le au format CSV, "
               "puis importez ce fichier CSV. Rien n'est importé.";
    std::string_view t = trimmed(head);
    if (t.starts_with("\xEF\xBB\xBF")) t = trimmed(t.substr(3));
    if (t.starts_with("<")) {
        std::string root;
        for (std::size_t at = 0; (at = t.find('<', at)) != std::string_view::npos; ++at) {
            const char next = at + 1 < t.size() ? t[at + 1] : '\0';
            if (next == '?' || next == '!') continue;
            std::size_t end = at + 1;
            while (end < t.size() && t[end] != ' ' && t[end] != '>' && t[end] != '/' &&
                   t[end] != '\n' && t[end] != '\r' && t[end] != '\t' && end - at < 40)
                ++end;
            root = std::string(t.substr(at + 1, end - at - 1));
            break;
        }
        return "Ce fichier est un fichier XML d'un autre programme" +
               (root.empty() ? std::string() : " (élément racine <" + root + ">)") +
               " ; lirabel3-import lit les fichiers XML de Tellico et de GCstar. S'il vient "
               "d'un autre programme de catalogue, " +
               exportAdvice;
    }
    if (t.starts_with("---") || t.starts_with("%YAML"))
        return std::string("Ce fichier est un fichier YAML : s'il vient d'un programme de "
                           "catalogue, ") +
               exportAdvice;
    if (t.starts_with("{") || (t.starts_with("[") && trimmed(t.substr(1)).starts_with("{")))
        return std::string("Ce fichier est un fichier JSON : s'il vient d'un programme de "
                           "catalogue, ") +
               exportAdvice;
    if (head.find('\0') != std::string_view::npos && !head.starts_with("\xFF\xFE") &&
        !head.starts_with("\xFE\xFF"))
        return "Ce fichier n'est pas un texte (il contient des octets nuls) : ce n'est ni un "
               "CSV, ni un fichier Tellico ou GCstar. Rien n'est importé.";
    return std::nullopt;
}

} // namespace q7::import
