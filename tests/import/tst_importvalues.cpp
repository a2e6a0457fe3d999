// The values of other programs' files as the record wants them: ISBNs a spreadsheet
// damaged, prices, authors in one cell, dates, flags, HTML, encodings, cut texts.
#include "import/BookMapper.h"
#include "import/TextEncoding.h"
#include "import/Values.h"

#include <QTest>

using namespace q7;
using namespace q7::import;

class TestImportValues : public QObject {
    Q_OBJECT

    const Date today{5, 3, 2024};

private Q_SLOTS:
    void isbn_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("status");
        using S = Isbn::Status;
        const struct {
            const char* name;
            const char* given;
            const char* kept;
            S status;
        } rows[] = {
            {"hyphens dropped", "978-2-07-040850-4", "9782070408504", S::valid},
            {"isbn-10 with X", "2-07-036822-x", "207036822X", S::valid},
            {"leading zero lost", "306406152", "0306406152", S::zeroRestored},
            {"exponent written out whole", "9,782070408504E+12", "9782070408504", S::fromExponent},
            {"exponent with lost digits", "9,78207E+12", "", S::exponentLost},
            {"exponent with a point", "9.78E+12", "", S::exponentLost},
            {"wrong check digit not kept", "9782070408505", "", S::wrongCheck},
            {"nine digits that are no isbn", "123456788", "", S::oddLength},
            {"shop identifier in brackets", "[B0000639EV]", "", S::notIsbn},
            {"isbn in brackets", "[0316769487]", "0316769487", S::valid},
            {"letters around digits", "FR-2070360180", "", S::notIsbn},
            {"isbn prefix", "ISBN 978-2-07-040850-4", "9782070408504", S::valid},
            {"a dash for nothing", " - ", "", S::none},
            {"an ean-13 that is no book", "3760145231239", "", S::notIsbn},
            {"nothing", "  ", "", S::none},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromUtf8(r.given) << QString::fromUtf8(r.kept)
                                  << static_cast<int>(r.status);
    }
    void isbn() {
        QFETCH(QString, given);
        QFETCH(QString, kept);
        QFETCH(int, status);
        const Isbn isbn = readIsbn(given.toStdString());
        QCOMPARE(QString::fromStdString(isbn.digits), kept);
        QCOMPARE(static_cast<int>(isbn.status), status);
    }

    void isbnTenAndThirteenAreOneBook() {
        QCOMPARE(isbnKey("2070360180"), isbnKey("9782070360185"));
        QVERIFY(isbn13Valid(isbnKey("2070360180")));
    }

