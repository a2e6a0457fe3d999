#include "lists/ListController.h"

#include "lists/Q7anciennum.h"
#include "lists/Q7liste.h"
#include "platform/Command.h"
#include "platform/Services.h"
#include "store/FrenchOrder.h"
#include "widgets/ClickLabel.h"
#include "widgets/ListValues.h"
#include "widgets/SortedComboBox.h"

#include <QAction>

ListController::ListController(RecordWindow& window, const Controls& controls, TFormliste& liste,
                               Tformanciennum& anciennum)
    : window_(window), liste_(liste), anciennum_(anciennum) {
    Dialogs& d = window.services().dialogs;
    for (const q7::FieldBinding& row : q7::fieldTable()) {
        if (!row.insertItem) continue;
        const auto insert = guarded(d, [this, &row] { institreClick(row); });
        connect(window.item(row.insertItem), &QAction::triggered, this, insert);
        if (row.captionInserts)
            connect(qobject_cast<ClickLabel*>(window.caption(row)), &ClickLabel::clicked, this,
                    insert);
    }
    connect(controls.smenuliste, &QAction::triggered, this,
            guarded(d, this, &ListController::smenulisteClick));
    connect(controls.menuanciennum, &QAction::triggered, this,
            guarded(d, this, &ListController::menuanciennumClick));
    QWidget* reference = window.control(*q7::bindingOf(q7::Field::numero));
    anciennum_.setReferenceTaker(
        [reference](const QString& taken) { setControlText(reference, taken); });
}

void ListController::smenulisteClick() {
    window_.services().modal.showModal(liste_);
}

void ListController::menuanciennumClick() {
    window_.services().modal.showModal(anciennum_);
}

void ListController::institreClick(const q7::FieldBinding& row) {
    const q7::Folder& folder = window_.state().folder;
    auto* field = qobject_cast<SortedComboBox*>(window_.control(row));
    const QString typed = field->currentText();
    // The file, not the drop-down, is the list: the drop-down may not have been
    // loaded yet, or the list manager may have changed the file since.
    QStringList values =
        folder.exists(row.listFile) ? readListValues(folder, row.listFile) : QStringList();
    values << typed;
    q7::sortFrench(values);
    writeListValues(folder, row.listFile, values);
    field->setValues(readListValues(folder, row.listFile));
    field->setEditText(typed);
}
