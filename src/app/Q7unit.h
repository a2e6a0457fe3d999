#pragma once
// The shared routines of the record window; every command uses these, none
// re-implements them.
#include <QList>

class Tformprin;
class SortedComboBox;
class QWidget;
class QPushButton;
class QColor;

namespace q7unit {

// Empties the record fields ("Mettre à vide").
void clearFields(Tformprin& w);
// Fills the fifteen drop-down lists from their list files ("Vide" when missing).
void loadValueLists(Tformprin& w);
// Shows the record buffer, its notes and summary and P/N.
void showRecord(Tformprin& w);
void enableFields(Tformprin& w, bool on);
void enableNavigation(Tformprin& w, bool on);
void putToday(Tformprin& w);
// Red tells that the record has notes or a summary.
void setCaptionColour(QPushButton* button, const QColor& colour);
// Fills the record buffer from the window (the save); throws on a bad date text.
void fillBuffer(Tformprin& w);

// The fifteen drop-downs in list-manager order.
QList<SortedComboBox*> valueListFields(Tformprin& w);

} // namespace q7unit
