#include "platform/Command.h"

#include "store/Errors.h"

#include <exception>
#include <new>

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().isLetterOrNumber()) return message + u'.';
    return message;
}

bool runCommand(Dialogs& dialogs, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        dialogs.error(errorBoxText(QStringLiteral("Mémoire insuffisante")));
    } catch (const std::exception& e) {
        dialogs.error(errorBoxText(QString::fromUtf8(e.what())));
    } catch (...) {
        // What a library throws outside the standard's types stops the command, not the
        // program: Qt aborts on an exception that reaches its event loop.
        dialogs.error(errorBoxText(QStringLiteral("Erreur inattendue")));
    }
    return false;
}
