#pragma once
// The settings store on QSettings: INI file wutfn.ini in the user's config folder
// (registry key HKEY_CURRENT_USER\wutfn on Windows), section Lirabel3.
#include "platform/SettingsBackend.h"

#include <QString>

#include <memory>

class QSettings;

class QtSettingsBackend : public q7::SettingsBackend {
public:
    QtSettingsBackend();
    // A given INI file, for tests.
    explicit QtSettingsBackend(const QString& iniPath);
    ~QtSettingsBackend() override;

    void openKey() override;
    std::optional<std::string> read(const std::string& key) override;
    void write(const std::string& key, const std::string& value) override;

private:
    std::unique_ptr<QSettings> settings_;
};
