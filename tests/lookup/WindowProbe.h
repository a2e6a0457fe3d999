#pragma once
// What the record window shows of a notice taken, and the review as the collector sees it:
// shared by the tests of the lookups by ISBN and by title.
#include "AppFixture.h"
#include "lookup/NoticeReview.h"
#include "store/Cp1252.h"

#include <QLabel>
#include <QTableWidget>

inline QString text(AppFixture& app, q7::Field f) {
    return controlText(app.w().control(*q7::bindingOf(f)));
}

// Every field the lookup may fill, as the window shows it.
inline QStringList shown(AppFixture& app) {
    const q7::RecordScreen s = app.w().screen();
    return {text(app, q7::Field::titre),
            text(app, q7::Field::auteur),
            text(app, q7::Field::edition),
            text(app, q7::Field::imprimeur),
            text(app, q7::Field::collection),
            text(app, q7::Field::sujet),
            text(app, q7::Field::anedition),
            text(app, q7::Field::nbpage),
            text(app, q7::Field::langue),
            text(app, q7::Field::isbn),
            QString::fromStdString(q7::cp1252ToUtf8(s.notes)),
            app.ui().ckbplusauteur->isChecked() ? "plusieurs" : "un"};
}

struct Review {
    QStringList rows; // "[x] Caption | current | found"
    QString origin;
    QString held; // what it says of the book the catalogue holds
};

// Scripts the review: records it, then OK or Cancel.
inline void answerReview(AppFixture& app, Review& seen, bool ok) {
    app.fakes->modal.script("NoticeReview", [&seen, ok](QDialog& d) {
        auto& table = static_cast<NoticeReview&>(d).table();
        for (int i = 0; i < table.rowCount(); ++i)
            seen.rows << QStringLiteral("[%1] %2 | %3 | %4")
                             .arg(table.item(i, 0)->checkState() == Qt::Checked ? "x" : " ",
                                  table.item(i, 0)->text(), table.item(i, 1)->text(),
                                  table.item(i, 2)->text().left(30));
        seen.origin = d.findChildren<QLabel*>().at(0)->text();
        for (const QLabel* label : d.findChildren<QLabel*>())
            if (label->isVisible() && label->text().startsWith(u"Déjà")) seen.held = label->text();
        ok ? d.accept() : d.reject();
    });
}
