#include "AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QWidget>

namespace {

QStringList labelTexts(QAccessibleInterface* iface) {
    QStringList texts;
    for (const auto& [label, relation] : iface->relations(QAccessible::Label))
        if (label) texts << label->text(QAccessible::Name);
    return texts;
}

void walk(QAccessibleInterface* iface, std::map<QString, AccessibleControl>& out) {
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child) continue;
        auto* widget = qobject_cast<QWidget*>(child->object());
        // Qt's own parts (a combo box's line edit and list) speak for their owner; a button
        // Qt adds (a field's clear button) is a control all the same, reached by a click.
        const bool button = widget && qobject_cast<QAbstractButton*>(widget) && !widget->isHidden();
        if (widget && ((!widget->objectName().isEmpty() &&
                        !widget->objectName().startsWith(QLatin1String("qt_"))) ||
                       button)) {
            AccessibleControl c;
            c.name = child->text(QAccessible::Name);
            c.description = child->text(QAccessible::Description);
            c.labels = labelTexts(child);
            c.role = child->role();
            c.focusable = widget->focusPolicy() != Qt::NoFocus || button;
            if (qobject_cast<QComboBox*>(widget) && c.name == child->text(QAccessible::Value)) {
                c.name = widget->accessibleName();
                if (c.name.isEmpty() && !c.labels.isEmpty()) c.name = c.labels.first();
            }
            QString key = widget->objectName();
            if (key.isEmpty() || key.startsWith(QLatin1String("qt_")))
                key = QStringLiteral("%1 de %2")
                          .arg(QLatin1String(widget->metaObject()->className()),
                               widget->parentWidget()->objectName());
            out.emplace(key, c);
        }
        // Rows of a list are its values, not controls.
        if (!qobject_cast<QComboBox*>(widget) && !qobject_cast<QAbstractItemView*>(widget))
            walk(child, out);
    }
}

} // namespace

std::map<QString, AccessibleControl> accessibleControls(QWidget* window) {
    std::map<QString, AccessibleControl> out;
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window))
        walk(iface, out);
    return out;
}

QStringList unnamedControls(QWidget* window) {
    QStringList faults;
    std::map<QString, QString> byName;
    for (const auto& [object, c] : accessibleControls(window)) {
        if (!c.focusable) continue;
        const QString name = c.name.trimmed();
        if (name.isEmpty() && c.labels.isEmpty()) {
            faults << object + QStringLiteral(": no name");
            continue;
        }
        const auto [it, fresh] = byName.emplace(name, object);
        if (!fresh)
            faults << object + QStringLiteral(": same name as ") + it->second +
                          QStringLiteral(" (") + name + QStringLiteral(")");
    }
    return faults;
}
