// The wrapper of every command: whatever a command throws ends in the error box, with
// the runtime's full stop, and never reaches the event loop.
#include "FakeServices.h"
#include "platform/Command.h"
#include "store/Errors.h"

#include <QTest>

#include <cerrno>

#include <functional>
#include <new>
#include <stdexcept>

Q_DECLARE_METATYPE(std::function<void()>)

class TestCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failuresEndInTheErrorBox_data() {
        QTest::addColumn<std::function<void()>>("command");
        QTest::addColumn<QStringList>("log");
        auto row = [](const char* name, std::function<void()> command, QStringList log) {
            QTest::newRow(name) << std::move(command) << std::move(log);
        };
        row("done", [] {}, {});
        row("I/O error", [] { throw q7::IoError(ENOSPC); }, {"error:Disque plein."});
        row("conversion error",
            [] { throw q7::ConversionError(q7::ConversionError::Kind::Integer, "1,2,3"); },
            {"error:'1,2,3' n'est pas une valeur entière correcte."});
        row("a message ending in a sign", [] { throw std::runtime_error("Le fichier est vide !"); },
            {"error:Le fichier est vide !"});
        row("memory", [] { throw std::bad_alloc(); }, {"error:Mémoire insuffisante."});
        row("not a standard exception", [] { throw 42; }, {"error:Erreur inattendue."});
    }
    void failuresEndInTheErrorBox() {
        QFETCH(std::function<void()>, command);
        QFETCH(QStringList, log);
        FakeDialogs dialogs;
        QCOMPARE(runCommand(dialogs, command), log.isEmpty());
        QCOMPARE(dialogs.log, log);
    }

    // A slot made by guarded() runs its handler with the signal's arguments or none.
    void guardedSlotsTakeWhatTheyNeed() {
        FakeDialogs dialogs;
        int seen = 0;
        guarded(dialogs, [&](int v) { seen = v; })(7);
        QCOMPARE(seen, 7);
        guarded(dialogs, [&] { seen = -1; })(true);
        QCOMPARE(seen, -1);
        guarded(dialogs, [](bool) { throw 1; })(false);
        QCOMPARE(dialogs.log, QStringList{"error:Erreur inattendue."});
    }
};

QTEST_GUILESS_MAIN(TestCommand)
#include "tst_command.moc"
