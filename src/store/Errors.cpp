#include "store/Errors.h"

#include "store/Cp1252.h"

#include <algorithm>
#include <cerrno>

namespace q7 {

std::string ioMessage(int code) {
    switch (code) {
    case ENOENT: return "Fichier introuvable";
    case ENOTDIR: return "Chemin d'accès non valide";
    case EACCES:
    case EPERM:
    case EROFS: return "Accès refusé";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "Disque plein";
    case EAGAIN: return "Violation de partage";
    case IoError::readPastEnd: return "Lecture au-delà de la fin de fichier";
    default: return "Erreur E/S " + std::to_string(code);
    }
}

IoError::IoError(int code) : Error(ioMessage(code)), code_(code) {}

static std::string conversionMessage(ConversionError::Kind kind, const std::string& text) {
    const char* tail = kind == ConversionError::Kind::Integer
                           ? "' n'est pas une valeur entière correcte"
                           : "' n'est pas une valeur en virgule flottante correcte";
    // A NUL would end the message where it stands (a damaged record's page count).
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), '\0', '?');
    return "'" + cp1252ToUtf8(shown) + tail;
}

ConversionError::ConversionError(Kind kind, const std::string& text)
    : Error(conversionMessage(kind, text)) {}

} // namespace q7
