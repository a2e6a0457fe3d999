#pragma once
// The small Qt services: clock, cursor, launcher, modal showing.
#include "platform/BusyCursor.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/ModalShower.h"

class QtClock : public Clock {
public:
    Today today() override;
};

class QtCursor : public Cursor {
public:
    void pushBusy() override;
    void popBusy() override;
};

class QtLauncher : public Launcher {
public:
    bool startDetached(const QString& commandLine) override;
    bool openMailto(const QString& url) override;
    QString findProgram(const QString& name) override;
};

class QtModalShower : public ModalShower {
public:
    int showModal(QDialog& dialog) override;
};
