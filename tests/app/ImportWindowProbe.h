#pragma once
// What the import window's tests read and press.
#include "AppFixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

inline QString pane(QDialog& d) {
    return d.findChild<QPlainTextEdit*>("memrapport")->toPlainText();
}
inline QString count(QDialog& d) {
    return d.findChild<QLabel*>("lblcompte")->text();
}
inline void click(QDialog& d, const char* button) {
    d.findChild<QPushButton*>(QLatin1String(button))->click();
    QApplication::processEvents();
}
inline bool enabled(QDialog& d, const char* button) {
    return d.findChild<QPushButton*>(QLatin1String(button))->isEnabled();
}
inline QStringList reports(const AppFixture& app) {
    return QDir(app.tmp.path()).entryList({"Q7import-*.txt"});
}
