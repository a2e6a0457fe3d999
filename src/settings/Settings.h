#pragma once
// The seven user settings and the rules of reading and writing them. Texts are
// Windows-1252 bytes like everything else in the core.
#include "platform/SettingsBackend.h"
#include "store/Cp1252.h"

#include <optional>
#include <string>

namespace q7 {

struct Settings {
    bool confirmesup = true;
    bool confirmemod = true;
    std::string devise = lit("Euros");
    std::string textutilisateur = lit("Mots clés");
    std::string cocheutilisateur = lit("Annoté");
    std::string appext_manip = "C:\\WINDOWS\\CALC.EXE";
    std::string appext_gest = "C:\\Program Files\\Accessoires\\WORDPAD.EXE";
};

constexpr std::size_t shortTextLimit = 10;

// "lec": fills `values` in the store's order; on a failure the values read so far stay.
void readSettings(SettingsBackend& store, Settings& values);
// "ecr": `values` takes what the options window shows (short texts cut), then each is
// written in order; a failure stops at that key.
void writeSettings(SettingsBackend& store, Settings& values, const Settings& typed);

// The text after the last "\" or ":" (or "/", this platform's separator).
std::string fileNamePart(const std::string& path);

} // namespace q7
