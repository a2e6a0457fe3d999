#include "settings/Settings.h"

#include "store/Errors.h"
#include "store/Numbers.h"

namespace q7 {

namespace {

std::string cut(const std::string& text) {
    return text.substr(0, shortTextLimit);
}

void readFlag(SettingsBackend& store, const char* key, bool& value) {
    const auto text = store.read(key);
    if (!text) {
        value = true;
        return;
    }
    try {
        value = toInt32(*text) != 0;
    } catch (const ConversionError&) {
        value = true; // not an integer: as if missing
    }
}

void readText(SettingsBackend& store, const char* key, std::string& value,
              const std::string& fallback, bool shortText) {
    const auto text = store.read(key);
    const std::string v = text ? *text : fallback;
    value = shortText ? cut(v) : v;
}

} // namespace

void readSettings(SettingsBackend& store, Settings& values) {
    const Settings defaults;
    store.openKey();
    readFlag(store, "confirmesup", values.confirmesup);
    readFlag(store, "confirmemod", values.confirmemod);
    readText(store, "devise", values.devise, defaults.devise, true);
    readText(store, "textutilisateur", values.textutilisateur, defaults.textutilisateur, true);
    readText(store, "cocheutilisateur", values.cocheutilisateur, defaults.cocheutilisateur, true);
    readText(store, "appext_manip", values.appext_manip, defaults.appext_manip, false);
    readText(store, "appext_gest", values.appext_gest, defaults.appext_gest, false);
}

void writeSettings(SettingsBackend& store, Settings& values, const Settings& typed) {
    values = typed;
    values.devise = cut(typed.devise);
    values.textutilisateur = cut(typed.textutilisateur);
    values.cocheutilisateur = cut(typed.cocheutilisateur);
    store.openKey();
    store.write("confirmesup", values.confirmesup ? "1" : "0");
    store.write("confirmemod", values.confirmemod ? "1" : "0");
    store.write("devise", values.devise);
    store.write("textutilisateur", values.textutilisateur);
    store.write("cocheutilisateur", values.cocheutilisateur);
    store.write("appext_manip", values.appext_manip);
    store.write("appext_gest", values.appext_gest);
}

std::string fileNamePart(const std::string& path) {
    const auto pos = path.find_last_of("\\:/");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

} // namespace q7
