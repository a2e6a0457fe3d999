#pragma once
// Every command runs inside this wrapper: a failure stops the command and shows the
// error box; nothing crosses the event loop.
#include "platform/Dialogs.h"

#include <functional>

// The runtime's rule: a message ending in a letter or digit gets a full stop.
QString errorBoxText(const QString& message);

// Returns false when the command failed.
bool runCommand(Dialogs& dialogs, const std::function<void()>& command);
