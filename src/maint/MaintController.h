#pragma once
// "Trier  Q7.dat" and "&Informations" of the record window's "Gestion" menu.
#include "record/RecordWindow.h"

#include <QObject>

class Tformfic;
class Tforminfo;

class MaintController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* smenutrier;
        QAction* smenuinformations;
    };

    MaintController(RecordWindow& window, const Controls& controls, Tformfic& fic, Tforminfo& info);

    void smenutrierClick();
    void smenuinformationsClick();

private:
    RecordWindow& window_;
    Tformfic& fic_;
    Tforminfo& info_;
};
