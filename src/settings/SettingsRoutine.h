#pragma once
// The settings routine: "lec" reads the store and shows the values in the windows,
// any other word takes them from the options window, writes and shows them.
#include "settings/Settings.h"

#include <QString>

#include <functional>
#include <vector>

// A window that shows some of the settings. `fromRead` is true for "lec".
class SettingsView {
public:
    virtual ~SettingsView() = default;
    virtual void showSettings(const q7::Settings& values, bool fromRead) = 0;
};

class SettingsRoutine {
public:
    SettingsRoutine(q7::Settings& values, q7::SettingsBackend& store)
        : values_(values), store_(store) {}

    void addView(SettingsView* view) {
        views_.push_back(
            [view](const q7::Settings& v, bool fromRead) { view->showSettings(v, fromRead); });
    }
    // Adding a window that shows settings is one line.
    void addView(std::function<void(const q7::Settings&, bool)> show) {
        views_.push_back(std::move(show));
    }
    // Where "ecr" takes the values (the options window).
    void setSource(std::function<q7::Settings()> source) { source_ = std::move(source); }

    // Throws q7::Error on a store failure (nothing is published then).
    void run(const QString& command);

private:
    void publish(bool fromRead);
    q7::Settings& values_;
    q7::SettingsBackend& store_;
    std::vector<std::function<void(const q7::Settings&, bool)>> views_;
    std::function<q7::Settings()> source_;
};
