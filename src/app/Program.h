#pragma once
// The program: its state, its settings routine and the fourteen windows, created in
// order at start-up, the record window first.
#include "app/Windows.h"
#include "platform/Services.h"
#include "record/AppState.h"
#include "settings/SettingsRoutine.h"
#include "widgets/ButtonKeys.h"

#include <memory>

class Tformprin;

class Program {
public:
    explicit Program(Services& services);
    ~Program();

    Tformprin& prin() const { return *prin_; }
    AppState& state() { return state_; }
    Windows& windows() { return windows_; }
    SettingsRoutine& settings() { return settings_; }

private:
    ButtonKeysAtOnce buttonKeys_;
    AppState state_;
    SettingsRoutine settings_;
    Windows windows_;
    std::unique_ptr<Tformprin> prin_;
};
