#include "lookup/NoticeSearchController.h"

#include "lookup/CandidateList.h"
#include "lookup/Isbn.h"
#include "lookup/NoticeTaking.h"
#include "platform/Command.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

using namespace q7;
using namespace q7::lookup;

namespace {

QString utf8(const std::string& s) {
    return QString::fromStdString(s);
}

std::string firstIsbn(const FoundBook& b) {
    for (const std::string& i : b.isbns)
        if (std::string digits = isbn::digits13(i); !digits.empty()) return digits;
    return {};
}

std::string firstAuthor(const FoundBook& b) {
    if (b.authors.empty()) return {};
    const Person& p = b.authors.front();
    return p.whole.empty() ? p.forename + " " + p.surname : p.whole;
}

} // namespace

NoticeSearchController::NoticeSearchController(RecordWindow& window, QAction* menuNotice)
    : window_(window), menuNotice_(menuNotice), search_(window.services().fetcher),
      covers_(window.services().fetcher) {
    Dialogs& d = window.services().dialogs;
    connect(menuNotice_, &QAction::triggered, this,
            guarded(d, this, &NoticeSearchController::menuNoticeClick));
    connect(&search_, &NoticeSearch::progress, this,
            [this](const QString& s) { window_.setStatus(s); });
    connect(&search_, &NoticeSearch::finished, this,
            [this, &d](const SearchResult& r) { runCommand(d, [&] { finished(r); }); });
    // Before the record window's own filter: Escape stops a search.
    qApp->installEventFilter(this);
}

SearchTerms NoticeSearchController::typedTerms() const {
    const auto words = [this](Field f) { return notice::typed(window_, f).toStdString(); };
    // A publisher or year the new record kept from the book before narrows to that book.
    const auto ownWords = [&](Field f) {
        return window_.leftAsStarted(*bindingOf(f)) ? std::string() : words(f);
    };
    return {words(Field::titre), words(Field::auteur), ownWords(Field::edition),
            ownWords(Field::anedition)};
}

QWidget* NoticeSearchController::recordWindow() const {
    return window_.control(*bindingOf(Field::titre))->window();
}

bool NoticeSearchController::movedOn() const {
    return !menuNotice_->isEnabled() || typedTerms() != search_.terms();
}

void NoticeSearchController::menuNoticeClick() {
    Services& s = window_.services();
    const SearchTerms terms = typedTerms();
    if (terms.title.empty() && terms.author.empty()) {
        s.dialogs.beep();
        s.dialogs.message(QStringLiteral("Tapez d'abord le titre ou l'auteur du livre."));
        focusForTyping(window_.control(*bindingOf(Field::titre)));
        return;
    }
    const std::optional<NoticeSettings> settings = notice::chosenSources(s);
    if (!settings) return;
    search_.start(terms, *settings);
}

bool NoticeSearchController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && search_.running() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == recordWindow()) {
            search_.cancel();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

std::vector<Held> NoticeSearchController::heldOf(const SearchResult& r) const {
    std::vector<BookKey> keys;
    for (const Candidate& c : r.candidates)
        keys.push_back(bookKey(firstIsbn(c.book), c.book.title, firstAuthor(c.book),
                               c.book.subtitle.empty() ? std::string()
                                                       : c.book.title + " " + c.book.subtitle));
    const AppState& s = window_.state();
    return findHeld(s.data, keys, s.newRecord ? -1 : s.data.position() - 1);
}

void NoticeSearchController::finished(const SearchResult& r) {
    if (list_) {
        if (r.kind == SearchResult::Kind::done) list_->setResult(r, heldOf(r));
        return;
    }
    if (r.kind == SearchResult::Kind::cancelled) {
        window_.setStatus(QStringLiteral("Recherche annulée"));
        return;
    }
    if (movedOn()) {
        window_.setStatus(QStringLiteral("Notices trouvées, mais la fiche a changé : relancez "
                                         "Chercher une notice"));
        return;
    }
    if (r.candidates.empty()) {
        window_.setStatus(utf8(r.message).section(u'\n', 0, 0));
        window_.services().dialogs.message(utf8(r.message));
        return;
    }
    choose(r);
}

void NoticeSearchController::choose(const SearchResult& r) {
    Services& s = window_.services();
    CandidateList list(recordWindow());
    list.setResult(r, heldOf(r));
    list.setShowHeld([this](const Held& h) { notice::showHeld(window_, h); });
    connect(&list, &CandidateList::moreAsked, this, [this, &list] {
        list.setWaiting(QStringLiteral("Recherche des notices suivantes..."));
        search_.more();
    });
    // Only the cover of the row the collector stays on is asked for, when it is.
    const NoticeSettings settings = readNoticeSettings(s.settingsStore);
    connect(&list, &CandidateList::coverWanted, this, [this, &list, settings](int row) {
        if (covers_.running()) list.coverDropped(coverRow_);
        const Candidate& c = search_.result().candidates[std::size_t(row)];
        coverRow_ = row;
        const bool asked = covers_.start(
            coverRequests(settings, *c.source, c.book, firstIsbn(c.book), CoverSize::list),
            c.source->name, [&list, row](const FetchedCover& f) { list.setCover(row, f.image); },
            CandidateList::coverSide);
        if (!asked) list.setCover(row, {});
    });
    window_.setStatus(utf8(r.message).section(u'\n', 0, 0));
    list_ = &list;
    const int answer = s.modal.showModal(list);
    list_ = nullptr;
    covers_.cancel();
    const int row = list.chosen();
    if (answer != QDialog::Accepted || row < 0) {
        search_.cancel();
        window_.setStatus(QStringLiteral("Aucune notice reprise"));
        return;
    }
    search_.complete(search_.result().candidates[std::size_t(row)],
                     [this, &s](const Candidate& c, const std::string& remark) {
                         runCommand(s.dialogs, [&] { take(c, remark); });
                     });
}

void NoticeSearchController::take(const Candidate& c, const std::string& remark) {
    if (movedOn()) {
        window_.setStatus(QStringLiteral("Notice lue, mais la fiche a changé : relancez "
                                         "Chercher une notice"));
        return;
    }
    QString origin = QStringLiteral("Source : %1").arg(utf8(c.source->name));
    if (!c.book.identifier.empty())
        origin += QStringLiteral(", notice %1").arg(utf8(c.book.identifier));
    origin += QStringLiteral(" ; recherche de %1.").arg(utf8(searchWords(search_.terms())));
    QStringList remarks;
    if (!remark.empty()) remarks << utf8(remark);
    // The words searched for were to find the book: its notice says them as they are.
    std::vector<Field> searched;
    const SearchTerms& t = search_.terms();
    for (const auto& [field, words] :
         {std::pair{Field::titre, &t.title}, std::pair{Field::auteur, &t.author},
          std::pair{Field::edition, &t.publisher}, std::pair{Field::anedition, &t.year}})
        if (!words->empty()) searched.push_back(field);
    notice::take(window_, {c.book, *c.source, firstIsbn(c.book), origin, remarks,
                           QStringLiteral("Notice choisie (%1).").arg(utf8(c.source->name)),
                           searched, takeCover});
}
