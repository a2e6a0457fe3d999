// The sorting and statistics windows driven as a user would, offscreen, with fake
// services; results checked on the widgets, the bytes on disk and the printed page.
#include "FakeServices.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "maint/Q7ficq7.h"
#include "maint/Q7info.h"
#include "PdfPrinter.h"
#include "PdfText.h"
#include "record/AppState.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

namespace {

// A working folder with its catalogue open, and the fake services.
struct Desk {
    QTemporaryDir tmp;
    FaultyFileSystem fs;
    std::unique_ptr<AppState> state;
    std::unique_ptr<FakeServices> fake;

    explicit Desk(const std::vector<Fiche>& records) {
        writeCatalogue(dir(), records);
        state = std::make_unique<AppState>(Folder(fs, dir()));
        state->data.open();
        fake = std::make_unique<FakeServices>(fs, dir());
    }
    std::string dir() const { return tmp.path().toStdString(); }
    std::string catalogue() const { return readBytes(dir() + "/Q7.dat"); }
    void write(const char* name, const std::string& bytes) {
        writeBytes(dir() + "/" + name, bytes);
    }
    bool hasTemp() const { return QFile::exists(tmp.filePath(QStringLiteral("Q7.tmp"))); }
};

template <typename W> W* child(QWidget& form, const char* name) {
    W* w = form.findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

std::vector<Fiche> records(Field field, const QStringList& values) {
    std::vector<Fiche> out;
    int n = 0;
    for (const QString& v : values) {
        Fiche f = FicheBuilder().set(Field::titre, "Titre").numero(++n);
        f.setText(field, utf8ToCp1252(v.toStdString()));
        out.push_back(f);
    }
    return out;
}

QStringList numeros(const std::string& dir) {
    QStringList out;
    for (const auto& r : readCatalogue(dir))
        out << QString::fromStdString(r.text(Field::numero));
    return out;
}

Fiche book(const char* pages, const char* price, unsigned char lut = 0) {
    return FicheBuilder().set(Field::nbpage, pages).set(Field::prix, price).flag(Flag::lut, lut);
}

} // namespace

class TestMaintWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sortChoicesComeFromTheirLists() {
        Desk d(records(Field::auteur, {"Hugo"}));
        d.write("Q7auteur.lst", lit("Zola\r\nHugo\r\nÉmile Ajar\r\n"));
        d.write("Q7COLLECTION.LST", "Folio\r\n");
        Tformfic form(*d.state, d.fake->services);
        child<QComboBox>(form, "cbauteur")->setEditText(QStringLiteral("Dupont"));
        child<QRadioButton>(form, "rbauteur")->setChecked(true);
        form.show();

        auto* cbauteur = child<QComboBox>(form, "cbauteur");
        QCOMPARE(cbauteur->count(), 3);
        QCOMPARE(cbauteur->itemText(0), QStringLiteral("Zola"));
        QCOMPARE(cbauteur->itemText(2), QStringLiteral("Émile Ajar"));
        QCOMPARE(cbauteur->currentText(), QStringLiteral("Dupont"));
        QCOMPARE(child<QComboBox>(form, "cbcollection")->itemText(0), QStringLiteral("Folio"));
        QVERIFY(child<QRadioButton>(form, "rbalpha")->isChecked());
        QCOMPARE(child<QProgressBar>(form, "Gauge1")->value(), 0);
        QVERIFY(child<QRadioButton>(form, "rbcollection")->isEnabled());

        // No Q7sujet.lst: the choice is off for the rest of the run.
        for (int showing = 0; showing < 2; ++showing) {
            QVERIFY(!child<QRadioButton>(form, "rbsujet")->isEnabled());
            QVERIFY(!child<QComboBox>(form, "cbsujet")->isEnabled());
            QCOMPARE(child<QComboBox>(form, "cbsujet")->currentText(), QStringLiteral("vide"));
            d.write("Q7sujet.lst", "Histoire\r\n");
            form.hide();
            form.show();
        }
        QVERIFY(d.fake->dialogs.log.isEmpty());
    }

