#pragma once
// Every command runs inside this wrapper: a failure stops the command and shows the
// error box; nothing crosses the event loop. Windows wrap their handlers once, where
// they connect them: connect(button, &QPushButton::clicked, this, guarded(dialogs, ...)).
#include "platform/Dialogs.h"

#include <functional>
#include <type_traits>
#include <utility>

// The runtime's rule: a message ending in a letter or digit gets a full stop.
QString errorBoxText(const QString& message);

// Returns false when the command failed, whatever it threw.
bool runCommand(Dialogs& dialogs, const std::function<void()>& command);

// `handler` with the signal's arguments, or none when it does not need them (a button's
// `checked`). A function of its own: clang would check a branch left out inside a lambda.
template <class Handler, class... Args> void callWith(const Handler& handler, const Args&... args) {
    if constexpr (std::is_invocable_v<const Handler&, const Args&...>)
        std::invoke(handler, args...);
    else
        std::invoke(handler);
}

// A slot running `handler` as a command.
template <class Handler> auto guarded(Dialogs& dialogs, Handler handler) {
    return [&dialogs, handler = std::move(handler)](const auto&... args) {
        runCommand(dialogs, [&] { callWith(handler, args...); });
    };
}

// The same for a member handler of `object`.
template <class Object, class... Args>
auto guarded(Dialogs& dialogs, Object* object, void (Object::*handler)(Args...)) {
    return guarded(dialogs, [object, handler](Args... args) { (object->*handler)(args...); });
}
