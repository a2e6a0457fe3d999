// Lending and taking back from the record window: the status line, the lend dialog, the
// keys, the delete question, a damaged line, a full disk, and the bytes of Q7prets.txt
// after each step.
#include "LoanTestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDateEdit>

class TestLending : public QObject {
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

    // A borrower already known, picked among the names offered or typed whole: one Enter.
    void oneEnterForAKnownBorrower_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("picked"); // Down chooses the first name offered
        QTest::addColumn<QString>("lentTo");
        QTest::newRow("picked") << "zo" << true << "Zoé";
        QTest::newRow("typed whole, in lower case") << "albert" << false << "Albert";
        QTest::newRow("the start of a name, nothing picked") << "Zo" << false << "";
    }
    void oneEnterForAKnownBorrower() {
        QFETCH(QString, typed);
        QFETCH(bool, picked);
        QFETCH(QString, lentTo);
        AppFixture app(classics);
        setRegister(app, header + line("9\tX\tZoé\t1/1/2026\t2/1/2026\t") +
                             line("7\tZ\tAlbert\t1/1/2026\t\t"));
        app.start();
        browseTo(app, 0);
        bool open = true;
        app.fakes->modal.script("formpreter", [&](QDialog& d) {
            auto* who = child<QComboBox>(d, "cbemprunteur");
            typeText(who->lineEdit(), typed);
            QAbstractItemView* names = who->completer()->popup();
            QVERIFY(names->isVisible());
            if (picked) QTest::keyClick(names, Qt::Key_Down);
            QTest::keyClick(names, Qt::Key_Return);
            open = d.isVisible();
        });
        app.trigger("menuPreter");
        QCOMPARE(open, lentTo.isEmpty());
        QCOMPARE(loanLine(app),
                 lentTo.isEmpty() ? QString() : "Prêté à " + lentTo + " depuis le 7/12/2026");
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
};

QTEST_MAIN(TestLending)
#include "tst_lending.moc"
