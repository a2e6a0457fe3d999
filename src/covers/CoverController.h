#pragma once
// The record window's covers: the panel beside the form, "Couverture..." (a file), "Coller
// la couverture" (the clipboard), a picture dropped on the panel, a cover a notice brings;
// and the covers kept in step with the catalogue. A new cover waits, shown, until the
// record is saved, as the fields do; a save writes it, renames the cover with its
// reference, a delete puts it in Sauvegardes. A cover is never shown for, nor given to,
// a reference two books share.
#include "covers/CoverPanel.h"
#include "covers/CoverStore.h"
#include "record/RecordWindow.h"

#include <QObject>

#include <optional>

class CoverController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* menuCouverture;       // "Couverture...": a picture file
        QAction* menuCollerCouverture; // "Coller la couverture"
        QAction* smenupanneau;         // "Panneau des couvertures", ticked while shown
        QAction* smenuorphelines;      // "Couvertures sans fiche..."
        QWidget* form;                 // the window's central widget, the panel at its right
        QMenu* menuAction;             // takes "Retirer la couverture" after the cover items
    };
    // The form's own width; the panel adds its own beside it.
    static constexpr int panelWidth = 200;

    CoverController(RecordWindow& window, const Controls& controls);

    // Once the catalogue is open: what a crash left of a cover's write goes.
    void catalogueOpened();
    void menuCouvertureClick();
    void menuCollerCouvertureClick();
    void smenupanneauClick(bool shown);
    void smenuorphelinesClick();

    // Takes `image` as the cover of the record being typed or shown; `origin` says where
    // it comes from ("Open Library", the file's name).
    void offer(const QImage& image, const QString& origin);
    // The record buffer was just shown: its cover, nothing of what was waiting.
    void recordShown();
    void modeApplied(Mode mode);
    // The record shown was written; `before` its reference as it was stored (empty for a
    // new record). Covers follow, or are written; what fails is told, the record stays
    // saved.
    void recordSaved(const std::string& before);
    // The record shown, of reference `reference`, is no longer in the catalogue.
    void recordDeleted(const std::string& reference);

    CoverPanel& panel() const { return *panel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // "<title>, couverture", as a screen reader says the picture.
    QString spoken() const;
    // Removing the cover, from the panel's menu.
    void removeClick();
    void showStored();
    void showPending();
    // How many books share a reference's cover file; read once a browse or a search.
    int owners(const std::string& reference);
    void fitWindow();
    void say(const QString& text);
    q7::CoverStore store() const;
    // A picture from a drop or the clipboard, read as any picture is.
    void take(const QMimeData& data, const QString& origin);

    RecordWindow& window_;
    Controls c_;
    CoverPanel* panel_;
    QAction* remove_;
    struct Pending {
        QImage image; // null: the cover is to be removed
        QString origin;
    };
    std::optional<Pending> pending_;
    std::optional<q7::CoverOwners> owners_;
    bool editing_ = false; // new-record or browse: the cover can be changed
    int formWidth_ = 0;
};
