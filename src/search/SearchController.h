#pragma once
// The record window's browsing and searching: "&Liste" and the four browse buttons,
// the criteria of "Chercher par...", the word search and the search step.
#include "record/RecordWindow.h"

#include <QObject>

class QAbstractButton;
class QKeyEvent;
class QLineEdit;
class QMenu;
class TFormrecmot;

class SearchController : public QObject {
    Q_OBJECT
public:
    // The record window's widgets this controller drives, besides the field table's.
    struct Controls {
        QAction* menuliste;
        QAction* spdbrecliste;
        QAction* menuChercher;
        QAction* spdbchercher;
        QAction* menumot;
        QMenu* menuChercherpar;
        QAbstractButton* spbdebut;
        QAbstractButton* spbprecedent;
        QAbstractButton* spbsuivant;
        QAbstractButton* spbfin;
        QAbstractButton* btbchercher;
        QLineEdit* edtnbfiche; // the position counter, also the rank box
    };

    SearchController(RecordWindow& window, const Controls& controls, TFormrecmot& recmot);

    // Browsing in stored order.
    enum class Move { Next, Previous, First, Last };
    void browse(Move move);
    void menulisteClick();
    void spbdebutClick() { browse(Move::First); }
    void spbprecedentClick() { browse(Move::Previous); }
    void spbsuivantClick();
    void spbfinClick() { browse(Move::Last); }

    // Choosing a criterion; Criterion::Word starts the word search the dialog set up.
    void TitresClick(q7::Criterion criterion);
    // One search step.
    void menuChercherClick();
    void menuChercherparClick();
    void menumotClick();

    // Alt+arrows of the record window (the key still reaches the focused field).
    void FormKeyDown(const QKeyEvent& event);

private:
    void readAndShow();
    void endOfList(const QString& text);
    bool rankStep();
    bool scanStep();

    RecordWindow& window_;
    AppState& state_;
    Controls c_;
    TFormrecmot& recmot_;
};
