#include "AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

AppFixture::AppFixture(const std::vector<q7::Fiche>& records) {
    if (!records.empty()) writeCatalogue(dir(), records);
    fakes = std::make_unique<FakeServices>(fs, dir());
    program = std::make_unique<Program>(fakes->services);
}

AppFixture::~AppFixture() {
    program.reset();
}

void AppFixture::start() {
    program->prin().show();
    QApplication::processEvents();
}

void AppFixture::trigger(const char* action) const {
    auto* a = program->prin().findChild<QAction*>(QLatin1String(action));
    if (!a) qFatal("no action %s", action);
    a->trigger();
    QApplication::processEvents();
}

void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x80 && c.unicode() >= 0x20)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void typeInto(QWidget* field, const QString& text) {
    if (auto* cb = qobject_cast<QComboBox*>(field)) {
        cb->setEditText(QString());
        typeText(cb->lineEdit(), text);
    } else if (auto* e = qobject_cast<QLineEdit*>(field)) {
        e->clear();
        typeText(e, text);
    }
}
