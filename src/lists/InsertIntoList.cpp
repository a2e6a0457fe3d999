// "Inserer dans liste" and the clickable field captions: a field's text goes into the
// field's list file, which keeps every value it held.
#include "app/ClickLabel.h"
#include "app/Q7prin.h"
#include "app/SortedComboBox.h"
#include "lists/ListFile.h"
#include "platform/QtText.h"
#include "ui_Q7prin.h"

namespace {

struct InsertBinding {
    QAction* Ui::Tformprin::*item;
    ClickLabel* Ui::Tformprin::*label; // null: the field has no clickable caption
    SortedComboBox* Ui::Tformprin::*field;
    const char* file;
};

const InsertBinding insertBindings[] = {
    {&Ui::Tformprin::institre, &Ui::Tformprin::lbltitre, &Ui::Tformprin::cbtitre, "Q7titre.lst"},
    {&Ui::Tformprin::insauteur, &Ui::Tformprin::lblauteur, &Ui::Tformprin::cbauteur,
     "Q7auteur.lst"},
    {&Ui::Tformprin::inssujet, &Ui::Tformprin::lblsujet, &Ui::Tformprin::cbsujet, "Q7sujet.lst"},
    {&Ui::Tformprin::insCollections, &Ui::Tformprin::lblcollection, &Ui::Tformprin::cbcollection,
     "Q7collection.lst"},
    {&Ui::Tformprin::insEditions, &Ui::Tformprin::lbledition, &Ui::Tformprin::cbedition,
     "Q7edition.lst"},
    {&Ui::Tformprin::insImprimeurs, &Ui::Tformprin::lblimprimeur, &Ui::Tformprin::cbimprimeur,
     "Q7imprimeur.lst"},
    {&Ui::Tformprin::insorigine, &Ui::Tformprin::lblorigine, &Ui::Tformprin::cborigine,
     "Q7origine.lst"},
    {&Ui::Tformprin::inspos1, nullptr, &Ui::Tformprin::cbpos1, "Q7pos1.lst"},
    {&Ui::Tformprin::inspos2, nullptr, &Ui::Tformprin::cbpos2, "Q7pos2.lst"},
    {&Ui::Tformprin::inspos3, nullptr, &Ui::Tformprin::cbpos3, "Q7pos3.lst"},
    {&Ui::Tformprin::inspos4, nullptr, &Ui::Tformprin::cbpos4, "Q7pos4.lst"},
    {&Ui::Tformprin::menuinsertutil, &Ui::Tformprin::lblutilisateur, &Ui::Tformprin::cbutilisateur,
     "Q7utilisat.lst"},
};

QStringList readValues(const q7::Folder& folder, const char* file) {
    QStringList values;
    if (!folder.exists(file)) return values;
    const std::vector<std::string> lines = q7::readListFile(folder, file);
    values.reserve(qsizetype(lines.size()));
    for (const std::string& line : lines)
        values << fromBytes(line);
    return values;
}

} // namespace

void Tformprin::institreClick(QObject* sender) {
    const auto& u = *ui_;
    for (const InsertBinding& b : insertBindings) {
        if (sender != u.*b.item && (!b.label || sender != u.*b.label)) continue;
        SortedComboBox* field = u.*b.field;
        const QString typed = field->currentText();
        // The file, not the drop-down, is the list: the drop-down may not have been
        // loaded yet, or the list manager may have changed the file since.
        QStringList values = readValues(state_.folder, b.file);
        values << typed;
        SortedComboBox::sortValues(values);
        std::vector<std::string> lines;
        lines.reserve(std::size_t(values.size()));
        for (const QString& v : values)
            lines.push_back(toBytes(v));
        q7::writeListFile(state_.folder, b.file, lines);
        field->setValues(readValues(state_.folder, b.file));
        field->setEditText(typed);
        return;
    }
}
