// A Tellico file's loans through lirabel3-import: added to Q7prets.txt as loans of the
// books imported, each once, those already there never changed, taken back by --annuler.
#include "FicheBuilder.h"
#include "import/CommandLine.h"
#include "LoanSamples.h"
#include "store/Cp1252.h"

#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace q7;
using namespace q7::import;

namespace QTest {
template <> inline char* toString(const std::string& s) {
    return toPrettyCString(s.data(), qsizetype(s.size()));
}
} // namespace QTest

namespace {

std::time_t march5() {
    std::tm t{};
    t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 10, t.tm_min = 15, t.tm_isdst = -1;
    return std::mktime(&t);
}

struct Run {
    int code;
    std::string out, err;
};

Run run(std::vector<std::string> args, std::time_t now = march5()) {
    std::ostringstream out, err;
    Console console{out, err, false, now};
    const int code = runImport(args, console);
    return {code, out.str(), err.str()};
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const std::string header = lit("Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote\r\n");

} // namespace

class TestImportLoans : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;
    std::string dir_, file_, register_;

    std::string registerBytes() const { return readBytes(register_); }

private Q_SLOTS:
    void init() {
        QVERIFY(tmp.isValid());
        dir_ = tmp.path().toStdString();
        file_ = dir_ + "/livres.xml";
        register_ = dir_ + "/Q7prets.txt";
        writeBytes(file_, samples::tellicoWithLoans());
        writeCatalogue(
            dir_,
            {FicheBuilder().set(Field::titre, "Nadja").numero(1),
             FicheBuilder().set(Field::titre, "Les Misérables").set(Field::auteur, "x").numero(3)});
        // Book 4 was deleted while lent; a line a hand edit spoilt.
        writeBytes(register_, header + lit("4\tLe Horla\tZoé\t1/2/2024\t\t\r\n") +
                                  "3\tLes Mis\xE9rables\tPaul\t1/1/2024\t2/1/2024\t\r\n" +
                                  "rendu un jour\r\n");
    }
    void cleanup() {
        QDir(tmp.path()).removeRecursively();
        QDir().mkpath(tmp.path());
    }

    // Where Tellico writes the loans, and inside the collection as older files do.
    void loansOfTheBooksImported_data() {
        QTest::addColumn<bool>("inside");
        QTest::newRow("after the collection") << false;
        QTest::newRow("inside the collection") << true;
    }
    void loansOfTheBooksImported() {
        QFETCH(bool, inside);
        writeBytes(file_, samples::tellicoWithLoans(inside ? samples::LoansPlace::insideCollection
                                                           : samples::LoansPlace::afterCollection));
        const std::string before = registerBytes();
        const Run trial = run({"--dossier", dir_, file_});
        QCOMPARE(trial.code, 0);
        QCOMPARE(registerBytes(), before); // a trial writes nothing

        const Run r = run({"--ajouter", "--dossier", dir_, file_});
        QCOMPARE(r.code, 0);
        // Germinal and Nana are in; 3 is the catalogue's and 4 is a book out: not given.
        const auto records = readCatalogue(dir_);
        QCOMPARE(records.size(), std::size_t(4));
        QCOMPARE(records[2].text(Field::numero), std::string("5"));
        QCOMPARE(records[3].text(Field::numero), std::string("6"));
        // Earlier lines as they were, then one line a loan, Marie's once.
        QCOMPARE(registerBytes(),
                 before + lit("5\tGerminal\tMarie Dupont\t20/2/2024\t\tavec sa jaquette\r\n") +
                     "6\tNana\tPaul\t1/3/2024\t\t\r\n");
        for (const std::string& report : {trial.out, r.out}) {
            QVERIFY2(has(report, "Prêts repris dans Q7prets.txt : 2\n"
                                 "  entrée 1 (id 1) : prêté à Marie Dupont le 20/2/2024 "
                                 "(référence 5)\n"
                                 "  entrée 2 (id 2) : prêt à Paul non repris : le livre n'est pas "
                                 "importé\n"
                                 "  entrée 3 (id 3) : prêté à Paul le 1/3/2024 (référence 6)\n"),
                     report.c_str());
            QVERIFY(has(report, "Prêt à Paul d'une entrée absente du fichier (77) : non repris"));
        }

        // Undone with the books; what was there before is left as it was.
        const Run undo = run({"--annuler", "--dossier", dir_}, march5() + 60);
        QCOMPARE(undo.code, 0);
        QVERIFY(has(undo.out, "2 prêt(s) de cette importation retiré(s) de Q7prets.txt."));
        QCOMPARE(readCatalogue(dir_).size(), std::size_t(2));
        QCOMPARE(registerBytes(), before);
    }

    // No register before: one is made; after the undo it holds only its header.
    void registerMadeWhenMissing() {
        QFile::remove(QString::fromStdString(register_));
        QCOMPARE(run({"--ajouter", "--dossier", dir_, file_}).code, 0);
        QCOMPARE(registerBytes(),
                 header + lit("4\tGerminal\tMarie Dupont\t20/2/2024\t\tavec sa jaquette\r\n") +
                     "5\tNana\tPaul\t1/3/2024\t\t\r\n");
        QCOMPARE(run({"--annuler", "--dossier", dir_}, march5() + 60).code, 0);
        QCOMPARE(registerBytes(), header);
    }
};

QTEST_MAIN(TestImportLoans)
#include "tst_importloans.moc"
