#include "settings/SettingsRoutine.h"

void SettingsRoutine::run(const QString& command) {
    if (command == QLatin1String("lec")) {
        q7::readSettings(store_, values_);
        publish(true);
        return;
    }
    const q7::Settings typed = source_ ? source_() : values_;
    q7::writeSettings(store_, values_, typed);
    publish(false);
}

void SettingsRoutine::publish(bool fromRead) {
    for (const auto& show : views_)
        show(values_, fromRead);
}
