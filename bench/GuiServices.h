#pragma once
// The program's own Qt services for the window benchmarks, in a folder of their own:
// real message boxes, cursor and modal loops; a printer that prints nothing and a
// settings file beside the catalogue instead of the user's.
#include "platform/QtDialogs.h"
#include "platform/QtFetcher.h"
#include "platform/QtPlatform.h"
#include "platform/QtSettingsBackend.h"
#include "platform/Services.h"

#include <QDir>

namespace bench {

// Offscreen unless told otherwise (QT_QPA_PLATFORM=xcb on a display, Xvfb, adds the cost
// of the X server); the platform's warnings kept out of the figures.
inline void offscreenUnlessAsked() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
}

class NoPrinter : public Printer {
public:
    void setFontSize(int) override {}
    void setBold(bool) override {}
    void setColor(const QColor&) override {}
    void begin() override {}
    void drawText(int, int, const QString&) override {}
    void drawTextWithin(int, int, int, const QString&) override {}
    void newPage() override {}
    int textWidth(const QString& t, int p, bool) override { return int(t.size()) * p * 2; }
    void drawPainting(int, int, int, int, Painting) override {}
    void setLandscape(bool) override {}
    void end() override {}
    void abort() noexcept override {}
};

struct GuiServices {
    explicit GuiServices(const std::string& dir)
        : settings(QDir(QString::fromStdString(dir)).filePath(QStringLiteral("wutfn.ini"))),
          services{dialogs,
                   printer,
                   launcher,
                   clock,
                   cursor,
                   settings,
                   modal,
                   fetcher,
                   q7::posixFileSystem(),
                   dir,
                   QStringLiteral("Lirabel3"),
                   {}} {}

    QtDialogs dialogs{QStringLiteral("Lirabel3")};
    NoPrinter printer;
    QtLauncher launcher;
    QtClock clock;
    QtCursor cursor;
    QtSettingsBackend settings;
    QtModalShower modal;
    q7::QtFetcher fetcher;
    Services services;
};

} // namespace bench
