// The lending register on bytes: its lines read and written, damaged lines kept where
// they were, the days of a loan, the window's order, the printed list and the setting.
#include "FakeServices.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "loans/LoanSettings.h"
#include "loans/LoanSheet.h"
#include "loans/LoanView.h"
#include "platform/QtSettingsBackend.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

namespace {

const std::string header = lit("Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote") + "\r\n";

Loan loan(const std::string& ref, const std::string& borrower, LoanDate lent,
          std::optional<LoanDate> returned = {}, const std::string& title = "Titre") {
    return {ref, lit(title), lit(borrower), lent, returned, {}};
}

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

} // namespace

class TestRegister : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void daysBetweenDates_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("days");
        QTest::newRow("same day") << "3/11/2026"
                                  << "3/11/2026" << 0;
        QTest::newRow("leap day") << "28/2/2024"
                                  << "1/3/2024" << 2;
        QTest::newRow("no leap day in 2100") << "28/2/2100"
                                             << "1/3/2100" << 1;
        QTest::newRow("leap day in 2000") << "28/2/2000"
                                          << "1/3/2000" << 2;
        QTest::newRow("new year") << "31/12/2025"
                                  << "1/1/2026" << 1;
        QTest::newRow("a leap year") << "1/1/2024"
                                     << "1/1/2025" << 366;
        QTest::newRow("backwards") << "10/1/2026"
                                   << "1/1/2026" << -9;
        QTest::newRow("four centuries") << "1/1/1600"
                                        << "1/1/2000" << 146097;
    }
    void daysBetweenDates() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, days);
        const auto a = LoanDate::parse(from.toStdString());
        const auto b = LoanDate::parse(to.toStdString());
        QVERIFY(a && b);
        QCOMPARE(daysBetween(*a, *b), long(days));
    }

    void datesReadAsWritten_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read"); // empty: not a date
        QTest::newRow("no zeros") << "3/11/2026"
                                  << "3/11/2026";
        QTest::newRow("zeros of a spreadsheet") << "03/01/2026"
                                                << "3/1/2026";
        QTest::newRow("ISO, as Tellico writes") << "2026-11-03"
                                                << "3/11/2026";
        QTest::newRow("a year before 1000") << "0442-01-31"
                                            << "31/1/0442";
        QTest::newRow("29 February of a leap year") << "29/2/2024"
                                                    << "29/2/2024";
        QTest::newRow("29 February otherwise") << "29/2/2026"
                                               << "";
        QTest::newRow("month 13") << "1/13/2026"
                                  << "";
        QTest::newRow("day 0") << "0/1/2026"
                               << "";
        QTest::newRow("two-digit year") << "3/11/26"
                                        << "";
        QTest::newRow("blank around") << " 3/11/2026"
                                      << "";
        QTest::newRow("trailing text") << "3/11/2026x"
                                       << "";
        QTest::newRow("ISO without zeros") << "2026-1-3"
                                           << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void datesReadAsWritten() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const auto d = LoanDate::parse(text.toStdString());
        QCOMPARE(d ? QString::fromStdString(d->text()) : QString(), read);
    }

    // Every line of a register file: a loan, or damaged and kept as it is.
    void linesReadAsLoansOrKept_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("isLoan");
        QTest::addColumn<bool>("out");
        QTest::newRow("out") << QByteArray("12\tGerminal\tMarie\t3/11/2026\t\t") << true << true;
        QTest::newRow("returned, with a note")
            << QByteArray("12\tGerminal\tMarie\t3/11/2026\t5/11/2026\tabîmé") << true << false;
        QTest::newRow("note dropped by a spreadsheet")
            << QByteArray("12\tGerminal\tMarie\t3/11/2026\t") << true << true;
        QTest::newRow("empty title") << QByteArray("12\t\tMarie\t3/11/2026\t\t") << true << true;
        QTest::newRow("no reference")
            << QByteArray("\tGerminal\tMarie\t3/11/2026\t\t") << false << false;
        QTest::newRow("no borrower")
            << QByteArray("12\tGerminal\t\t3/11/2026\t\t") << false << false;
        QTest::newRow("no date") << QByteArray("12\tGerminal\tMarie\t\t\t") << false << false;
        QTest::newRow("bad return")
            << QByteArray("12\tGerminal\tMarie\t3/11/2026\thier\t") << false << false;
        QTest::newRow("seven fields")
            << QByteArray("12\tGerminal\tMarie\t3/11/2026\t\tx\ty") << false << false;
        QTest::newRow("commas, not tabs")
            << QByteArray("12,Germinal,Marie,3/11/2026,,") << false << false;
        QTest::newRow("a NUL") << QByteArray("12\tGerm") + QByteArray(1, '\0') +
                                      QByteArray("inal\tMarie\t3/11/2026\t\t")
                               << false << false;
        QTest::newRow("a lone CR")
            << QByteArray("12\tGerm\rinal\tMarie\t3/11/2026\t\t") << false << false;
    }
    void linesReadAsLoansOrKept() {
        QFETCH(QByteArray, line);
        QFETCH(bool, isLoan);
        QFETCH(bool, out);
        const std::string file = header + line.toStdString() + "\r\n";
        const LoanRegister reg = parseRegister(file);
        QCOMPARE(reg.lines.size(), std::size_t(1));
        QCOMPARE(reg.lines[0].number, 2);
        QCOMPARE(reg.lines[0].loan.has_value(), isLoan);
        if (isLoan) QCOMPARE(reg.lines[0].loan->out(), out);
        const LoanRegister again = parseRegister(formatRegister(reg));
        if (isLoan) {
            QCOMPARE(again.lines.at(0).loan, reg.lines[0].loan);
        } else {
            // Written again, a damaged line is the same, byte for byte.
            QCOMPARE(bytes(reg.lines[0].damaged), line);
            QCOMPARE(bytes(formatRegister(reg)), bytes(file));
        }
    }

    void writtenAsAPersonReadsIt() {
        LoanRegister reg;
        reg.lend(loan("12", "Marie Dupont", {3, 11, 2026}, {}, "Les Misérables"));
        Loan noted = loan("7", "Zoé", {1, 2, 2025});
        noted.note = lit("prêté\tavec\r\nsa jaquette");
        reg.lend(noted);
        reg.giveBack(*reg.openLoan("7"), {15, 3, 2025});
        QCOMPARE(bytes(formatRegister(reg)),
                 bytes(header + lit("12\tLes Misérables\tMarie Dupont\t3/11/2026\t\t\r\n") +
                       lit("7\tTitre\tZoé\t1/2/2025\t15/3/2025\tprêté avec  sa jaquette\r\n")));
    }

    // A hand edit or a spreadsheet leaves lines that are not loans: they stay where they
    // were, and the loans around them keep their order.
    void damagedLinesStayInPlace() {
        const std::string file = "1\tA\tMarie\t3/11/2026\t\t\n"
                                 "ligne ab\xEEm\xE9"
                                 "e\n"
                                 "\n"
                                 "2\tB\tPaul\t1/11/2026\t\t";
        LoanRegister reg = parseRegister(file);
        QCOMPARE(reg.lines.size(), std::size_t(3));
        QCOMPARE(reg.damaged().size(), std::size_t(1));
        QCOMPARE(reg.damaged()[0]->number, 2);
        reg.lend(loan("3", "Marie", {4, 11, 2026}));
        QCOMPARE(bytes(formatRegister(reg)),
                 bytes(header + "1\tA\tMarie\t3/11/2026\t\t\r\n" + "ligne ab\xEEm\xE9" + "e\r\n" +
                       "2\tB\tPaul\t1/11/2026\t\t\r\n" + "3\tTitre\tMarie\t4/11/2026\t\t\r\n"));
    }

    void headerInEitherCodingIsNoLoan() {
        const std::string utf8Header =
            "\xEF\xBB\xBFRéférence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote\r\n";
        for (const std::string& head : {header, utf8Header}) {
            const LoanRegister reg = parseRegister(head + "1\tA\tMarie\t3/11/2026\t\t\r\n");
            QCOMPARE(reg.lines.size(), std::size_t(1));
            QVERIFY(reg.lines[0].loan);
        }
        // Only the first line can be the header.
        QCOMPARE(parseRegister(header + header).damaged().size(), std::size_t(1));
    }

    void aBookOutCannotBeLentAgain() {
        LoanRegister reg;
        reg.lend(loan("12", "Marie", {3, 11, 2026}));
        QVERIFY_THROWS_EXCEPTION(Error, reg.lend(loan("12", "Paul", {4, 11, 2026})));
        QVERIFY_THROWS_EXCEPTION(Error, reg.lend(loan("", "Paul", {4, 11, 2026})));
        QVERIFY_THROWS_EXCEPTION(Error, reg.lend(loan("13", "  ", {4, 11, 2026})));
        QCOMPARE(reg.lines.size(), std::size_t(1));
        // Back, it can go out again; the first loan stays in the history.
        reg.giveBack(*reg.openLoan("12"), {5, 11, 2026});
        QVERIFY_THROWS_EXCEPTION(Error, reg.giveBack(*reg.lines[0].loan, {6, 11, 2026}));
        reg.lend(loan("12", "Paul", {6, 11, 2026}));
        QCOMPARE(reg.openLoan("12")->borrower, std::string("Paul"));
        QCOMPARE(reg.borrowers(), (std::vector<std::string>{"Marie", "Paul"}));
    }

    void missingFileIsAnEmptyRegister() {
        QTemporaryDir dir;
        const Folder folder(posixFileSystem(), dir.path().toStdString());
        QVERIFY(loadRegister(folder).lines.empty());
        QVERIFY(!QFile::exists(dir.filePath("Q7prets.txt")));
    }

    // The register's rewrite fails at each step in turn: the earlier file stays whole and
    // no scratch file is left.
    void failedRewriteKeepsTheEarlierRegister_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("code");
        QTest::newRow("disk full") << -1 << 28;
        QTest::newRow("open") << int(FaultyFileSystem::Op::Open) << 13;
        QTest::newRow("sync") << int(FaultyFileSystem::Op::Sync) << 5;
        QTest::newRow("rename") << int(FaultyFileSystem::Op::Rename) << 5;
    }
    void failedRewriteKeepsTheEarlierRegister() {
        QFETCH(int, op);
        QFETCH(int, code);
        QTemporaryDir dir;
        FaultyFileSystem fs;
        const Folder folder(fs, dir.path().toStdString());
        LoanRegister reg;
        reg.lend(loan("1", "Marie", {3, 11, 2026}));
        saveRegister(folder, reg);
        const std::string before = readBytes(dir.filePath("Q7prets.txt").toStdString());
        for (int i = 2; i < 200; ++i)
            reg.lend(loan(std::to_string(i), "Paul", {4, 11, 2026}));
        fs.onlyFor("Q7prets");
        if (op < 0)
            fs.diskFullAfter(100);
        else
            fs.failNth(FaultyFileSystem::Op(op), 1, code);
        QVERIFY_THROWS_EXCEPTION(IoError, saveRegister(folder, reg));
        fs.reset();
        QCOMPARE(bytes(readBytes(dir.filePath("Q7prets.txt").toStdString())), bytes(before));
        QVERIFY(!QFile::exists(dir.filePath("Q7prets.txt.tmp")));
        saveRegister(folder, reg);
        QCOMPARE(loadRegister(folder).lines.size(), std::size_t(199));
    }

    void scratchOfACrashIsRemoved() {
        QTemporaryDir dir;
        const Folder folder(posixFileSystem(), dir.path().toStdString());
        writeBytes(dir.filePath("Q7prets.txt").toStdString(), header);
        writeBytes(dir.filePath("Q7prets.txt.tmp").toStdString(), header + "1\tA");
        removeRegisterScratch(folder);
        QVERIFY(!QFile::exists(dir.filePath("Q7prets.txt.tmp")));
        QCOMPARE(bytes(readBytes(dir.filePath("Q7prets.txt").toStdString())), bytes(header));
    }

    // Overdue loans first, each group oldest first; the history last returned first;
    // each loan where its reference is in the catalogue.
    void windowOrderAndPlaces() {
        LoanRegister reg;
        reg.lend(loan("5", "Paul", {1, 10, 2026}));  // 67 days: overdue
        reg.lend(loan("6", "Marie", {1, 12, 2026})); // 6 days
        reg.lend(loan("7", "Marie", {7, 10, 2026})); // 61 days: overdue
        reg.lend(loan("8", "Marie", {6, 10, 2026})); // out and back
        reg.giveBack(*reg.openLoan("8"), {1, 11, 2026});
        reg.lend(loan("9", "Paul", {2, 10, 2026}));
        reg.giveBack(*reg.openLoan("9"), {2, 12, 2026});
        reg.lend(loan("10", "Zoé", {7, 12, 2026})); // lent today
        const ReferencePlaces places{{"5", {4}}, {"6", {0, 9}}};
        const LoanDate today{7, 12, 2026};

        LoanView v = viewLoans(reg, today, 60, "", places);
        auto refs = [](const std::vector<LoanRow>& rows) {
            std::vector<std::string> r;
            for (const LoanRow& row : rows)
                r.push_back(row.loan.reference);
            return r;
        };
        QCOMPARE(refs(v.out), (std::vector<std::string>{"5", "7", "6", "10"}));
        QCOMPARE(v.overdue, 2);
        QCOMPARE(v.out[0].days, 67L);
        QVERIFY(v.out[0].overdue && v.out[1].overdue && !v.out[2].overdue);
        QCOMPARE(v.out[0].records, std::vector<int>{4});
        QCOMPARE(v.out[2].records, (std::vector<int>{0, 9}));
        QVERIFY(v.out[1].records.empty());
        QCOMPARE(refs(v.returned), (std::vector<std::string>{"9", "8"}));
        QCOMPARE(v.returned[1].days, 26L);

        // A longer delay: nothing overdue, the order is the age alone.
        v = viewLoans(reg, today, 67, "", places);
        QCOMPARE(refs(v.out), (std::vector<std::string>{"5", "7", "6", "10"}));
        QCOMPARE(v.overdue, 0);
        // One borrower.
        v = viewLoans(reg, today, 60, "Marie", places);
        QCOMPARE(refs(v.out), (std::vector<std::string>{"7", "6"}));
        QCOMPARE(refs(v.returned), (std::vector<std::string>{"8"}));
    }

    void referencesFoundInTheCatalogue() {
        QTemporaryDir dir;
        std::vector<Fiche> records;
        for (const char* ref : {"1", "2", "12", "2", "3"})
            records.push_back(FicheBuilder().set(Field::numero, ref));
        writeCatalogue(dir.path().toStdString(), records);
        DataFile data(Folder(posixFileSystem(), dir.path().toStdString()));
        data.open();
        data.seek(3);
        const ReferencePlaces places = findReferences(data, {"2", "12", "99"});
        QCOMPARE(places.size(), std::size_t(2));
        QCOMPARE(places.at("2"), (std::vector<int>{1, 3}));
        QCOMPARE(places.at("12"), std::vector<int>{2});
        QCOMPARE(data.position(), 3); // the user's place kept
    }

    void printedListPages() {
        std::vector<LoanRow> rows;
        for (int i = 0; i < 120; ++i)
            rows.push_back({loan(std::to_string(i), "Marie", {1, 1, 2026}), 30 + i, i < 3, {}});
        const TextWidth width = [](std::string_view t, int points) {
            return int(t.size()) * points * 2;
        };
        const auto pages = loanSheet(rows, 3, 60, {7, 12, 2026}, lit("Marie"), width);
        QCOMPARE(pages.size(), std::size_t(3));
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const auto& calls = pages[p].calls;
            QCOMPARE(bytes(calls.front().text), bytes(lit("Livres prêtés à Marie au 7/12/2026")));
            QCOMPARE(calls.front().ink, Ink::Red);
            QCOMPARE(bytes(calls.back().text), bytes("Page " + std::to_string(p + 1) + " / 3"));
            for (const DrawCall& c : calls)
                QVERIFY(c.y >= 160 && c.y <= 3440 && c.x >= 100 && c.x + c.width <= 2590);
        }
        // Five draws a loan, fifty loans a page, overdue ones red.
        QCOMPARE(pages[0].calls.size(), std::size_t(7 + 50 * 5 + 1));
        QCOMPARE(pages[2].calls.size(), std::size_t(7 + 20 * 5 + 1));
        QCOMPARE(bytes(pages[0].calls[1].text),
                 bytes(lit("120 livres prêtés, dont 3 depuis plus de 60 jours")));
        QCOMPARE(pages[0].calls[7 + 2 * 5].ink, Ink::Red);
        QCOMPARE(pages[0].calls[7 + 3 * 5].ink, Ink::Black);
        QCOMPARE(bytes(pages[1].calls[7].text), bytes("50"));

        const auto empty = loanSheet({}, 0, 60, {7, 12, 2026}, "", width);
        QCOMPARE(empty.size(), std::size_t(1));
        QCOMPARE(bytes(empty[0].calls[1].text), bytes(lit("Aucun livre n'est prêté.")));
    }

    void delaySetting_data() {
        QTest::addColumn<QString>("stored"); // "-": missing
        QTest::addColumn<int>("days");
        QTest::newRow("missing") << "-" << 60;
        QTest::newRow("set") << "90" << 90;
        QTest::newRow("not a number") << "deux mois" << 60;
        QTest::newRow("zero") << "0" << 60;
        QTest::newRow("too long") << "99999" << 60;
    }
    void delaySetting() {
        QFETCH(QString, stored);
        QFETCH(int, days);
        FakeSettingsBackend store;
        if (stored != "-") store.set("Prets/delai", stored.toStdString());
        QCOMPARE(readLoanDelay(store), days);
    }

    // In the settings file the delay has a group of its own, beside the seven settings.
    void delayInAGroupOfItsOwn() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("wutfn.ini");
        {
            QtSettingsBackend store(ini);
            store.openKey();
            store.write("devise", "Euros");
            writeLoanDelay(store, 45);
            QCOMPARE(readLoanDelay(store), 45);
        }
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[Prets]\ndelai=45") || text.contains("[Prets]\r\ndelai=45"),
                 text.constData());
        QVERIFY(text.contains("[Lirabel3]"));
    }
};

QTEST_MAIN(TestRegister)
#include "tst_register.moc"
