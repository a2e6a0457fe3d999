#pragma once
// Driving the list windows from the record window, as a user does.
#include "AppFixture.h"
#include "lists/Q7liste.h"
#include "ui_Q7liste.h"

#include <QListWidget>
#include <QTest>

#include <functional>

// Opens "Gestion des listes" ("Listes", Ctrl+L) and runs `action` inside it.
inline void inListManager(AppFixture& app,
                          std::function<void(TFormliste&, Ui::TFormliste&)> action) {
    app.fakes->modal.script("Formliste", [action](QDialog& d) {
        auto& form = static_cast<TFormliste&>(d);
        action(form, form.ui());
    });
    app.trigger("smenuliste");
}

inline QStringList lines(const QListWidget* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->item(i)->text();
    return out;
}

inline void clickLine(QListWidget* box, int row) {
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {},
                      box->visualItemRect(box->item(row)).center());
}

// Chooses an entry of the selector (0 = "Titre") and loads it.
inline void choose(Ui::TFormliste& u, int entry) {
    u.cbactiveliste->setCurrentIndex(entry);
    u.Button1->click();
}

inline void insertValue(Ui::TFormliste& u, const QString& value, bool withEnter = false) {
    u.edtinserer->clear();
    typeText(u.edtinserer, value);
    if (withEnter)
        QTest::keyClick(u.edtinserer, Qt::Key_Return);
    else
        u.btinserer->click();
}
