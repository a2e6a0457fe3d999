// The loans window: order and colour of the books out, the filter, the delay, Enter,
// "Rendu", references shared or gone, and the printed list read back.
#include "loans/LoanBook.h"
#include "loans/Q7prets.h"
#include "LoanTestSupport.h"
#include "PdfPrinter.h"
#include "PdfText.h"

#include <QProcess>
#include <QSpinBox>
#include <QTableView>

class TestLoansWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
            // Where the reference says it all, nothing more; the titles have the room.
            QCOMPARE(out.column(5), (QStringList{"", "(fiche absente)", "2 fiches", ""}));
            auto* view = child<QTableView>(d, "tblprets");
            QVERIFY(view->columnWidth(1) >= view->fontMetrics().horizontalAdvance(
                                                "Le Rouge et le Noir, chronique de 1830"));
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
        Services services = f.printingOn(printer);
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

QTEST_MAIN(TestLoansWindow)
#include "tst_loanswindow.moc"
