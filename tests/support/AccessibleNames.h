#pragma once
// What a screen reader learns of a window's controls, read through Qt's accessibility
// interfaces: the same objects and texts the desktop's accessibility bridge hands on.
#include <QAccessible>
#include <QString>
#include <QStringList>

#include <map>

class QWidget;

struct AccessibleControl {
    QString name;        // the control's accessible name (see accessibleControls)
    QString description; // the accessible description, else the tool-tip
    QStringList labels;  // texts of the labels tied to it (buddies, the enclosing group)
    QAccessible::Role role = QAccessible::NoRole;
    bool focusable = false; // reached with Tab or a click
};

// Every control below `window` that has an object name, by object name, and every button
// Qt adds of its own ("QLineEditIconButton de edtfiltre"). A combo box
// is listed with the name it has while empty: on Linux, Qt announces a combo box's
// text in place of its name and says what it is through its labels.
std::map<QString, AccessibleControl> accessibleControls(QWidget* window);

// The focusable controls a screen reader user could not tell apart, as
// "objectName: why": no name and no label, or the same name as another control.
QStringList unnamedControls(QWidget* window);
