// The overview window driven as a collector drives it: typing in the filter, clicking
// the headers, choosing groups, opening a book, taking the list away.
#include "AppFixture.h"
#include "covers/CoverThumbnails.h"
#include "import/Zip.h"
#include "overview/Q7vue.h"
#include "PdfPrinter.h"
#include "PdfText.h"
#include "store/Cp1252.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTableView>
#include <QTest>
#include <QXmlStreamReader>

#include <functional>

using q7::Field;

namespace {

template <class W> W* child(QDialog& d, const char* name) {
    auto* w = d.findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no %s", name);
    return w;
}

struct Window {
    QDialog& d;
    QTableView* table() const { return child<QTableView>(d, "tblvue"); }
    QString cell(int r, int c) const { return table()->model()->index(r, c).data().toString(); }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < table()->model()->rowCount(); ++r)
            out << cell(r, c);
        return out;
    }
    QStringList groups() const {
        QStringList out;
        auto* list = child<QListView>(d, "lstgroupes");
        for (int r = 0; r < list->model()->rowCount(); ++r)
            out << list->model()->index(r, 0).data().toString();
        return out;
    }
    QString count() const { return child<QLabel>(d, "lblcompte")->text(); }
    void filter(const QString& text) const { typeInto(child<QLineEdit>(d, "edtfiltre"), text); }
    void choose(const char* combo, const QString& text) const {
        auto* c = child<QComboBox>(d, combo);
        const int at = c->findText(text);
        if (at < 0) qFatal("no choice %s", qPrintable(text));
        c->setCurrentIndex(at);
    }
    void clickHeader(int section) const {
        QHeaderView* h = table()->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(section) + 5, h->height() / 2));
    }
    void chooseGroup(int row) const {
        auto* list = child<QListView>(d, "lstgroupes");
        list->setCurrentIndex(list->model()->index(row, 0));
    }
};

// Opens the overview from the record window and runs `inside` in it.
void inOverview(AppFixture& app, std::function<void(Window)> inside, const char* how = "menuvue") {
    app.fakes->modal.script("formvue", [inside](QDialog& d) { inside(Window{d}); });
    app.trigger(how);
}

// The overview printing into a PDF file: "Imprimer la liste" after `choose` in the window.
struct PrintedOverview {
    explicit PrintedOverview(AppFixture& app)
        : printer(app.path("vue.pdf")), f(*app.fakes), services(f.printingOn(printer)),
          form(app.state(), services) {}
    PdfText print(const std::function<void(QDialog&)>& choose) {
        f.modal.script("formvue", [choose](QDialog& d) {
            choose(d);
            QTest::mouseClick(child<QPushButton>(d, "btimprimer"), Qt::LeftButton);
        });
        form.execute({});
        return readPdfText(printer.path());
    }
    PdfPrinter printer;
    FakeServices& f;
    Services services;
    Tformvue form;
};

std::vector<q7::Fiche> library() {
    const char* rows[][5] = {
        {"1", "Germinal", "ÉMILE ZOLA", "1885", "B3"},
        {"2", "L'Œuvre", "Zola, Émile", "1886", "B3"},
        {"10", "Maigret", "Simenon, Georges", "", "A1"},
        {"9", "Ça", "King, Stephen", "1986", ""},
        {"3", "Le Horla", "", "1887", "B3"},
        {"11", "Pietr le Letton", "Simenon, Georges", "1931", "A1"},
    };
    std::vector<q7::Fiche> out;
    for (const auto& r : rows)
        out.push_back(FicheBuilder()
                          .set(Field::numero, r[0])
                          .set(Field::titre, r[1])
                          .set(Field::auteur, r[2])
                          .set(Field::anedition, r[3])
                          .set(Field::pos1, r[4])
                          .set(Field::notes, "note de " + std::string(r[1])));
    return out;
}

} // namespace

class TestOverviewWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterSortAndGroups() {
        AppFixture app(library());
        app.start();
        inOverview(app, [](Window w) {
            QCOMPARE(w.d.windowTitle(), QString("Vue d'ensemble"));
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(w.d, "edtfiltre"));
            QCOMPARE(w.column(0), (QStringList{"1", "2", "10", "9", "3", "11"}));
            QCOMPARE(w.count(), QString("6 livres sur 6"));
            QCOMPARE(child<QLabel>(w.d, "lblcompte")->accessibleName(), w.count());

            w.filter("emile zola");
            QCOMPARE(w.column(0), (QStringList{"1", "2"}));
            QCOMPARE(w.count(), QString("2 livres sur 6"));
            w.filter("ZOLA 1886");
            QCOMPARE(w.column(1), QStringList{"L'Œuvre"});
            QCOMPARE(w.count(), QString("1 livre sur 6"));
            w.filter("note"); // notes are not a shown column
            QCOMPARE(w.count(), QString("0 livre sur 6"));
            w.choose("cbchamp", "Notes");
            QCOMPARE(w.count(), QString("6 livres sur 6"));
            w.filter("oeuvre");
            QCOMPARE(w.column(0), QStringList{"2"});
            w.choose("cbchamp", "Auteur");
            QCOMPARE(w.column(0), QStringList{});
            w.choose("cbchamp", "Tous les champs");
            w.filter("");

            // Sort: French order, then reversed; references as numbers.
            w.clickHeader(1);
            QCOMPARE(w.column(1), (QStringList{"Ça", "Germinal", "L'Œuvre", "Le Horla", "Maigret",
                                               "Pietr le Letton"}));
            w.clickHeader(1);
            QCOMPARE(w.column(1).first(), QString("Pietr le Letton"));
            QCOMPARE(w.table()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
            w.clickHeader(0);
            QCOMPARE(w.column(0), (QStringList{"1", "2", "3", "9", "10", "11"}));

            // Groups with their counts, "(vide)" for an empty author, by count.
            w.choose("cbregrouper", "Auteur");
            QCOMPARE(w.groups(),
                     (QStringList{"Tous les livres (6)", "(vide) (1)", "ÉMILE ZOLA (1)",
                                  "King, Stephen (1)", "Simenon, Georges (2)", "Zola, Émile (1)"}));
            child<QRadioButton>(w.d, "rbnombre")->click();
            QCOMPARE(w.groups()[1], QString("Simenon, Georges (2)"));
            w.chooseGroup(1);
            QCOMPARE(w.column(0), (QStringList{"10", "11"}));
            QCOMPARE(w.count(), QString("2 livres sur 6"));
            w.filter("pietr"); // the group and the filter together
            QCOMPARE(w.column(0), QStringList{"11"});
            QCOMPARE(w.groups()[0], QString("Tous les livres (1)"));
        });

