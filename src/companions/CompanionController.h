#pragma once
// The record window's openers of the notebook, help, about box, options and the two
// external programs.
#include "companions/ExternalPrograms.h"
#include "record/RecordWindow.h"

#include <QObject>

class Tcarnetform;
class Tformaide;
class Taproposform;
class Tformoption;

class CompanionController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* smenucarnet;
        QAction* spdbcarnet;
        QAction* menuaide;
        QAction* spdbaide;
        QAction* Apropos1;
        QAction* smenuoptions;
        QAction* menuext1;
        QAction* spdbapplication;
        QAction* menuext2;
    };
    struct Windows {
        Tcarnetform& carnet;
        Tformaide& aide;
        Taproposform& apropos;
        Tformoption& option;
    };

    CompanionController(RecordWindow& window, const Controls& controls, const Windows& windows);

    void smenucarnetClick();
    void menuaideClick();
    void Apropos1Click();
    void smenuoptionsClick();
    // A program that cannot be started is named in an error box.
    void menuext1Click();
    void menuext2Click();

private:
    void startExternal(ExternalProgram which);

    RecordWindow& window_;
    Windows windows_;
};
