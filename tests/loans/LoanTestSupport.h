#pragma once
// What the loans tests share: a small catalogue, the register's bytes, and the record
// window and the loans window driven as a collector drives them.
#include "AppFixture.h"
#include "store/Cp1252.h"

#include <QCompleter>
#include <QFile>
#include <QTableView>
#include <QTest>

#include <functional>

using q7::Field;

// Bytes of the register shown as bytes when a comparison fails.
namespace QTest {
template <> inline char* toString(const std::string& s) {
    return toPrettyCString(s.data(), qsizetype(s.size()));
}
} // namespace QTest

inline const std::string header =
    q7::lit("Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote") + "\r\n";

inline std::vector<q7::Fiche>
books(std::initializer_list<std::pair<const char*, const char*>> list) {
    std::vector<q7::Fiche> out;
    for (const auto& [ref, title] : list)
        out.push_back(FicheBuilder().set(Field::numero, ref).set(Field::titre, title));
    return out;
}

inline const auto classics = books({{"1", "Germinal"},
                                    {"2", "Les Misérables"},
                                    {"3", "Madame Bovary"},
                                    {"4", "Le Rouge et le Noir"},
                                    {"4", "L'Étranger"}});

inline std::string line(const std::string& utf8) {
    return q7::lit(utf8) + "\r\n";
}

inline std::string registerOf(const AppFixture& app) {
    const QString path = app.path("Q7prets.txt");
    return QFile::exists(path) ? readBytes(path.toStdString()) : "(absent)";
}

inline void setRegister(const AppFixture& app, const std::string& bytes) {
    writeBytes(app.path("Q7prets.txt").toStdString(), bytes);
}

// Shows record `index` as a collector browses to it.
inline void browseTo(AppFixture& app, int index) {
    app.trigger("menuliste");
    for (int i = 0; i < index; ++i)
        app.ui().spbsuivant->click();
}

template <class W> W* child(QDialog& d, const char* name) {
    auto* w = d.findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no %s", name);
    return w;
}

// Fills the lend dialog as typed and presses "Prêter".
inline void scriptLend(AppFixture& app, const QString& borrower, const QString& note = {}) {
    app.fakes->modal.script("formpreter", [borrower, note](QDialog& d) {
        auto* who = child<QComboBox>(d, "cbemprunteur");
        typeText(who->lineEdit(), borrower);
        who->completer()->popup()->hide();
        typeText(child<QLineEdit>(d, "edtnote"), note);
        QTest::mouseClick(child<QPushButton>(d, "btpreter"), Qt::LeftButton);
    });
}

inline QString loanLine(AppFixture& app) {
    return app.ui().lblpret->text();
}

inline bool shownRed(QLabel* label) {
    label->ensurePolished();
    // Red, shaded only as much as the theme's background needs for it to read.
    const QColor c = label->palette().color(label->foregroundRole());
    return c.hsvHue() == 0 && c.hsvSaturation() == 255 && c.value() >= 180;
}

// A table of the window, read as it shows itself.
struct Table {
    QTableView* t;
    QVariant at(int r, int c, int role = Qt::DisplayRole) const {
        return t->model()->index(r, c).data(role);
    }
    QString cell(int r, int c) const { return at(r, c).toString(); }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < t->model()->rowCount(); ++r)
            out << cell(r, c);
        return out;
    }
    bool red(int r) const { return at(r, 1, Qt::ForegroundRole).value<QColor>() == Qt::red; }
    // Puts the cursor on a row, as the arrow keys do.
    void go(int r) const { t->setCurrentIndex(t->model()->index(r, 0)); }
};

// Opens "Prêts..." and runs `inside` in the window; the fake closes it afterwards.
inline void inLoansWindow(AppFixture& app, std::function<void(QDialog&, Table, Table)> inside) {
    app.fakes->modal.script("formprets", [inside](QDialog& d) {
        inside(d, Table{child<QTableView>(d, "tblprets")},
               Table{child<QTableView>(d, "tblrendus")});
    });
    app.trigger("smenuprets");
}
