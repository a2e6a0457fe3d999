// Loans through the real windows: lending and taking back from the record window, the
// status line, the delete question, the loans window (order, colour, filter, Enter,
// "Rendu", references shared or gone), and the bytes of Q7prets.txt after each step.
#include "AppFixture.h"
#include "loans/LoanBook.h"
#include "loans/Q7prets.h"
#include "PdfPrinter.h"
#include "PdfText.h"
#include "store/Cp1252.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDateEdit>
#include <QFile>
#include <QProcess>
#include <QSpinBox>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using q7::Field;

// Bytes of the register shown as bytes when a comparison fails.
namespace QTest {
template <> inline char* toString(const std::string& s) {
    return toPrettyCString(s.data(), qsizetype(s.size()));
}
} // namespace QTest

namespace {

const std::string header =
    q7::lit("Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote") + "\r\n";

std::vector<q7::Fiche> books(std::initializer_list<std::pair<const char*, const char*>> list) {
    std::vector<q7::Fiche> out;
    for (const auto& [ref, title] : list)
        out.push_back(FicheBuilder().set(Field::numero, ref).set(Field::titre, title));
    return out;
}

const auto classics = books({{"1", "Germinal"},
                             {"2", "Les Misérables"},
                             {"3", "Madame Bovary"},
                             {"4", "Le Rouge et le Noir"},
                             {"4", "L'Étranger"}});

std::string line(const std::string& utf8) {
    return q7::lit(utf8) + "\r\n";
}

std::string registerOf(const AppFixture& app) {
    const QString path = app.path("Q7prets.txt");
    return QFile::exists(path) ? readBytes(path.toStdString()) : "(absent)";
}

void setRegister(const AppFixture& app, const std::string& bytes) {
    writeBytes(app.path("Q7prets.txt").toStdString(), bytes);
}

// Shows record `index` as a collector browses to it.
void browseTo(AppFixture& app, int index) {
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
void scriptLend(AppFixture& app, const QString& borrower, const QString& note = {}) {
    app.fakes->modal.script("formpreter", [borrower, note](QDialog& d) {
        auto* who = child<QComboBox>(d, "cbemprunteur");
        typeText(who->lineEdit(), borrower);
        who->completer()->popup()->hide();
        typeText(child<QLineEdit>(d, "edtnote"), note);
        QTest::mouseClick(child<QPushButton>(d, "btpreter"), Qt::LeftButton);
    });
}

QString loanLine(AppFixture& app) {
    return app.ui().lblpret->text();
}

bool shownRed(QLabel* label) {
    label->ensurePolished();
    return label->palette().color(label->foregroundRole()) == QColor(255, 0, 0);
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
void inLoansWindow(AppFixture& app, std::function<void(QDialog&, Table, Table)> inside) {
    app.fakes->modal.script("formprets", [inside](QDialog& d) {
        inside(d, Table{child<QTableView>(d, "tblprets")},
               Table{child<QTableView>(d, "tblrendus")});
    });
    app.trigger("smenuprets");
}

} // namespace

class TestLoans : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lendRefuseReturn() {
        AppFixture app(classics);
        app.start();
        QVERIFY(!app.ui().menuPreter->isEnabled() && !app.ui().menuRetourPret->isEnabled());
        QVERIFY(app.ui().smenuprets->isEnabled());
        browseTo(app, 1);
        QVERIFY(app.ui().menuPreter->isEnabled() && app.ui().menuRetourPret->isEnabled());
        QCOMPARE(loanLine(app), QString());

        scriptLend(app, "Marie Dupont", "avec sa jaquette");
        app.trigger("menuPreter");
        QCOMPARE(registerOf(app),
                 header + line("2\tLes Misérables\tMarie Dupont\t7/12/2026\t\tavec sa jaquette"));
        QCOMPARE(loanLine(app), QString("Prêté à Marie Dupont depuis le 7/12/2026"));
        QVERIFY(shownRed(app.ui().lblpret));
        QCOMPARE(app.dialogs().log, QStringList());

        // Out already: refused before any dialog, nothing written.
        app.fakes->modal.shown.clear();
        app.trigger("menuPreter");
        QCOMPARE(app.dialogs().boxes(),
                 QStringList{"message:Ce livre est déjà prêté à Marie Dupont depuis le 7/12/2026 "
                             ": enregistrez d'abord son retour (Retour du prêt)."});
        QCOMPARE(app.fakes->modal.shown, QStringList());
        QCOMPARE(registerOf(app),
                 header + line("2\tLes Misérables\tMarie Dupont\t7/12/2026\t\tavec sa jaquette"));

        // The line follows the book shown.
        app.ui().spbsuivant->click();
        QCOMPARE(loanLine(app), QString());
        app.ui().spbprecedent->click();
        QCOMPARE(loanLine(app), QString("Prêté à Marie Dupont depuis le 7/12/2026"));

        app.dialogs().clear();
        app.fakes->clock.day = {9, 12, 2026};
        app.trigger("menuRetourPret");
        QCOMPARE(
            registerOf(app),
            header +
                line("2\tLes Misérables\tMarie Dupont\t7/12/2026\t9/12/2026\tavec sa jaquette"));
        QCOMPARE(loanLine(app), QString());
        QCOMPARE(app.dialogs().log, QStringList());
        app.trigger("menuRetourPret");
        QCOMPARE(app.dialogs().boxes(), QStringList{"message:Ce livre n'est pas prêté."});

        // Back, it goes out again; the first loan stays as history.
        scriptLend(app, "Paul");
        app.trigger("menuPreter");
        QCOMPARE(
            registerOf(app),
            header +
                line("2\tLes Misérables\tMarie Dupont\t7/12/2026\t9/12/2026\tavec sa jaquette") +
                line("2\tLes Misérables\tPaul\t9/12/2026\t\t"));
        QCOMPARE(app.state().data.position(), 2); // the place in the catalogue kept
    }

    void lendDialog() {
        AppFixture app(classics);
        setRegister(app, header + line("9\tX\tZoé\t1/1/2026\t2/1/2026\t") +
                             line("8\tY\tmarie\t1/1/2026\t\t") +
                             line("7\tZ\tAlbert\t1/1/2026\t\t") + line("6\tW\tZoé\t1/1/2026\t\t"));
        const std::string before = registerOf(app);
        app.start();
        browseTo(app, 0);
        QStringList offered;
        QString date, text;
        app.fakes->modal.script("formpreter", [&](QDialog& d) {
            auto* who = child<QComboBox>(d, "cbemprunteur");
            for (int i = 0; i < who->count(); ++i)
                offered << who->itemText(i);
            text = who->currentText();
            date = child<QDateEdit>(d, "edtdate")->text();
            // Nobody named: said so, the dialog stays.
            QTest::mouseClick(child<QPushButton>(d, "btpreter"), Qt::LeftButton);
            QVERIFY(d.isVisible());
            // A day to come: said so.
            who->setCurrentIndex(0);
            child<QDateEdit>(d, "edtdate")->setDate(QDate(2026, 12, 8));
            QTest::mouseClick(child<QPushButton>(d, "btpreter"), Qt::LeftButton);
            QVERIFY(d.isVisible());
            child<QPushButton>(d, "btannuler")->click();
        });
        app.trigger("menuPreter");
        QCOMPARE(offered, (QStringList{"Albert", "marie", "Zoé"}));
        QCOMPARE(text, QString());
        QCOMPARE(date, QString("7/12/2026"));
        QCOMPARE(app.dialogs().boxes(),
                 (QStringList{"message:Le nom de l'emprunteur est vide !",
                              "message:La date du prêt est après aujourd'hui (7/12/2026) : "
                              "corrigez-la."}));
        QCOMPARE(registerOf(app), before); // cancelled

        // A name typed with stray blanks is kept tidy; an earlier day is taken.
        app.fakes->modal.script("formpreter", [](QDialog& d) {
            typeText(child<QComboBox>(d, "cbemprunteur")->lineEdit(), "  Jean   Valjean ");
            child<QComboBox>(d, "cbemprunteur")->completer()->popup()->hide();
            child<QDateEdit>(d, "edtdate")->setDate(QDate(2026, 11, 30));
            QTest::mouseClick(child<QPushButton>(d, "btpreter"), Qt::LeftButton);
        });
        app.trigger("menuPreter");
        QVERIFY(registerOf(app).ends_with(line("1\tGerminal\tJean Valjean\t30/11/2026\t\t")));
    }

    // Ctrl+Shift+P and Ctrl+Shift+R reach their items with the caret in a field.
    void shortcutsOverTheFields() {
        AppFixture app(classics);
        app.start();
        browseTo(app, 0);
        scriptLend(app, "Marie");
        app.ui().cbtitre->setFocus();
        QTest::keyClick(app.ui().cbtitre->lineEdit(), Qt::Key_P,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(app.fakes->modal.shown, QStringList{"formpreter"});
        QCOMPARE(loanLine(app), QString("Prêté à Marie depuis le 7/12/2026"));
        // Back from the dialog, as the window manager gives it back.
        QApplication::setActiveWindow(&app.w());
        app.ui().cbtitre->setFocus();
        QTest::keyClick(app.ui().cbtitre->lineEdit(), Qt::Key_R,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(loanLine(app), QString());
        QVERIFY(registerOf(app).ends_with("\t7/12/2026\t7/12/2026\t\r\n"));
    }

    // A record just saved is shown and can be lent; a record being typed cannot.
    void lendRightAfterSaving() {
        AppFixture app;
        app.start();
        app.trigger("menuNouvelle");
        QVERIFY(!app.ui().menuPreter->isEnabled() && !app.ui().smenuprets->isEnabled());
        typeInto(app.ui().cbtitre, "Nana");
        app.trigger("menuEnregistrer");
        QVERIFY(app.ui().menuPreter->isEnabled());
        scriptLend(app, "Marie");
        app.trigger("menuPreter");
        QCOMPARE(registerOf(app), header + line("1\tNana\tMarie\t7/12/2026\t\t"));
        QCOMPARE(loanLine(app), QString("Prêté à Marie depuis le 7/12/2026"));
        app.trigger("menuRetour");
        QVERIFY(!app.ui().menuPreter->isEnabled());
        QCOMPARE(loanLine(app), QString());
    }

    void deleteAsksAboutABookOut_data() {
        QTest::addColumn<bool>("confirmesup");
        QTest::addColumn<bool>("yes");
        QTest::newRow("questions on, no") << true << false;
        QTest::newRow("questions on, yes") << true << true;
        QTest::newRow("questions off, no") << false << false;
        QTest::newRow("questions off, yes") << false << true;
    }
    void deleteAsksAboutABookOut() {
        QFETCH(bool, confirmesup);
        QFETCH(bool, yes);
        AppFixture app(classics);
        app.fakes->settings.set("confirmesup", confirmesup ? "1" : "0");
        const std::string reg = header + line("2\tLes Misérables\tMarie\t1/12/2026\t\t");
        setRegister(app, reg);
        app.start();
        browseTo(app, 1);
        app.dialogs().answers = {yes};
        app.trigger("menuEffacer");
        QCOMPARE(app.dialogs().boxes().first(),
                 QString("confirm:Ce livre est prêté à Marie : l'effacer quand même ?"));
        QCOMPARE(app.records().size(), std::size_t(yes ? 4 : 5));
        QCOMPARE(registerOf(app), reg); // the loan stays
        // A book not out is asked about as it always was.
        browseTo(app, 0);
        app.dialogs().clear();
        app.dialogs().answers = {false};
        app.trigger("menuEffacer");
        QCOMPARE(app.dialogs().boxes().first(), confirmesup
                                                    ? QString("confirm:Effacer cette fiche O/N ?")
                                                    : QString("message:Fiche éffacée"));
    }

    void loansWindow() {
        AppFixture app(classics);
        setRegister(app, header + line("1\tGerminal\tMarie\t3/11/2026\t\t") +
                             line("2\tLes Misérables\tPaul\t2/4/2026\t\tsans jaquette") +
                             line("4\tLe Rouge et le Noir\tZoé\t1/10/2026\t\t") +
                             line("9\tLe Horla\tPaul\t1/9/2026\t\t") +
                             line("3\tMadame Bovary\tMarie\t1/1/2026\t1/2/2026\t"));
        app.start();
        inLoansWindow(app, [](QDialog& d, Table out, Table back) {
            QCOMPARE(out.column(0), (QStringList{"2", "9", "4", "1"}));
            QCOMPARE(out.column(4), (QStringList{"249", "97", "67", "34"}));
            QCOMPARE(out.column(5),
                     (QStringList{"n° 2", "(fiche absente)", "n° 4 (2 fiches)", "n° 1"}));
            QCOMPARE(out.cell(0, 6), QString("sans jaquette"));
            QVERIFY(out.red(0) && out.red(1) && out.red(2) && !out.red(3));
            QCOMPARE(child<QLabel>(d, "lblresume")->text(),
                     QString("4 livres prêtés, dont 3 en retard"));
            QCOMPARE(back.column(0), QStringList{"3"});
            QCOMPARE(back.cell(0, 4), QString("1/2/2026"));

            // One borrower.
            auto* who = child<QComboBox>(d, "cbemprunteur");
            QCOMPARE(who->itemText(0), QString("Tous les emprunteurs"));
            who->setCurrentIndex(who->findText("Marie"));
            QCOMPARE(out.column(0), QStringList{"1"});
            QCOMPARE(back.column(0), QStringList{"3"});
            who->setCurrentIndex(who->findText("Paul"));
            QCOMPARE(out.column(0), (QStringList{"2", "9"}));
            QCOMPARE(back.column(0), QStringList());
            who->setCurrentIndex(0);

            // A longer delay: nothing overdue any more, the order stays the age.
            child<QSpinBox>(d, "spdelai")->setValue(250);
            QCOMPARE(out.column(0), (QStringList{"2", "9", "4", "1"}));
            QVERIFY(!out.red(0));
            QCOMPARE(child<QLabel>(d, "lblresume")->text(), QString("4 livres prêtés"));
        });
        QCOMPARE(app.fakes->settings.values.at("Prets/delai"), std::string("250"));

        // The delay is kept: 67 days is not overdue any more.
        inLoansWindow(app, [](QDialog& d, Table out, Table) {
            QCOMPARE(child<QSpinBox>(d, "spdelai")->value(), 250);
            QVERIFY(!out.red(2));
        });

        // Enter on a book whose reference two records share shows the first.
        inLoansWindow(app, [](QDialog&, Table out, Table) {
            out.t->setFocus();
            out.go(2);
            QTest::keyClick(out.t, Qt::Key_Return);
        });
        QCOMPARE(app.ui().cbtitre->currentText(), QString("Le Rouge et le Noir"));
        QCOMPARE(app.state().data.position(), 4);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("4/5"));
        QCOMPARE(app.ui().lblinfo->text(), QString("Recherche par liste"));
        QVERIFY(app.ui().spbprecedent->isEnabled()); // browsing goes on from there
        QCOMPARE(loanLine(app), QString("Prêté à Zoé depuis le 1/10/2026"));
        app.ui().spbsuivant->click();
        QCOMPARE(app.ui().cbtitre->currentText(), QString("L'Étranger"));

        // A book no record has any more: said so, the window stays.
        app.dialogs().clear();
        bool stayed = false;
        inLoansWindow(app, [&](QDialog& d, Table out, Table) {
            out.go(1);
            QTest::keyClick(out.t, Qt::Key_Return);
            stayed = d.isVisible();
        });
        QVERIFY(stayed);
        QCOMPARE(app.dialogs().boxes(),
                 QStringList{"message:« Le Horla » (référence 9) n'est plus dans le catalogue : "
                             "sa fiche a été effacée ou a changé de référence. Le prêt reste "
                             "inscrit."});
        QCOMPARE(app.ui().cbtitre->currentText(), QString("L'Étranger"));

        // "Rendu" on Germinal: back today, into the history; the status line follows.
        browseTo(app, 0);
        QCOMPARE(loanLine(app), QString("Prêté à Marie depuis le 3/11/2026"));
        inLoansWindow(app, [](QDialog& d, Table out, Table back) {
            out.go(3);
            QTest::mouseClick(child<QPushButton>(d, "btrendu"), Qt::LeftButton);
            QCOMPARE(out.column(0), (QStringList{"2", "9", "4"}));
            QCOMPARE(back.column(0), (QStringList{"1", "3"}));
        });
        QVERIFY(registerOf(app).find(line("1\tGerminal\tMarie\t3/11/2026\t7/12/2026\t")) !=
                std::string::npos);
        QCOMPARE(loanLine(app), QString());
        QCOMPARE(app.state().data.position(), 1);
    }

    // A deleted book's loan stays, marked; nothing in the register is lost.
    void deletedBooksLoan() {
        AppFixture app(classics);
        app.fakes->settings.set("confirmesup", "0");
        app.start();
        browseTo(app, 1);
        scriptLend(app, "Marie");
        app.trigger("menuPreter");
        const std::string lent = registerOf(app);
        app.trigger("menuEffacer");
        QCOMPARE(app.records().size(), std::size_t(4));
        QCOMPARE(registerOf(app), lent);
        app.dialogs().clear();
        inLoansWindow(app, [](QDialog&, Table out, Table) {
            QCOMPARE(out.column(0), QStringList{"2"});
            QCOMPARE(out.cell(0, 5), QString("(fiche absente)"));
            QTest::keyClick(out.t, Qt::Key_Return);
        });
        QCOMPARE(app.dialogs().boxes().size(), 1);
        QVERIFY(app.dialogs().boxes()[0].contains("n'est plus dans le catalogue"));
    }

    void damagedLineKeptAndToldOnce() {
        AppFixture app(classics);
        const std::string damaged = "Germinal pr\xEAt\xE9 \xE0 Marie le 3 novembre";
        setRegister(app, header + line("3\tMadame Bovary\tPaul\t1/12/2026\t\t") + damaged + "\r\n");
        app.start();
        browseTo(app, 0);
        scriptLend(app, "Marie");
        app.trigger("menuPreter");
        QCOMPARE(app.dialogs().boxes(),
                 QStringList{"message:Q7prets.txt : la ligne 3 ne se lit pas comme un prêt ; elle "
                             "est gardée telle quelle."});
        QCOMPARE(registerOf(app), header + line("3\tMadame Bovary\tPaul\t1/12/2026\t\t") + damaged +
                                      "\r\n" + line("1\tGerminal\tMarie\t7/12/2026\t\t"));
        app.dialogs().clear();
        app.trigger("menuRetourPret");
        inLoansWindow(app, [](QDialog&, Table, Table) {});
        QCOMPARE(app.dialogs().log, QStringList());
        QVERIFY(registerOf(app).find(damaged) != std::string::npos);
    }

    // The disk fills up while the register is rewritten: the earlier one stays whole and
    // the book is not shown as lent.
    void fullDiskKeepsTheRegister() {
        AppFixture app(classics);
        setRegister(app, header + line("3\tMadame Bovary\tPaul\t1/12/2026\t\t"));
        const std::string before = registerOf(app);
        app.start();
        browseTo(app, 0);
        app.fs.onlyFor("Q7prets");
        app.fs.diskFullAfter(20);
        scriptLend(app, "Marie");
        app.trigger("menuPreter");
        QCOMPARE(app.dialogs().boxes(), QStringList{"error:Disque plein."});
        QCOMPARE(registerOf(app), before);
        QVERIFY(!QFile::exists(app.path("Q7prets.txt.tmp")));
        QCOMPARE(loanLine(app), QString());
        // Room again: the same command works.
        app.fs.reset();
        scriptLend(app, "Marie");
        app.trigger("menuPreter");
        QCOMPARE(loanLine(app), QString("Prêté à Marie depuis le 7/12/2026"));
    }

    // What a crash left beside the register is gone once the program holds the folder.
    void scratchRemovedAtOpening() {
        AppFixture app(classics);
        setRegister(app, header);
        writeBytes(app.path("Q7prets.txt.tmp").toStdString(), header + "1\tGerm");
        app.start();
        QVERIFY(!QFile::exists(app.path("Q7prets.txt.tmp")));
        QCOMPARE(registerOf(app), header);
    }

    // The list of books out on paper: the project's PDF printer, read back.
    void printedListReadsBack() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        AppFixture app(classics);
        std::string reg = header;
        for (int i = 0; i < 60; ++i)
            reg += line(std::to_string(100 + i) + "\tLivre " + std::to_string(i) +
                        "\tMarie Dupont\t" + std::to_string(1 + i % 28) + "/11/2026\t\t");
        reg += line("2\tLes Misérables\tPaul\t2/4/2026\t\t");
        setRegister(app, reg);
        app.start();
        const QString pdf = app.path("prets.pdf");
        PdfPrinter printer(pdf);
        FakeServices& f = *app.fakes;
        Services services{f.dialogs,  printer, f.launcher, f.clock,   f.cursor,
                          f.settings, f.modal, app.fs,     app.dir(), QStringLiteral("Lirabel3"),
                          {}};
        Tformprets form(app.state(), services);
        LoanBook book(app.state(), services);
        auto print = [&](const QString& borrower) {
            f.modal.script("formprets", [borrower](QDialog& d) {
                auto* who = child<QComboBox>(d, "cbemprunteur");
                if (!borrower.isEmpty()) who->setCurrentIndex(who->findText(borrower));
                QTest::mouseClick(child<QPushButton>(d, "btimprimer"), Qt::LeftButton);
            });
            form.execute(book);
        };

        print({});
        QCOMPARE(f.dialogs.log, QStringList());
        PdfText text = readPdfText(pdf);
        QCOMPARE(text.pages, 2);
        QVERIFY(std::abs(text.width - 595.3) < 1 && std::abs(text.height - 841.9) < 1); // A4
        QStringList words;
        for (const PdfWord& w : text.words)
            words << w.text;
        QCOMPARE(words.count("Page"), 2);
        QVERIFY(words.join(' ').contains("Page 1 / 2"));
        QVERIFY(words.join(' ').contains("Page 2 / 2"));
        QCOMPARE(words.count("Livres"), 2); // the heading on each page
        QVERIFY(words.contains("Misérables"));
        const double margin = 5 / 25.4 * 72;
        for (const PdfWord& w : text.words)
            QVERIFY(w.xMin > margin - 0.5 && w.xMax < text.width - margin &&
                    w.yMin > margin - 0.5 && w.yMax < text.height - margin);
        QCOMPARE(printer.job()->colorMode(), QPrinter::Color);

        // One borrower, one page: the heading names him, in red, his overdue book too.
        print("Paul");
        text = readPdfText(pdf);
        QCOMPARE(text.pages, 1);
        const QList<QList<PdfWord>> lines = pdfLines(text, 2);
        QCOMPARE(joined(lines[0]), QString("Livres prêtés à Paul au 7/12/2026"));
        QCOMPARE(joined(lines[1]), QString("1 livre prêté, dont 1 depuis plus de 60 jours"));
        QCOMPARE(joined(lines[2]), QString("Réf. Titre Emprunteur Depuis le Jours"));
        QCOMPARE(joined(lines[3]), QString("2 Les Misérables Paul 2/4/2026 249"));
        QCOMPARE(joined(lines.last()), QString("Page 1 / 1"));
        QVERIFY(lines.last().first().yMin > text.height * 0.9);

        QProcess::execute("pdftoppm", {"-r", "144", "-png", "-singlefile", pdf, app.path("prets")});
        const QImage image(app.path("prets.png"));
        QVERIFY(!image.isNull());
        auto colours = [&](const QList<PdfWord>& l) {
            int red = 0, black = 0;
            for (int y = int(l.first().yMin * 2); y < int(l.first().yMax * 2); ++y)
                for (int x = int(l.first().xMin * 2); x < int(l.last().xMax * 2); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
                    black += c.red() < 90 && c.green() < 90 && c.blue() < 90;
                }
            return std::pair(red, black);
        };
        for (int i : {0, 3}) {
            const auto [red, black] = colours(lines[i]);
            QVERIFY2(red > 20 && black == 0, qPrintable(joined(lines[i])));
        }
        const auto [red, black] = colours(lines[2]);
        QVERIFY(black > 20 && red == 0);
    }
};

QTEST_MAIN(TestLoans)
#include "tst_loans.moc"
