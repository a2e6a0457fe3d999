#include "FakeServices.h"

#include <utility>

#include "store/Errors.h"

#include <QApplication>
#include <QTimer>

void FakePrinter::begin() {
    if (failOnBegin) throw q7::Error("Aucune imprimante n'est installée");
    pages.emplace_back();
    landscape.push_back(std::exchange(nextLandscape, false));
    open = true;
    page = 0;
}

void FakePrinter::draw(int x, int y, const QString& t, int width) {
    if (failOnDraw > 0 && int(pages.back().size()) + 1 == failOnDraw)
        throw q7::Error("Erreur de l'imprimante");
    pages.back().push_back({x, y, t, points, bold, color, width, page});
}

std::optional<std::string> FakeSettingsBackend::read(const std::string& key) {
    if (key == failOnRead) throw q7::SettingsError("Impossible de lire " + key);
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void FakeSettingsBackend::write(const std::string& key, const std::string& value) {
    if (key == failOnWrite) throw q7::SettingsError("Impossible d'écrire " + key);
    values[key] = value;
    writes.push_back(key);
}

int FakeModalShower::showModal(QDialog& dialog) {
    shown << dialog.objectName();
    dialog.setResult(0);
    dialog.show();
    QApplication::processEvents();
    auto it = scripts.find(dialog.objectName());
    if (it != scripts.end() && !it->second.empty()) {
        auto action = std::move(it->second.front());
        it->second.pop_front();
        if (dialog.isVisible()) action(dialog);
    } else if (fallback && dialog.isVisible()) {
        fallback(dialog);
    }
    QApplication::processEvents();
    if (dialog.isVisible()) dialog.done(QDialog::Rejected);
    return dialog.result();
}

void FakeSettingsBackend::set(const std::string& key, const std::string& value) {
    values[key] = value;
}

std::optional<QString> FakeDialogs::saveFileName(const QString&, const QString& dir,
                                                 const QStringList&) {
    log << QStringLiteral("save-file:") + dir;
    std::optional<QString> f;
    if (!files.empty()) {
        f.swap(files.front());
        files.pop_front();
    }
    return f;
}

std::optional<QString> FakeDialogs::openFileName(const QString&, const QString&) {
    log << QStringLiteral("open-file");
    std::optional<QString> f;
    if (!files.empty()) {
        f.swap(files.front()); // a copy here draws a false "uninitialised" warning from GCC 12
        files.pop_front();
    }
    return f;
}

FakeFetcher::Ticket FakeFetcher::get(const std::string& url, q7::FetchKind kind, Done done) {
    asked.push_back(url);
    const Ticket ticket = ++next_;
    waiting_[ticket] = std::move(done);
    QTimer::singleShot(0, &context_, [this, ticket, url, kind] {
        const auto found = waiting_.find(ticket);
        if (found == waiting_.end()) return; // cancelled
        const Done done = std::move(found->second);
        waiting_.erase(found);
        done(answer ? answer(url, kind)
                    : q7::Fetched{q7::Fetched::Failure::unreachable, 0, {}, url, 0});
    });
    return ticket;
}
