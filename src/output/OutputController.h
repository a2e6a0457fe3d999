#pragma once
// The record window's "Impression" and "Exportation" menus and the label tools.
#include "output/ExportRunner.h"
#include "record/RecordWindow.h"

#include <QObject>

class TFormetiq;
class Tformexport;

class OutputController : public QObject {
    Q_OBJECT
public:
    // The export items come from the export table, by name.
    struct Controls {
        QAction* menuimprimerfiche;
        QAction* menuimpfiche;
        QAction* Ajouterdansliste1;
        QAction* spdbajout;
        QAction* smenuimprimer;
        QAction* spdbimpression;
    };

    OutputController(RecordWindow& window, const Controls& controls, Tformexport& exporter,
                     TFormetiq& etiq);

    void showExport(q7::ExportKind kind);
    // "&Impression fiche": what the window shows; the number is the data file's position.
    void menuimprimerficheClick();
    // "Q7fiche.txt": the record buffer.
    void menuimpficheClick();
    void Ajouterdansliste1Click();
    void smenuimprimerClick();

private:
    RecordWindow& window_;
    Tformexport& exporter_;
    TFormetiq& etiq_;
};
