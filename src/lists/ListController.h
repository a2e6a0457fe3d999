#pragma once
// The record window's ways into the lists: "Listes", "Inserer dans liste" with the
// clickable captions, and "Ancienes réferences".
#include "record/RecordWindow.h"

#include <QObject>

class TFormliste;
class Tformanciennum;

class ListController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* smenuliste;
        QAction* menuanciennum;
    };

    ListController(RecordWindow& window, const Controls& controls, TFormliste& liste,
                   Tformanciennum& anciennum);

    void smenulisteClick();
    void menuanciennumClick();
    // The field's text goes into the field's list file, which keeps every value it held.
    void institreClick(const q7::FieldBinding& row);

private:
    RecordWindow& window_;
    TFormliste& liste_;
    Tformanciennum& anciennum_;
};