    void sortFromTheWindow_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first letter")
            << "rbalpha"
            << ""
            << "" << int(Field::titre) << QStringList{"zèbre", "Abeille", "Été", "avion", "Zoo"}
            << QStringList{"2", "4", "1", "5", "3"};
        QTest::newRow("author typed")
            << "rbauteur"
            << "cbauteur"
            << "Dupont" << int(Field::auteur) << QStringList{"Martin", "Dupont", "Durand", "Dupont"}
            << QStringList{"2", "4", "1", "3"};
        QTest::newRow("author in the wrong case")
            << "rbauteur"
            << "cbauteur"
            << "dupont" << int(Field::auteur) << QStringList{"Martin", "Dupont", "Durand", "Dupont"}
            << QStringList{"1", "2", "3", "4"};
        QTest::newRow("subject with an accent")
            << "rbsujet"
            << "cbsujet"
            << "Été" << int(Field::sujet) << QStringList{"Hiver", "Été", "Ete"}
            << QStringList{"2", "1", "3"};
        QTest::newRow("series") << "rbcollection"
                                << "cbcollection"
                                << "Folio" << int(Field::collection)
                                << QStringList{"Pléiade", "Folio"} << QStringList{"2", "1"};
    }
    void sortFromTheWindow() {
        QFETCH(QString, radio);
        QFETCH(QString, combo);
        QFETCH(QString, typed);
        QFETCH(int, field);
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        Desk d(records(Field(field), values));
        for (const char* list : {"Q7auteur.lst", "Q7sujet.lst", "Q7collection.lst"})
            d.write(list, "Dupont\r\n");
        Tformfic form(*d.state, d.fake->services);
        d.fake->modal.script(QStringLiteral("formfic"), [&](QDialog& dlg) {
            QTest::mouseClick(child<QRadioButton>(dlg, radio.toLatin1().constData()),
                              Qt::LeftButton);
            if (!combo.isEmpty()) {
                auto* cb = child<QComboBox>(dlg, combo.toLatin1().constData());
                cb->clearEditText();
                cb->lineEdit()->insert(typed); // as typed (keyClicks knows no accents)
            }
            QTest::mouseClick(child<QPushButton>(dlg, "bttrier"), Qt::LeftButton);
        });
        QCOMPARE(d.fake->modal.showModal(form), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
        QCOMPARE(numeros(d.dir()), expected);
        QVERIFY(!d.hasTemp());
        QCOMPARE(d.state->data.position(), 0);
        QCOMPARE(d.state->data.count(), int(values.size()));
        auto* gauge = child<QProgressBar>(form, "Gauge1");
        QCOMPARE(gauge->value(), gauge->maximum());
        QCOMPARE(gauge->maximum(), radio == QLatin1String("rbalpha") ? 26 : int(values.size()));
        QVERIFY(d.fake->cursor.maxDepth >= 1);
        QCOMPARE(d.fake->cursor.depth, 0);
        QVERIFY(d.fake->dialogs.log.isEmpty());
    }

    void closingDoesNotRewrite_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Fermer") << false;
    }
    void closingDoesNotRewrite() {
        QFETCH(bool, escape);
        Desk d(records(Field::titre, {"Zoo", "Abeille"}));
        const std::string before = d.catalogue();
        Tformfic form(*d.state, d.fake->services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (escape)
            QTest::keyClick(child<QComboBox>(form, "cbauteur")->lineEdit(), Qt::Key_Escape);
        else
            QTest::mouseClick(child<QPushButton>(form, "btfermer"), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(d.catalogue(), before);
        QVERIFY(!d.hasTemp());
    }

    void emptyCatalogueIsNotSorted() {
        Desk d({});
        Tformfic form(*d.state, d.fake->services);
        form.show();
        QTest::mouseClick(child<QPushButton>(form, "bttrier"), Qt::LeftButton);
        QCOMPARE(d.fake->dialogs.log, (QStringList{"beep", "message:Le ficher Q7.dat est vide !"}));
        QVERIFY(form.isVisible());
        QVERIFY(!d.hasTemp());
    }

    void failedRewriteIsReported() {
        Desk d(records(Field::titre, {"Zoo", "Abeille"}));
        const std::string before = d.catalogue();
        Tformfic form(*d.state, d.fake->services);
        form.show();
        d.fs.onlyFor("Q7.tmp");
        d.fs.failNth(FaultyFileSystem::Op::Write, 1, ENOSPC);
        QTest::mouseClick(child<QPushButton>(form, "bttrier"), Qt::LeftButton);
        QCOMPARE(d.fake->dialogs.log, QStringList{"error:Disque plein."});
        QVERIFY(form.isVisible());
        QCOMPARE(d.catalogue(), before);
        QVERIFY(!d.hasTemp());
        QCOMPARE(d.fake->cursor.depth, 0);
        // The catalogue is still there to work with.
        d.fs.reset();
        QTest::mouseClick(child<QPushButton>(form, "bttrier"), Qt::LeftButton);
        QCOMPARE(numeros(d.dir()), (QStringList{"2", "1"}));
    }

    // The sort replaces the catalogue even when no backup can be kept, and says so once.
    void sortWithoutBackupIsTold() {
        Desk d(records(Field::titre, {QStringLiteral("Zoo"), QStringLiteral("Abeille")}));
        d.write("Sauvegardes", "un fichier, pas un dossier");
        Tformfic form(*d.state, d.fake->services);
        form.show();
        QTest::mouseClick(child<QPushButton>(form, "bttrier"), Qt::LeftButton);
        QCOMPARE(numeros(d.dir()), (QStringList{"2", "1"}));
        QCOMPARE(
            d.fake->dialogs.log,
            QStringList{QStringLiteral("message:La commande a été faite, mais sans sauvegarde : "
                                       "le catalogue d'avant n'a pas pu être gardé dans le "
                                       "dossier « Sauvegardes » (un fichier porte déjà ce nom).")});
        QVERIFY(!form.isVisible());
        // With a folder to keep it in, the next sort keeps the catalogue it replaces.
        QFile::remove(QString::fromStdString(d.dir() + "/Sauvegardes"));
        const std::string sorted = d.catalogue();
        form.show();
        QTest::mouseClick(child<QPushButton>(form, "bttrier"), Qt::LeftButton);
        QCOMPARE(d.fake->dialogs.log.size(), 1);
        const QStringList kept =
            QDir(QString::fromStdString(d.dir() + "/Sauvegardes")).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readBytes(d.dir() + "/Sauvegardes/" + kept.front().toStdString()), sorted);
    }

    void figuresOfTheCatalogue() {
        Desk d({book("250", "12,5", 1)});
        Tforminfo form(*d.state, d.fake->services);
        QCOMPARE(child<QLabel>(form, "lbldevise")->text(), QStringLiteral("Euros"));
        Settings s;
        s.devise = lit("Francs");
        s.textutilisateur = lit("Dédicace");
        d.state->settings = s;
        form.showSettings(s);
        form.show();

        const std::pair<const char*, const char*> expected[] = {
            {"edtnbfiche", "1"},    {"edtnbpage", "250"}, {"edtmoyene", "250"},   {"edtlu", "1"},
            {"edtnbpagelu", "250"}, {"edtprix", "12"},    {"edtmoyenprix", "12"}, {"edtfic", "1"}};
        for (const auto& [box, text] : expected)
            QCOMPARE(child<QLineEdit>(form, box)->text(), QString::fromLatin1(text));
        QCOMPARE(child<QLineEdit>(form, "edtrep")->text(), QDir::toNativeSeparators(d.tmp.path()));
        QCOMPARE(child<QLabel>(form, "lbldevise")->text(), QStringLiteral("Francs"));
        QVERIFY(child<QPushButton>(form, "btimprimer")->isEnabled());
        auto* cb = child<QComboBox>(form, "cblstinfo");
        QCOMPARE(cb->count(), 9);
        QCOMPARE(cb->itemText(0), QStringLiteral("Titre"));
        QCOMPARE(cb->itemText(8), QStringLiteral("Dédicace"));
        QCOMPARE(cb->currentText(), QStringLiteral("Titre"));
        QCOMPARE(child<QLabel>(form, "lblnbinfo")->text(), QStringLiteral("="));
        QVERIFY(d.state->data.atEnd());
        QVERIFY(d.fake->dialogs.log.isEmpty());
    }

    void emptyCatalogueShowsZeros() {
        Desk d({});
        Tforminfo form(*d.state, d.fake->services);
        form.show();
        for (const char* box : {"edtnbfiche", "edtnbpage", "edtmoyene", "edtlu", "edtnbpagelu",
                                "edtprix", "edtmoyenprix", "edtfic"})
            QCOMPARE(child<QLineEdit>(form, box)->text(), QStringLiteral("0"));
        QVERIFY(!child<QPushButton>(form, "btimprimer")->isEnabled());
        // A record saved meanwhile: printing comes back at the next showing.
        form.hide();
        d.state->data.write(book("3", "2"));
        form.show();
        QCOMPARE(child<QLineEdit>(form, "edtnbpage")->text(), QStringLiteral("3"));
        QVERIFY(child<QPushButton>(form, "btimprimer")->isEnabled());
    }

    void badNumberKeepsEarlierFigures_data() {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("box");
        QTest::newRow("pages") << "abc"
                               << "1"
                               << "error:'abc' n'est pas une valeur entière correcte.";
        QTest::newRow("price") << "7"
                               << ","
                               << "error:',' n'est pas une valeur en virgule flottante correcte.";
    }
    void badNumberKeepsEarlierFigures() {
        QFETCH(QString, pages);
        QFETCH(QString, price);
        QFETCH(QString, box);
        Desk d({book("250", "12,5", 1)});
        Tforminfo form(*d.state, d.fake->services);
        form.show();
        form.hide();
        d.state->data.seek(1);
        d.state->data.write(book("10", "1"));
        d.state->data.write(book(pages.toLatin1().constData(), price.toLatin1().constData()));
        const std::string before = d.catalogue();
        child<QLineEdit>(form, "edtrep")->setText(QStringLiteral("ancien"));
        form.show();
        QCOMPARE(d.fake->dialogs.log, QStringList{box});
        // Count and size were written before the bad record; the rest keeps its text.
        QCOMPARE(child<QLineEdit>(form, "edtnbfiche")->text(), QStringLiteral("3"));
        QCOMPARE(child<QLineEdit>(form, "edtfic")->text(), QStringLiteral("3"));
        QCOMPARE(child<QLineEdit>(form, "edtnbpage")->text(), QStringLiteral("250"));
        QCOMPARE(child<QLineEdit>(form, "edtprix")->text(), QStringLiteral("12"));
        QCOMPARE(child<QLineEdit>(form, "edtrep")->text(), QStringLiteral("ancien"));
        QCOMPARE(d.catalogue(), before);
        QCOMPARE(d.fake->cursor.depth, 0);
    }

    void listEntriesCounted() {
        Desk d({book("1", "1")});
        d.state->settings.textutilisateur = lit("Mots clés");
        d.write("Q7auteur.lst", "Hugo\r\nZola\r\nSand\r\n");
        d.write("Q7titre.lst", "");
        d.write("Q7utilisat.lst", "a\r\nb\r\n");
        d.write("Q7perso.lst", "x\ny\nz\nt");
        Tforminfo form(*d.state, d.fake->services);
        d.fake->modal.script(QStringLiteral("forminfo"), [&](QDialog& dlg) {
            auto* cb = child<QComboBox>(dlg, "cblstinfo");
            auto* count = child<QLabel>(dlg, "lblnbinfo");
            cb->setCurrentIndex(8);
            QCOMPARE(count->text(), QStringLiteral("2"));
            cb->setCurrentIndex(1);
            QCOMPARE(count->text(), QStringLiteral("3"));
            cb->setCurrentIndex(0);
            QCOMPARE(count->text(), QStringLiteral("0"));
            cb->setCurrentIndex(2); // no Q7sujet.lst
            QCOMPARE(count->text(), QStringLiteral("0"));
            cb->clearEditText();
            QTest::keyClicks(cb->lineEdit(), QStringLiteral("perso"));
            QCOMPARE(count->text(), QStringLiteral("4"));
            cb->clearEditText();
            QTest::keyClicks(cb->lineEdit(), QStringLiteral("./perso"));
            QCOMPARE(count->text(), QStringLiteral("0"));
            cb->setCurrentIndex(1);
            QTest::keyClick(cb->lineEdit(), Qt::Key_Escape); // typed in the field
        });
        QCOMPARE(d.fake->modal.showModal(form), int(QDialog::Accepted));
        QVERIFY(d.fake->cursor.maxDepth >= 1);
        QCOMPARE(d.fake->cursor.depth, 0);
        // Showing again refills the choices without counting: the last count stays.
        form.show();
        QCOMPARE(child<QLabel>(form, "lblnbinfo")->text(), QStringLiteral("3"));
        QCOMPARE(child<QComboBox>(form, "cblstinfo")->currentIndex(), 0);
        QVERIFY(d.fake->dialogs.log.isEmpty());
    }

    void printsNineLines() {
        Desk d({book("100", "3"), book("101", "4", 1)});
        d.fake->printer.setBold(true);
        d.fake->printer.setColor(Qt::red);
        Tforminfo form(*d.state, d.fake->services);
        form.show();
        QTest::mouseClick(child<QPushButton>(form, "btimprimer"), Qt::LeftButton);
        QCOMPARE(int(d.fake->printer.pages.size()), 1);
        QVERIFY(!d.fake->printer.open);
        const QString rep = QDir::toNativeSeparators(d.tmp.path());
        const QStringList expected{
            "Nombre de fiche = 2",          "Nombre de total de pages = 201",
            "Moyene pages/livre = 100",     "Nombre de livre lus = 1",
            "Nombre de pages lus = 101",    "Total des prix = 7 Euros",
            "Moyene livres/prix = 4 Euros", "Taile di ficher Q7.dat en KO = 2",
            "Répertiore detravail = " + rep};
        const auto& page = d.fake->printer.pages.front();
        QCOMPARE(int(page.size()), 9);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(page[std::size_t(i)].text, expected[i]);
            QCOMPARE(page[std::size_t(i)].x, 140);
            QCOMPARE(page[std::size_t(i)].y, 200 + 100 * i);
            QCOMPARE(page[std::size_t(i)].points, 18);
            QVERIFY(!page[std::size_t(i)].bold);
            QCOMPARE(page[std::size_t(i)].color, QColor(Qt::black));
        }
        QCOMPARE(d.fake->cursor.depth, 0);
    }

    void printerFailureIsReported() {
        Desk d({book("1", "1")});
        d.fake->printer.failOnBegin = true;
        Tforminfo form(*d.state, d.fake->services);
        form.show();
        QTest::mouseClick(child<QPushButton>(form, "btimprimer"), Qt::LeftButton);
        QCOMPARE(d.fake->dialogs.log, QStringList{"error:Aucune imprimante n'est installée."});
        QCOMPARE(d.fake->cursor.depth, 0);
    }

    void printedPageReadsBack() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        Desk d({book("250", "12,5", 1)});
        const QString pdf = d.tmp.filePath(QStringLiteral("page.pdf"));
        PdfPrinter printer(pdf);
        FakeServices& f = *d.fake;
        Services services = f.printingOn(printer);
        Tforminfo form(*d.state, services);
        form.show();
        QTest::mouseClick(child<QPushButton>(form, "btimprimer"), Qt::LeftButton);
        QVERIFY(f.dialogs.log.isEmpty());

        const PdfText text = readPdfText(pdf);
        QCOMPARE(text.pages, 1);
        const QList<QList<PdfWord>> lines = pdfLines(text, 2);
        QCOMPARE(int(lines.size()), 9);
        QStringList texts;
        // The PDF may use ligatures ("ﬁ"); compare the plain letters.
        for (const auto& line : lines)
            texts << joined(line).normalized(QString::NormalizationForm_KC);
        QCOMPARE(
            texts.mid(0, 8),
            (QStringList{"Nombre de fiche = 1", "Nombre de total de pages = 250",
                         "Moyene pages/livre = 250", "Nombre de livre lus = 1",
                         "Nombre de pages lus = 250", "Total des prix = 12 Euros",
                         "Moyene livres/prix = 12 Euros", "Taile di ficher Q7.dat en KO = 1"}));
        QVERIFY2(texts[8].startsWith(QStringLiteral("Répertiore detravail = /")),
                 qPrintable(texts[8]));
        // 300 units to the inch, the grid shrunk evenly to fit A4 within the 5 mm
        // margins of every job: lines 100 units (about 22 pt) apart, evenly, from x = 140
        // and y = 200 after the margins, the 18-point type scaled with them, all on A4.
        const double margin = 5 / 25.4 * 72;
        const double step0 = lines[1].front().yMin - lines[0].front().yMin;
        QVERIFY2(step0 > 20 && step0 < 24, qPrintable(QString::number(step0)));
        QVERIFY2(std::abs(lines[0].front().yMin - (margin + 2 * step0)) < 1.5,
                 qPrintable(QString::number(lines[0].front().yMin)));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const PdfWord& first = lines[i].front();
            QVERIFY2(std::abs(first.xMin - (margin + 1.4 * step0)) < 1,
                     qPrintable(QString::number(first.xMin)));
            if (i > 0) {
                const double step = first.yMin - lines[i - 1].front().yMin;
                QVERIFY2(std::abs(step - step0) < 0.3, qPrintable(QString::number(step)));
            }
            // The line box of a face is 1.1 to 1.5 times its size.
            const double box = (first.yMax - first.yMin) / (18 * 300.0 / 72 * step0 / 100);
            QVERIFY2(box > 1.1 && box < 1.5, qPrintable(QString::number(box)));
            QVERIFY(lines[i].back().xMax < text.width - margin);
        }
        QVERIFY(lines.back().front().yMax < text.height - margin);
        QCOMPARE(printer.job()->colorMode(), QPrinter::Color);
    }
};

QTEST_MAIN(TestMaintWindows)
#include "tst_maintwindows.moc"