    void price_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("rounded");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("fits") << QStringLiteral("8,50") << QStringLiteral("8,5") << false << false;
        QTest::newRow("rounded to fit")
            << QStringLiteral("15,99") << QStringLiteral("16") << true << false;
        QTest::newRow("point and currency")
            << QStringLiteral("15.99 €") << QStringLiteral("16") << true << false;
        QTest::newRow("dollar") << QStringLiteral("$8") << QStringLiteral("8") << false << false;
        QTest::newRow("thousands")
            << QStringLiteral("1 234,50") << QStringLiteral("1235") << true << false;
        QTest::newRow("one decimal kept")
            << QStringLiteral("123,44") << QStringLiteral("123") << true << false;
        QTest::newRow("too big") << QStringLiteral("12345") << QStringLiteral("") << false << true;
        QTest::newRow("words") << QStringLiteral("gratuit") << QStringLiteral("") << false << true;
        QTest::newRow("negative") << QStringLiteral("-3") << QStringLiteral("") << false << true;
        QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("") << false << false;
    }
    void price() {
        QFETCH(QString, given);
        QFETCH(QString, kept);
        QFETCH(bool, rounded);
        QFETCH(bool, invalid);
        const Price p = readPrice(given.toStdString());
        QCOMPARE(QString::fromStdString(p.text), kept);
        QCOMPARE(p.rounded, rounded);
        QCOMPARE(p.invalid, invalid);
    }

    void authors_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QStringList>("authors");
        QTest::newRow("last, first is one author")
            << QStringLiteral("Hugo, Victor") << QStringList{QStringLiteral("Hugo, Victor")};
        QTest::newRow("full names by commas")
            << QStringLiteral("Victor Hugo, Alexandre Dumas")
            << QStringList{QStringLiteral("Victor Hugo"), QStringLiteral("Alexandre Dumas")};
        QTest::newRow("semicolons")
            << QStringLiteral("Hugo, Victor; Dumas, Alexandre")
            << QStringList{QStringLiteral("Hugo, Victor"), QStringLiteral("Dumas, Alexandre")};
        QTest::newRow("ampersand")
            << QStringLiteral("Goscinny & Uderzo")
            << QStringList{QStringLiteral("Goscinny"), QStringLiteral("Uderzo")};
        QTest::newRow("line breaks") << QStringLiteral("A B\nC D\n")
                                     << QStringList{QStringLiteral("A B"), QStringLiteral("C D")};
        QTest::newRow("hyphenated duo") << QStringLiteral("Erckmann-Chatrian")
                                        << QStringList{QStringLiteral("Erckmann-Chatrian")};
        QTest::newRow("empty") << QStringLiteral(" ") << QStringList{};
        QTest::newRow("commas and ampersand between full names")
            << QStringLiteral("Victor Hugo, Alexandre Dumas & Jules Verne")
            << QStringList{QStringLiteral("Victor Hugo"), QStringLiteral("Alexandre Dumas"),
                           QStringLiteral("Jules Verne")};
        QTest::newRow("ampersand between last, first names")
            << QStringLiteral("Dupont, Jean & Martin, Paul")
            << QStringList{QStringLiteral("Dupont, Jean"), QStringLiteral("Martin, Paul")};
        QTest::newRow("single names, commas and ampersand")
            << QStringLiteral("Goscinny, Uderzo & Morris")
            << QStringList{QStringLiteral("Goscinny"), QStringLiteral("Uderzo"),
                           QStringLiteral("Morris")};
        QTest::newRow("et between people")
            << QStringLiteral("Pierre Boileau et Thomas Narcejac")
            << QStringList{QStringLiteral("Pierre Boileau"), QStringLiteral("Thomas Narcejac")};
        QTest::newRow("a firm is one name") << QStringLiteral("O'Reilly & Associates")
                                            << QStringList{QStringLiteral("O'Reilly & Associates")};
        QTest::newRow("a person and a firm")
            << QStringLiteral("Tim O'Reilly, O'Reilly & Associates")
            << QStringList{QStringLiteral("Tim O'Reilly"), QStringLiteral("O'Reilly & Associates")};
        // A lone given name or initial shares the surname after it: one author as written.
        for (const char* couple : {"Dan and Kathe Spracklen", "Elizabeth et Robert BADINTER",
                                   "P. et GURGAND J.N.", "J.-N. & Anne Martin"})
            QTest::newRow(couple) << QString::fromUtf8(couple)
                                  << QStringList{QString::fromUtf8(couple)};
        QTest::newRow("a couple among other people")
            << QStringLiteral("Paul Martin, Dan and Kathe Spracklen & Jules Verne")
            << QStringList{QStringLiteral("Paul Martin"), QStringLiteral("Dan and Kathe Spracklen"),
                           QStringLiteral("Jules Verne")};
        QTest::newRow("surname first, two people")
            << QStringLiteral("AUTISSIER Isabelle et ORSENNA Eric")
            << QStringList{QStringLiteral("AUTISSIER Isabelle"), QStringLiteral("ORSENNA Eric")};
        QTest::newRow("whole names by ampersand")
            << QStringLiteral("Victor Hugo & Alexandre Dumas")
            << QStringList{QStringLiteral("Victor Hugo"), QStringLiteral("Alexandre Dumas")};
        QTest::newRow("two surnames")
            << QStringLiteral("Klüpfel & Kobr")
            << QStringList{QStringLiteral("Klüpfel"), QStringLiteral("Kobr")};
        QTest::newRow("a surname in capitals before a whole name")
            << QStringLiteral("HUGO et Alexandre DUMAS")
            << QStringList{QStringLiteral("HUGO"), QStringLiteral("Alexandre DUMAS")};
        QTest::newRow("a firm beside a person")
            << QStringLiteral("Larry Wall & O'Reilly & Associates")
            << QStringList{QStringLiteral("Larry Wall"), QStringLiteral("O'Reilly & Associates")};
    }
    void authors() {
        QFETCH(QString, cell);
        QFETCH(QStringList, authors);
        QStringList got;
        for (const std::string& a : splitAuthors(cell.toStdString()))
            got << QString::fromStdString(a);
        QCOMPARE(got, authors);
    }

    void smallValues_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("read"); // "-" when nothing
        QTest::newRow("iso date") << QStringLiteral("date") << QStringLiteral("2024-03-05")
                                  << QStringLiteral("5/3/2024");
        QTest::newRow("french date") << QStringLiteral("date") << QStringLiteral("05/03/2024 10:12")
                                     << QStringLiteral("5/3/2024");
        QTest::newRow("short year")
            << QStringLiteral("date") << QStringLiteral("5.3.24") << QStringLiteral("5/3/2024");
        QTest::newRow("own export date")
            << QStringLiteral("date") << QStringLiteral("9:12:2003") << QStringLiteral("9/12/2003");
        QTest::newRow("no month 13")
            << QStringLiteral("date") << QStringLiteral("2024-13-01") << QStringLiteral("-");
        QTest::newRow("not a date")
            << QStringLiteral("date") << QStringLiteral("hier") << QStringLiteral("-");
        QTest::newRow("year in a date")
            << QStringLiteral("year") << QStringLiteral("05/03/2001") << QStringLiteral("2001");
        QTest::newRow("year in words")
            << QStringLiteral("year") << QStringLiteral("mars 1999") << QStringLiteral("1999");
        QTest::newRow("pages with unit")
            << QStringLiteral("pages") << QStringLiteral("350 p.") << QStringLiteral("350");
        QTest::newRow("too many pages")
            << QStringLiteral("pages") << QStringLiteral("12000") << QStringLiteral("-");
        QTest::newRow("oui") << QStringLiteral("flag") << QStringLiteral("Oui")
                             << QStringLiteral("1");
        QTest::newRow("true") << QStringLiteral("flag") << QStringLiteral("true")
                              << QStringLiteral("1");
        QTest::newRow("cross") << QStringLiteral("flag") << QStringLiteral("x")
                               << QStringLiteral("1");
        QTest::newRow("non") << QStringLiteral("flag") << QStringLiteral("NON")
                             << QStringLiteral("0");
        QTest::newRow("maybe") << QStringLiteral("flag") << QStringLiteral("peut-être")
                               << QStringLiteral("-");
    }
    void smallValues() {
        QFETCH(QString, kind);
        QFETCH(QString, given);
        QFETCH(QString, read);
        const std::string g = given.toStdString();
        QString got = QStringLiteral("-");
        if (kind == u"date") {
            if (auto d = readDate(g))
                got = QStringLiteral("%1/%2/%3").arg(d->day).arg(d->month).arg(d->year);
        } else if (kind == u"year") {
            if (auto y = readYear(g)) got = QString::fromStdString(*y);
        } else if (kind == u"pages") {
            if (auto p = readCount(g, 4)) got = QString::fromStdString(*p);
        } else if (auto f = readFlag(g)) {
            got = *f ? QStringLiteral("1") : QStringLiteral("0");
        }
        QCOMPARE(got, read);
    }

    void html() {
        QCOMPARE(
            withoutHtml("<p>Un <b>jeune</b> Gascon<br/>monte &agrave; Paris &amp; Londres.</p>"),
            std::string("Un jeune Gascon\nmonte à Paris & Londres.\n"));
        // A plain text keeps its signs.
        QCOMPARE(withoutHtml("2 < 3 et 5 > 4"), std::string("2 < 3 et 5 > 4"));
    }

    void encodings_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("strays"); // line:bytes of each line with stray bytes
        QTest::newRow("utf-8 with bom")
            << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9") << QStringLiteral("UTF-8 avec BOM")
            << QStringLiteral("été") << QString();
        QTest::newRow("utf-8") << QByteArray("\xC3\xA9t\xC3\xA9") << QStringLiteral("UTF-8")
                               << QStringLiteral("été") << QString();
        QTest::newRow("windows-1252")
            << QByteArray("\xE9t\xE9 \x80") << QStringLiteral("Windows-1252")
            << QStringLiteral("été €") << QString();
        QTest::newRow("ascii") << QByteArray("ete") << QStringLiteral("ASCII (sans accents)")
                               << QStringLiteral("ete") << QString();
        QTest::newRow("utf-16 from a spreadsheet")
            << QByteArray("\xFF\xFE\xE9\x00t\x00\xE9\x00", 8) << QStringLiteral("UTF-16")
            << QStringLiteral("été") << QString();
        QTest::newRow("utf-8 with a stray latin-1 byte")
            << QByteArray("Sch\xC3\xB6nberger\nM\xFCller, K\xF6ln\nZo\xC3\xA9 \xC3\xA0 No\xC3\xABl")
            << QStringLiteral("UTF-8") << QStringLiteral("Schönberger\nMüller, Köln\nZoé à Noël")
            << QStringLiteral("2:2");
        QTest::newRow("bom and a stray byte")
            << QByteArray("\xEF\xBB\xBFt\xC3\xA9\n\x80") << QStringLiteral("UTF-8 avec BOM")
            << QStringLiteral("té\n€") << QStringLiteral("2:1");
        QTest::newRow("one utf-8 letter, one stray byte")
            << QByteArray("Sch\xC3\xB6nberger;M\xFCller") << QStringLiteral("UTF-8")
            << QStringLiteral("Schönberger;Müller") << QStringLiteral("1:1");
        QTest::newRow("latin-1 with one chance sequence")
            << QByteArray("\xC3\xA9t\xE9 \xE0 C\xF4me") << QStringLiteral("Windows-1252")
            << QStringLiteral("Ã©té à Côme") << QString();
    }
    void encodings() {
        QFETCH(QByteArray, file);
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        QFETCH(QString, strays);
        const std::string bytes = file.toStdString();
        const DecodedText d = decodeText(bytes);
        QCOMPARE(QString::fromStdString(d.encoding), encoding);
        QCOMPARE(QString::fromUtf8(d.utf8().data(), qsizetype(d.utf8().size())), text);
        QStringList lines;
        for (const auto& [line, count] : d.strayLines)
            lines << QStringLiteral("%1:%2").arg(line).arg(count);
        QCOMPARE(lines.join(QLatin1Char(' ')), strays);
    }

    void cutsAreCountedAndNamed() {
        SourceBook book;
        book.where = "ligne 9";
        book.add(Target::title, std::string(60, 'T'));
        book.add(Target::authors, "Auteur");
        book.add(Target::series, std::string(40, 'S'));
        book.add(Target::seriesNumber, "12");
        book.add(Target::comments, std::string(300, 'n'));
        book.add(Target::location, "a/b/c/d/e/f");
        const MappedBook m = mapBook(book, today);
        QCOMPARE(m.fiche.text(Field::titre), std::string(55, 'T'));
        QCOMPARE(m.fiche.text(Field::notes).size(), std::size_t(255));
        QCOMPARE(m.fiche.text(Field::collection), std::string(40, 'S'));
        QCOMPARE(m.fiche.text(Field::pos4), std::string("d/e/f"));
        int cuts = 0, dropped = 0;
        for (const Finding& f : m.findings) {
            cuts += f.kind == Finding::Kind::cut;
            dropped += f.kind == Finding::Kind::dropped;
        }
        QCOMPARE(cuts, 2);
        QCOMPARE(dropped, 1); // the series number that no longer fits
    }
};

QTEST_GUILESS_MAIN(TestImportValues)
#include "tst_importvalues.moc"
