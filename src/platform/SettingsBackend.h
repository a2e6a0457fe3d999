#pragma once
// The per-user settings store: key wutfn, section Lirabel3, one text value per setting
// (QSettings in the program, a map in the tests). A key with a slash ("Prets/delai")
// names a section of its own: newer features never mix with the seven settings.
#include <optional>
#include <string>

namespace q7 {

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // Opens the key, creating it when missing.
    virtual void openKey() = 0;
    // The stored text, or nothing when missing; throws SettingsError naming the key.
    virtual std::optional<std::string> read(const std::string& key) = 0;
    // Writes at once; throws SettingsError naming the key.
    virtual void write(const std::string& key, const std::string& value) = 0;
};

} // namespace q7
