#pragma once
// The record window's "Vue d'ensemble...": opens the overview and shows the book the
// collector picked there as browsing shows it.
#include "overview/OverviewBooks.h"
#include "record/RecordWindow.h"

#include <QObject>

#include <functional>

class Tformvue;

class OverviewController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* menuvue;
        QAction* spdbvue;
    };

    // `borrowers` reads who has which book out, when the window opens.
    OverviewController(RecordWindow& window, const Controls& controls, Tformvue& vue,
                       std::function<q7::Borrowers()> borrowers);

    void menuvueClick();

private:
    RecordWindow& window_;
    Tformvue& vue_;
    std::function<q7::Borrowers()> borrowers_;
};