        // Everything is where it was left, on the catalogue read again.
        inOverview(
            app,
            [](Window w) {
                QCOMPARE(child<QLineEdit>(w.d, "edtfiltre")->text(), QString("pietr"));
                QCOMPARE(child<QComboBox>(w.d, "cbregrouper")->currentText(), QString("Auteur"));
                QVERIFY(child<QRadioButton>(w.d, "rbnombre")->isChecked());
                QCOMPARE(w.column(0), QStringList{"11"});
                w.filter("");
                QCOMPARE(w.column(0), (QStringList{"10", "11"}));
                w.chooseGroup(0);
                QCOMPARE(w.column(0), (QStringList{"1", "2", "3", "9", "10", "11"}));
            },
            "spdbvue");
    }

    void enterOpensTheBookAsBrowsing() {
        AppFixture app(library());
        app.start();
        inOverview(app, [](Window w) {
            w.clickHeader(1); // by title: Ça (record 3) comes first, Germinal (0) next
            QTest::keyClick(child<QLineEdit>(w.d, "edtfiltre"), Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), w.table());
            QTest::keyClick(w.table(), Qt::Key_Down);
            QCOMPARE(w.cell(w.table()->currentIndex().row(), 1), QString("Germinal"));
            QTest::keyClick(w.table(), Qt::Key_Return);
        });
        QVERIFY(!app.program->windows().vue->isVisible());
        auto& u = app.ui();
        QCOMPARE(u.edtnbfiche->text(), QString("1/6"));
        QCOMPARE(app.state().data.position(), 1);
        QCOMPARE(app.state().criterion, q7::Criterion::ListBrowsing);
        QCOMPARE(u.cbtitre->currentText(), QString("Germinal"));
        QVERIFY(u.spbsuivant->isEnabled() && u.spbprecedent->isEnabled());
        u.spbsuivant->click(); // ">" walks the stored order
        QCOMPARE(u.cbtitre->currentText(), QString("L'Œuvre"));
        QCOMPARE(u.edtnbfiche->text(), QString("2/6"));

        // Opened again, on the same book; a double click opens another.
        inOverview(app, [](Window w) {
            QCOMPARE(w.cell(w.table()->currentIndex().row(), 1), QString("Germinal"));
            const QModelIndex last = w.table()->model()->index(5, 1);
            QCOMPARE(last.data().toString(), QString("Pietr le Letton"));
            w.table()->scrollTo(last);
            const QRect cell = w.table()->visualRect(last);
            QTest::mouseClick(w.table()->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(w.table()->viewport(), Qt::LeftButton, {}, cell.center());
        });
        QCOMPARE(u.edtnbfiche->text(), QString("6/6"));
        QCOMPARE(u.cbtitre->currentText(), QString("Pietr le Letton"));
        QCOMPARE(app.dialogs().boxes(), QStringList());
    }

    // The book the cursor is on stays chosen through the filter, and what a save just
    // wrote is in the list at the next opening.
    void cursorKeptAndCatalogueReadAgain() {
        AppFixture app(library());
        app.start();
        inOverview(app, [](Window w) {
            w.table()->setCurrentIndex(w.table()->model()->index(2, 0)); // Maigret
            w.filter("zola");
            QVERIFY(!w.table()->currentIndex().isValid());
            w.filter("");
            QCOMPARE(w.cell(w.table()->currentIndex().row(), 1), QString("Maigret"));
            w.filter("maig");
            QCOMPARE(w.table()->currentIndex().row(), 0);
        });
        auto& u = app.ui();
        app.trigger("menuNouvelle");
        typeInto(u.cbtitre, "Nana");
        typeInto(u.cbauteur, "Émile Zola");
        app.trigger("menuEnregistrer");
        inOverview(app, [](Window w) {
            w.filter("");
            QCOMPARE(w.count(), QString("7 livres sur 7"));
            QCOMPARE(w.cell(6, 1), QString("Nana"));
            w.filter("zola");
            QCOMPARE(w.column(1), (QStringList{"Germinal", "L'Œuvre", "Nana"}));
        });
        QCOMPARE(app.dialogs().boxes(), QStringList());
    }

    void offeredWhereNoRecordIsTyped() {
        AppFixture app(library());
        app.start();
        auto& u = app.ui();
        QCOMPARE(u.menuvue->shortcut(), QKeySequence("Ctrl+T"));
        QVERIFY(u.menuvue->isEnabled() && u.spdbvue->isEnabled());
        app.trigger("menuNouvelle");
        QVERIFY(!u.menuvue->isEnabled() && !u.spdbvue->isEnabled());
        app.trigger("menuRetour");
        app.trigger("menuliste");
        QVERIFY(u.menuvue->isEnabled());
        // Ctrl+T with the caret in a field opens it.
        bool opened = false;
        app.fakes->modal.script("formvue", [&opened](QDialog&) { opened = true; });
        u.cbtitre->setFocus();
        QTest::keyClick(u.cbtitre, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(opened);
        // Nothing the overview does touches the catalogue or the record shown.
        QCOMPARE(app.state().data.position(), 1);
        QCOMPARE(app.records().size(), std::size_t(6));
    }

    void columnsKeptInSettings() {
        AppFixture app(library());
        app.start();
        inOverview(app, [](Window w) {
            QCOMPARE(w.table()->model()->headerData(7, Qt::Horizontal).toString(), QString("Lu"));
            QCOMPARE(w.table()->model()->columnCount(), 9);
            w.table()->horizontalHeader()->resizeSection(1, 333);
        });
        QCOMPARE(
            app.fakes->settings.values.at("Vue/colonnes"),
            std::string("reference,titre,auteur,collection,edition,anedition,positions,lu,isbn"));
        QVERIFY(app.fakes->settings.values.at("Vue/largeurs").find(",333,") != std::string::npos);
        // The seven settings are not written by the overview.
        for (const std::string& key : app.fakes->settings.writes)
            QVERIFY2(key.starts_with("Vue/"), key.c_str());

        AppFixture next(library());
        next.fakes->settings.values["Vue/colonnes"] = "titre,inconnue,pret,titre";
        next.fakes->settings.values["Vue/largeurs"] = "200,120";
        next.start();
        inOverview(next, [](Window w) {
            QCOMPARE(w.table()->model()->columnCount(), 2);
            QCOMPARE(w.table()->model()->headerData(1, Qt::Horizontal).toString(),
                     QString("Prêté à"));
            QCOMPARE(w.table()->horizontalHeader()->sectionSize(0), 200);
        });
    }

    // The cover column: pictures made for the rows on screen only, each said as its book's
    // cover; a reference two books share shows none; the words sort as "Oui"/"Non".
    void coversForTheRowsShown() {
        std::vector<q7::Fiche> books;
        for (int i = 1; i <= 400; ++i)
            books.push_back(
                FicheBuilder().numero(i).set(Field::titre, "Livre " + std::to_string(i)));
        books.push_back(FicheBuilder().numero(7).set(Field::titre, "Autre 7"));
        AppFixture app(books);
        QVERIFY(QDir(app.path({})).mkdir("Couvertures"));
        QImage cover(60, 90, QImage::Format_RGB32);
        cover.fill(Qt::darkGreen);
        for (int i = 1; i <= 400; ++i) // 1 to 9, then odd references
            if (i < 10 || i % 2)
                QVERIFY(cover.save(app.path(QStringLiteral("Couvertures/%1.jpg").arg(i)), "JPEG"));
        app.fakes->settings.values["Vue/colonnes"] = "reference,couverture";
        app.start();
        inOverview(app, [](Window w) {
            auto* thumbnails = w.d.findChild<CoverThumbnails*>();
            QVERIFY(thumbnails);
            const auto picture = [&](int row) {
                return w.table()->model()->index(row, 1).data(Qt::DecorationRole).value<QPixmap>();
            };
            QVERIFY(QTest::qWaitFor([&] { return !picture(0).isNull(); }, 5000));
            const int shown = w.table()->rowAt(w.table()->viewport()->height()) + 1;
            QVERIFY(shown > 1 && shown < 100);
            QVERIFY2(thumbnails->madeCount() <= shown + 2,
                     qPrintable(QString::number(thumbnails->madeCount())));
            QVERIFY(picture(0).width() <= 32 && picture(0).height() <= 48);
            const auto spoken = [&](int row) {
                return w.table()->model()->index(row, 1).data(Qt::AccessibleTextRole).toString();
            };
            QCOMPARE(spoken(0), QString("Livre 1, couverture"));
            QCOMPARE(spoken(6), QString("Pas de couverture")); // two books of reference 7
            QCOMPARE(spoken(9), QString("Pas de couverture")); // 10: none
            QCOMPARE(w.cell(0, 1), QString());
            w.clickHeader(1);
            QCOMPARE(w.cell(0, 0), QString("7")); // "Non" first
            w.clickHeader(1);
            QCOMPARE(w.cell(0, 0), QString("1"));
        });
    }

    void borrowersShownAndGrouped() {
        AppFixture app(library());
        writeBytes(app.path("Q7prets.txt").toStdString(),
                   q7::lit("Référence\tTitre\tEmprunteur\tPrêté le\tRendu le\tNote\r\n"
                           "10\tMaigret\tMarie\t1/11/2026\t\t\r\n"
                           "2\tL'Œuvre\tPaul\t1/10/2026\t3/10/2026\t\r\n"
                           "11\tPietr\tMarie\t2/11/2026\t\t\r\n"));
        app.fakes->settings.values["Vue/colonnes"] = "reference,pret";
        app.start();
        inOverview(app, [](Window w) {
            QCOMPARE(w.column(1), (QStringList{"", "", "Marie", "", "", "Marie"}));
            w.choose("cbregrouper", "Prêté à");
            QCOMPARE(w.groups(), (QStringList{"Tous les livres (6)", "(vide) (4)", "Marie (2)"}));
            w.filter("marie");
            QCOMPARE(w.column(0), (QStringList{"10", "11"}));
            // What is out, whoever has it: one group.
            w.filter("");
            w.choose("cbregrouper", "Prêtés");
            QCOMPARE(w.groups(), (QStringList{"Tous les livres (6)", "Non (4)", "Oui (2)"}));
        });
    }

    void csvBytes() {
        std::vector<q7::Fiche> records = library();
        records[1].setText(Field::titre, q7::lit("Un; deux \"trois\""));
        records[1].setText(Field::notes, "ligne 1\r\nligne 2");
        AppFixture app(records);
        app.fakes->settings.values["Vue/colonnes"] = "reference,titre,notes,auteur";
        app.start();
        const QString path = app.path("liste.csv");
        app.dialogs().files.push_back(path);
        app.dialogs().files.push_back(std::nullopt);
        inOverview(app, [](Window w) {
            w.filter("zola");
            QTest::mouseClick(child<QPushButton>(w.d, "btexporter"), Qt::LeftButton);
            w.filter("germinal");
            QTest::mouseClick(child<QPushButton>(w.d, "btexporter"), Qt::LeftButton); // cancelled
        });
        const QString asked =
            "save-file:" + QString::fromStdString(app.dir()) + "/Vue d'ensemble.csv";
        QCOMPARE(app.dialogs().log, (QStringList{asked, asked}));
        QCOMPARE(QByteArray::fromStdString(readBytes(path.toStdString())),
                 QByteArray("\xEF\xBB\xBF"
                            "Référence;Titre;Notes;Auteur\r\n"
                            "1;Germinal;note de Germinal;ÉMILE ZOLA\r\n"
                            "2;\"Un; deux \"\"trois\"\"\";\"ligne 1\r\nligne 2\";Zola, Émile\r\n"));
    }

    // A spreadsheet shows every value as typed: the leading zero of an ISBN or a reference,
    // the blanks, the lines of a note. Read back from the file's own XML.
    void odsCellsAsTyped() {
        std::vector<q7::Fiche> records = library();
        records[0].setText(Field::numero, "007");
        records[0].setText(Field::isbn, "0439023483");
        records[1].setText(Field::titre, q7::lit("Un  <deux> & trois"));
        records[1].setText(Field::notes, "ligne 1\r\n\tligne 2");
        AppFixture app(records);
        app.fakes->settings.values["Vue/colonnes"] = "reference,titre,notes,isbn,auteur";
        app.start();
        const QString path = app.path("liste.ods");
        app.dialogs().files.push_back(path);
        inOverview(app, [](Window w) {
            w.filter("zola");
            QTest::mouseClick(child<QPushButton>(w.d, "btexporter"), Qt::LeftButton);
        });
        const std::string bytes = readBytes(path.toStdString());
        // The media type first, stored, where a desktop tells the format by.
        QCOMPARE(bytes.substr(0, 4), std::string("PK\x03\x04"));
        QCOMPARE(bytes.substr(30, 54),
                 std::string("mimetypeapplication/vnd.oasis.opendocument.spreadsheet"));
        QXmlStreamReader xml(
            QByteArray::fromStdString(q7::import::zipMember(bytes, "content.xml")));
        QList<QStringList> rows;
        QString cell;
        int paragraphs = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            const QStringView name = xml.name();
            if (xml.isStartElement() && name == u"table-row") rows.append(QStringList());
            if (xml.isStartElement() && name == u"table-cell") {
                QCOMPARE(xml.attributes().value("office:value-type"), u"string");
                cell.clear();
                paragraphs = 0;
            }
            if (xml.isStartElement() && name == u"p" && paragraphs++ > 0) cell += '\n';
            if (xml.isStartElement() && name == u"s")
                cell += QString(qMax(1, xml.attributes().value("text:c").toInt()), ' ');
            if (xml.isStartElement() && name == u"tab") cell += '\t';
            if (xml.isCharacters()) cell += xml.text();
            if (xml.isEndElement() && name == u"table-cell") rows.last() << cell;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(rows, (QList<QStringList>{
                           {"Référence", "Titre", "Notes", "ISBN", "Auteur"},
                           {"007", "Germinal", "note de Germinal", "0439023483", "ÉMILE ZOLA"},
                           {"2", "Un  <deux> & trois", "ligne 1\n\tligne 2", "", "Zola, Émile"}}));
    }

    void writtenWholeOrNotAtAll_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("CSV") << "liste.csv";
        QTest::newRow("OpenDocument") << "liste.ods";
    }
    void writtenWholeOrNotAtAll() {
        QFETCH(QString, name);
        AppFixture app(library());
        app.start();
        const QString path = app.path(name);
        writeBytes(path.toStdString(), "avant");
        app.dialogs().files.push_back(path);
        app.fs.onlyFor(name.toStdString());
        app.fs.diskFullAfter(40); // the header and a line fit, not the rest
        inOverview(app, [](Window w) {
            QTest::mouseClick(child<QPushButton>(w.d, "btexporter"), Qt::LeftButton);
        });
        app.fs.reset();
        QCOMPARE(readBytes(path.toStdString()), std::string("avant"));
        QCOMPARE(app.dialogs().boxes().size(), 2);
        QVERIFY2(app.dialogs().boxes()[1].startsWith("error:Disque plein"),
                 qPrintable(app.dialogs().boxes().join('|')));
    }

    void printedList() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        std::vector<q7::Fiche> records;
        for (int i = 0; i < 120; ++i)
            records.push_back(FicheBuilder()
                                  .numero(i + 1)
                                  .set(Field::titre, "Livre " + std::to_string(i + 1))
                                  .set(Field::auteur, i % 2 ? "Émile Zola" : "Georges Simenon"));
        AppFixture app(records);
        app.start();
        PrintedOverview printed(app);
        PdfText text =
            printed.print([](QDialog& d) { typeInto(child<QLineEdit>(d, "edtfiltre"), "zola"); });
        QCOMPARE(app.dialogs().log, QStringList());
        QCOMPARE(text.pages, 2); // 60 books, 50 a page
        QStringList words;
        for (const PdfWord& w : text.words)
            words << w.text;
        QCOMPARE(words.count("Livre"), 60);
        QCOMPARE(words.count("d'ensemble"), 2); // the heading on each page
        QVERIFY(words.join(' ').contains("Page 1 / 2"));
        QVERIFY(words.join(' ').contains("Page 2 / 2"));

        // One page, read line by line.
        text = printed.print(
            [](QDialog& d) { typeInto(child<QLineEdit>(d, "edtfiltre"), "zola 11"); });
        QCOMPARE(text.pages, 1);
        const QList<QList<PdfWord>> lines = pdfLines(text, 2);
        QCOMPARE(joined(lines[0]), QString("Vue d'ensemble : 5 livres sur 120"));
        QCOMPARE(joined(lines[1]), QString("filtre « zola 11 » dans tous les champs"));
        QVERIFY2(joined(lines[2]).startsWith("Référence Titre Auteur"),
                 qPrintable(joined(lines[2])));
        QVERIFY(joined(lines[3]).startsWith("110 Livre 110 Émile Zola"));
        QCOMPARE(joined(lines.last()), QString("Page 1 / 1"));
        QCOMPARE(lines.size(), 9);
    }

    // Long titles go on two lines or end with "…"; an ISBN and "Non" are printed whole.
    void printedValuesNeverCutSilently() {
        if (!havePdfTools()) QSKIP("poppler-utils is not installed");
        std::vector<q7::Fiche> records;
        const QString shared = "Jules Verne|Les Voyages extraordinaires|Pierre-Jules Hetzel et "
                               "Compagnie|1864|Salon|9782070360024|Non|Vue d'ensemble : 30 livres "
                               "sur|Tous les|Page 1 /|Référence Titre Auteur Collection Édition "
                               "Année d'édition Positions Lu ISBN";
        QStringList whole = shared.split('|');
        for (int i = 0; i < 30; ++i) {
            const QString title =
                QString("Voyages %1 au centre de la Terre autour").arg(i, 3, 10, QChar('0'));
            QCOMPARE(title.size(), 40);
            const QStringList v = shared.split('|');
            records.push_back(FicheBuilder()
                                  .numero(i + 1)
                                  .set(Field::titre, title.toStdString())
                                  .set(Field::auteur, v[0].toStdString())
                                  .set(Field::collection, v[1].toStdString())
                                  .set(Field::edition, v[2].toStdString())
                                  .set(Field::anedition, v[3].toStdString())
                                  .set(Field::pos1, v[4].toStdString())
                                  .set(Field::isbn, v[5].toStdString()));
            whole << title << QString::number(i + 1);
        }
        const QStringList split = whole.join(' ').split(' ');
        const QSet<QString> words(split.begin(), split.end());
        AppFixture app(records);
        app.start();
        const PdfText text = PrintedOverview(app).print([](QDialog&) {});
        QStringList printed;
        for (const PdfWord& w : text.words) {
            printed << w.text;
            if (words.contains(w.text)) continue;
            // A cut word ends with the ellipsis, after the start of a word of the list.
            QVERIFY2(w.text.endsWith(u'…'), qPrintable(w.text));
            const QString start = w.text.chopped(1);
            QVERIFY2(std::any_of(words.begin(), words.end(),
                                 [&](const QString& word) { return word.startsWith(start); }),
                     qPrintable(w.text));
        }
        QCOMPARE(printed.count("9782070360024"), 30);
        QCOMPARE(printed.count("Non"), 30);
        QCOMPARE(printed.count("1864"), 30);
    }

    void longListAsksBeforePrinting() {
        std::vector<q7::Fiche> records(1001, FicheBuilder().set(Field::titre, "Germinal"));
        AppFixture app(records);
        app.start();
        app.dialogs().answers = {false, true};
        for (int i = 0; i < 2; ++i)
            inOverview(app, [](Window w) {
                QTest::mouseClick(child<QPushButton>(w.d, "btimprimer"), Qt::LeftButton);
            });
        QCOMPARE(app.dialogs().boxes(),
                 QStringList(2, "confirm:La liste tient sur 21 pages : l'imprimer ?"));
        QCOMPARE(app.fakes->printer.pages.size(), std::size_t(1)); // the second answer only
        QCOMPARE(app.fakes->printer.pages[0].back().page, 20);
    }

    void shortAndEmptyCatalogues() {
        AppFixture app;
        writeCatalogue(app.dir(), library());
        {
            QFile f(app.path("Q7.dat"));
            QVERIFY(f.open(QIODevice::Append));
            f.write(QByteArray(500, 'x')); // a record cut short
        }
        app.start();
        app.dialogs().clear();
        inOverview(app, [](Window w) {
            QCOMPARE(w.count(), QString("6 livres sur 6"));
            QCOMPARE(w.column(0).last(), QString("11"));
        });

        AppFixture empty;
        empty.start();
        empty.dialogs().clear();
        inOverview(
            empty,
            [](Window w) {
                QCOMPARE(w.count(), QString("0 livre sur 0"));
                w.filter("zola");
                w.choose("cbregrouper", "Auteur");
                QCOMPARE(w.groups(), QStringList{"Tous les livres (0)"});
                QVERIFY(!child<QPushButton>(w.d, "btimprimer")->isEnabled());
                QTest::keyClick(child<QLineEdit>(w.d, "edtfiltre"), Qt::Key_Return);
            },
            "spdbvue");
        QCOMPARE(empty.dialogs().boxes(), QStringList());
        QCOMPARE(empty.state().data.position(), 0);
    }
};

QTEST_MAIN(TestOverviewWindow)
#include "tst_overviewwindow.moc"
