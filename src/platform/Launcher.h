#pragma once
#include <QString>

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the command line without waiting; false when it could not start.
    virtual bool startDetached(const QString& commandLine) = 0;
    virtual bool openMailto(const QString& url) = 0;
    // The full path of a program found on the PATH, or nothing.
    virtual QString findProgram(const QString& name) = 0;
};
