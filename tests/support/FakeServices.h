#pragma once
// Fake platform services for GUI tests: they record what the program asked for and
// answer from a script.
#include "platform/QtFetcher.h"
#include "platform/Services.h"
#include "settings/Settings.h"
#include "store/FileSystem.h"

#include <QColor>
#include <QDialog>
#include <QRect>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <optional>

class FakeDialogs : public Dialogs {
public:
    // Every call, in order: "beep", "info-sound", "message:<text>", "information:<text>",
    // "confirm:<text>", "confirm-non:<text>" ("&Non" by default), "question:<text>",
    // "error:<text>", "open-file".
    QStringList log;
    std::deque<bool> answers; // for confirm and informationQuestion; empty = yes
    std::deque<std::optional<QString>> files;
    std::function<void(const QString&)> onBox; // runs when any box is shown

    void beep() override { log << QStringLiteral("beep"); }
    void informationSound() override { log << QStringLiteral("info-sound"); }
    void message(const QString& t) override { box(QStringLiteral("message:") + t); }
    void information(const QString& t) override { box(QStringLiteral("information:") + t); }
    bool confirm(const QString& t) override { return answer(QStringLiteral("confirm:") + t); }
    bool confirmDefaultNo(const QString& t) override {
        return answer(QStringLiteral("confirm-non:") + t);
    }
    bool informationQuestion(const QString& t) override {
        return answer(QStringLiteral("question:") + t);
    }
    void error(const QString& t) override { box(QStringLiteral("error:") + t); }
    std::optional<QString> openFileName(const QString&, const QString&) override;
    // Logs "save-file:<dir>" and answers from `files` too.
    std::optional<QString> saveFileName(const QString&, const QString& dir,
                                        const QStringList&) override;
    // The boxes only (no sounds).
    QStringList boxes() const {
        QStringList out;
        for (const auto& l : log)
            if (l != QLatin1String("beep") && l != QLatin1String("info-sound")) out << l;
        return out;
    }
    void clear() { log.clear(); }

private:
    void box(const QString& entry) {
        log << entry;
        if (onBox) onBox(entry);
    }
    bool answer(const QString& entry) {
        box(entry);
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct DrawnText {
    int x;
    int y;
    QString text;
    int points;
    bool bold;
    QColor color;
    int width; // 0 for the whole text
    int page;  // from 0, within its document
};

class FakePrinter : public Printer {
public:
    std::vector<std::vector<DrawnText>> pages; // one entry per document
    bool failOnBegin = false;
    int points = 10;
    bool bold = false;
    QColor color = Qt::black;

    void setFontSize(int p) override { points = p; }
    void setBold(bool b) override { bold = b; }
    void setColor(const QColor& c) override { color = c; }
    // Above 0, the draw call of that number (from 1) in a document throws.
    int failOnDraw = 0;
    int aborted = 0; // documents dropped; they are not in `pages`

    void begin() override;
    void drawText(int x, int y, const QString& t) override { draw(x, y, t, 0); }
    void drawTextWithin(int x, int y, int width, const QString& t) override {
        draw(x, y, t, width);
    }
    void newPage() override { ++page; }
    // About the average letter of a sans serif face: 2.2 units a point.
    int textWidth(const QString& t, int p, bool) override { return int(t.size()) * p * 22 / 10; }
    // Pictures drawn, of every document: their boxes and the page (from 0).
    struct DrawnPainting {
        QRect box;
        int page;
    };
    std::vector<DrawnPainting> paintings;
    void drawPainting(int x, int y, int width, int height, Painting) override {
        paintings.push_back({QRect(x, y, width, height), page});
    }
    bool nextLandscape = false;
    std::vector<bool> landscape; // one entry per document
    void setLandscape(bool l) override { nextLandscape = l; }
    void end() override { open = false; }
    void abort() noexcept override {
        if (open) pages.pop_back();
        open = false;
        ++aborted;
    }
    bool open = false;
    int page = 0;

private:
    void draw(int x, int y, const QString& t, int width);
};

class FakeLauncher : public Launcher {
public:
    QStringList started;
    QStringList mails;
    QStringList installed; // programs findProgram finds, in /usr/bin
    QStringList failing;   // commands that cannot be started
    bool startDetached(const QString& c) override {
        started << c;
        return !failing.contains(c);
    }
    QString findProgram(const QString& name) override {
        return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    }
    bool openMailto(const QString& u) override {
        mails << u;
        return true;
    }
};

class FakeClock : public Clock {
public:
    Today day{7, 12, 2026};
    Today today() override { return day; }
};

class FakeCursor : public Cursor {
public:
    int depth = 0;
    int maxDepth = 0;
    void pushBusy() override { maxDepth = std::max(maxDepth, ++depth); }
    void popBusy() override { --depth; }
};

class FakeSettingsBackend : public q7::SettingsBackend {
public:
    std::map<std::string, std::string> values;
    bool keyOpened = false;
    std::string failOnWrite; // key whose write fails
    std::string failOnRead;
    std::vector<std::string> writes;
    void set(const std::string& key, const std::string& value);
    void openKey() override { keyOpened = true; }
    std::optional<std::string> read(const std::string& key) override;
    void write(const std::string& key, const std::string& value) override;
};

// Instead of running a modal loop, shows the window, runs the scripted action for it
// (by object name, or the default one), then closes it if it is still open.
class FakeModalShower : public ModalShower {
public:
    std::map<QString, std::deque<std::function<void(QDialog&)>>> scripts;
    std::function<void(QDialog&)> fallback;
    QStringList shown;
    int showModal(QDialog& dialog) override;
    void script(const QString& objectName, std::function<void(QDialog&)> action) {
        scripts[objectName].push_back(std::move(action));
    }
};

// A door to the network that answers from the test's `answer`, from the event loop as
// the real one does, and records what was asked.
class FakeFetcher : public q7::Fetcher {
public:
    std::function<q7::Fetched(const std::string& url, q7::FetchKind kind)> answer;
    std::vector<std::string> asked;
    Ticket get(const std::string& url, q7::FetchKind kind, Done done) override;
    void cancel(Ticket ticket) override { waiting_.erase(ticket); }

private:
    QObject context_;
    std::map<Ticket, Done> waiting_;
    Ticket next_ = 0;
};

// All fakes together, with the Services view of them. The network's door is the real
// one with a short rest between requests: tests point the addresses at 127.0.0.1.
struct FakeServices {
    FakeDialogs dialogs;
    FakePrinter printer;
    FakeLauncher launcher;
    FakeClock clock;
    FakeCursor cursor;
    FakeSettingsBackend settings;
    FakeModalShower modal;
    q7::QtFetcher fetcher{{.spacingMs = 250}};
    Services services;

    FakeServices(q7::FileSystem& fs, const std::string& dir)
        : services{dialogs,
                   printer,
                   launcher,
                   clock,
                   cursor,
                   settings,
                   modal,
                   fetcher,
                   fs,
                   dir,
                   QStringLiteral("Lirabel3"),
                   {}} {}

    // The same services, printing on `other`.
    Services printingOn(Printer& other) const {
        const Services& s = services;
        return {s.dialogs, other,     s.launcher, s.clock,   s.cursor,      s.settingsStore,
                s.modal,   s.fetcher, s.fs,       s.workDir, s.programName, s.installedDir};
    }
};
