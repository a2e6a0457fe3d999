// Files in the shape the exporters collectors use write them, each with the traps real
// files hold: an empty ISBN beside a filled ISBN-13, formula cells, volumes of one work,
// one title by several authors or none, identifiers that are no ISBN, stray bytes of
// another code page, several authors in one cell, a firm among the authors. Every record
// is checked byte by byte, and the report's lines as the user reads them.
#include "FicheBuilder.h"
#include "import/Importer.h"
#include "ImportSamples.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QTest>

using namespace q7;
using namespace q7::import;

namespace {
const Date today{5, 3, 2024};

// A book as the importer makes it when the file says little: no price, no pages, today.
FicheBuilder book(int reference, const char* title, const char* author) {
    FicheBuilder b;
    b.set(Field::titre, title)
        .set(Field::auteur, author)
        .set(Field::prix, "0")
        .set(Field::nbpage, "0")
        .numero(reference)
        .date(5, 3, 2024);
    for (int f = 0; f < flagCount; ++f)
        b.flag(Flag(f), 0);
    return b;
}

struct Sample {
    std::string file;
    std::vector<Fiche> records;
    QStringList lines; // each a whole line of the report
};

Sample goodreads() {
    Sample s;
    s.file = "Book Id,Title,Author,Author l-f,Additional Authors,ISBN,ISBN13,My Rating,"
             "Average Rating,Publisher,Binding,Number of Pages,Year Published,Original "
             "Publication Year,Date Read,Date Added,Bookshelves,Bookshelves with positions,"
             "Exclusive Shelf,My Review,Spoiler,Private Notes,Read Count,Owned Copies\n"
             "5107,The Catcher in the Rye,J.D. Salinger,\"Salinger, J.D.\",,=\"\","
             "=\"9780316769488\",4,3.81,\"Little, Brown\",Paperback,277,2001,1951,2019/03/01,"
             "2019/02/20,classics,classics (#3),read,,,,1,0\n"
             "12067,Good Omens,Terry Pratchett,\"Pratchett, Terry\",Neil Gaiman,"
             "\"=\"\"0060853980\"\"\",\"=\"\"9780060853983\"\"\",0,4.25,William Morrow,"
             "Paperback,,2006,1990,,2020/01/05,\"fantasy, to-read\",,to-read,,,Signé,0,1\n"
             "15241,\"The Two Towers (The Lord of the Rings, #2)\",J.R.R. Tolkien,\"Tolkien, "
             "J.R.R.\",,=\"\",=\"\",0,4.46,Mariner,Paperback,352,2012,1954,,2020/01/06,,,"
             "read,,,,1,1\n";
    s.records = {book(1, "The Catcher in the Rye", "J.D. Salinger")
                     .set(Field::edition, "Little, Brown")
                     .set(Field::type, "Paperback")
                     .set(Field::nbpage, "277")
                     .set(Field::anedition, "2001")
                     .set(Field::isbn, "9780316769488")
                     .set(Field::txtutil, "classics")
                     .flag(Flag::lut)
                     .date(20, 2, 2019),
                 book(2, "Good Omens", "Terry Pratchett")
                     .set(Field::edition, "William Morrow")
                     .set(Field::type, "Paperback")
                     .set(Field::anedition, "2006")
                     .set(Field::isbn, "0060853980")
                     .set(Field::txtutil, "fantasy, to-read")
                     .set(Field::notes, "Autres auteurs : Neil Gaiman\r\nSigné")
                     .flag(Flag::plusauteur)
                     .date(5, 1, 2020),
                 book(3, "The Two Towers", "J.R.R. Tolkien")
                     .set(Field::collection, "The Lord of the Rings, 2")
                     .set(Field::edition, "Mariner")
                     .set(Field::type, "Paperback")
                     .set(Field::nbpage, "352")
                     .set(Field::anedition, "2012")
                     .flag(Flag::lut)
                     .date(6, 1, 2020)};
    s.lines = {"Format : CSV (séparateur « , »), export reconnu : Goodreads ; codage : UTF-8",
               "  « Author l-f » → ignorée",
               "  « ISBN13 » → isbn",
               "  « Number of Pages » → nbpage",
               "  « Exclusive Shelf » → lut (lu si l'état de lecture le dit)",
               "  « Bookshelves » → txtutil",
               "Fiches importées : 3 (références 1 à 3)",
               "Fiches écartées : 0"};
    return s;
}

Sample libraryThing() {
    Sample s;
    s.file =
        "Book Id\tTitle\tSort Character\tPrimary Author\tPrimary Author Role\tSecondary "
        "Author\tSecondary Author Roles\tPublication\tDate\tReview\tRating\tComment\t"
        "Private Comment\tSummary\tMedia\tPage Count\tAcquired\tTags\tCollections\t"
        "Languages\tISBN\tISBNs\tSubjects\tEntry Date\tFrom Where\n"
        "101\tVingt ans après\t1\tDumas, Alexandre\t\tMaquet, Auguste|Leloir, Maurice\t"
        "Illustrator\tKindle (2012)\t1845\t\t\t\t\t\tEbook\t\t2021-04-09\t\t"
        "Your library, Wishlist\tFrench\t[B0000639EV]\t\tRoman historique\t\t\n"
        "102\tL'Écume des jours\t1\tVian, Boris\t\t\t\tFolio (1998)\t1998-05-01\tTrès beau\t5\t"
        "\t\tUn amour.\tPaper Book\t320\t\troman, poche\tYour library\tFrench\t"
        "[2070360180]\t2070360180, 9782070360185\t\t2020-06-01\tLibrairie du Port\n";
    s.records = {book(1, "Vingt ans après", "Dumas, Alexandre")
                     .set(Field::type, "Ebook")
                     .set(Field::anedition, "1845")
                     .set(Field::txtutil, "Your library, Wishlist")
                     .set(Field::langue, "French")
                     .set(Field::sujet, "Roman historique")
                     .set(Field::notes, "Autres auteurs : Maquet, Auguste ; Leloir, "
                                        "Maurice\r\nIdentifiant : B0000639EV")
                     .flag(Flag::plusauteur)
                     .date(9, 4, 2021),
                 book(2, "L'Écume des jours", "Vian, Boris")
                     .set(Field::type, "Paper Book")
                     .set(Field::anedition, "1998")
                     .set(Field::nbpage, "320")
                     .set(Field::txtutil, "roman, poche, Your library")
                     .set(Field::langue, "French")
                     .set(Field::isbn, "2070360180")
                     .set(Field::origine, "Librairie du Port")
                     .set(Field::notes, "Très beau")
                     .set(Field::resume, "Un amour.")
                     .date(1, 6, 2020)};
    s.lines = {"Format : CSV (séparateur tabulation), export reconnu : LibraryThing ; codage : "
               "UTF-8",
               "  « Date » → anedition",
               "  « Collections » → txtutil",
               "  « ISBNs » → ignorée",
               "Plusieurs auteurs dans une case : séparés par « | »",
               "ISBN non repris : 1, 1 fiche",
               "  ligne 2 : « B0000639EV » : ce n'est pas un ISBN, gardé dans les notes"};
    return s;
}

Sample bookBuddy() {
    Sample s;
    s.file = "Title,Original Title,Subtitle,Series,Volume,Author,\"Author (Last, First)\","
             "Publisher,Date Published,Year Published,Edition,Genre,Summary,Number of Pages,"
             "Format,Language,ISBN,Tags,Category,Location,Date Added,Condition,Purchase Price,"
             "Status,Notes\n"
             "Les Misérables,,,,I,Victor Hugo,\"Hugo, Victor\",Folio,,1995,2e édition,Roman,,"
             ",Poche,Français,,,Classiques,Salon/Haut,2022-01-10,Bon,\"8,50\",Read,\n"
             "Les Misérables,,,,II,Victor Hugo,\"Hugo, Victor\",Folio,,1995,,Roman,,,Poche,"
             "Français,,,Classiques,Salon/Haut,2022-01-10,Bon,\"8,50\",Unread,\n"
             "Les Misérables,,,,III,Victor Hugo,\"Hugo, Victor\",Folio,,1995,,Roman,,,Poche,"
             "Français,,,Classiques,Salon/Haut,2022-01-10,Bon,\"8,50\",Reading,\n"
             "Poèmes,,,,,Victor Hugo,,,,,,,,,,,,,,,,,,,\n"
             "Poèmes,,,,,Paul Verlaine,,,,,,,,,,,,,,,,,,,\n"
             "Poèmes,,,,,,,,,,,,,,,,,,,,,,,,\n"
             "Poèmes,,,,,,,,,,,,,,,,,,,,,,,,\n"
             "Les Misérables,,,,I,Victor Hugo,,,,,,,,,,,,,,,,,,,\n";
    const auto volume = [](int ref, const char* title) {
        return book(ref, title, "Victor Hugo")
            .set(Field::edition, "Folio")
            .set(Field::anedition, "1995")
            .set(Field::sujet, "Roman, Classiques")
            .set(Field::type, "Poche")
            .set(Field::langue, "Français")
            .set(Field::pos1, "Salon")
            .set(Field::pos2, "Haut")
            .set(Field::etat, "Bon")
            .set(Field::prix, "8,5")
            .date(10, 1, 2022);
    };
    s.records = {volume(1, "Les Misérables, tome I").flag(Flag::lut),
                 volume(2, "Les Misérables, tome II"),
                 volume(3, "Les Misérables, tome III"),
                 book(4, "Poèmes", "Victor Hugo"),
                 book(5, "Poèmes", "Paul Verlaine"),
                 book(6, "Poèmes", ""),
                 book(7, "Poèmes", "")};
    s.lines = {"Format : CSV (séparateur « , »), export reconnu : BookBuddy ; codage : UTF-8",
               "  « Edition » → ignorée", "  « Status » → lut (lu si l'état de lecture le dit)",
               "Fiches écartées : 1 (dont 1 doublon)",
               "  ligne 9 : « Les Misérables, tome I » est un doublon de « Les Misérables, "
               "tome I » (ligne 2 du fichier) : même titre, même premier auteur et même tome"};
    return s;
}

Sample libib() {
    Sample s;
    // UTF-8 with one line pasted from a Latin-1 file: "M\xFCller" is not UTF-8.
    s.file = "item_type,title,creators,first_name,last_name,ean_isbn13,upc_isbn10,description,"
             "publisher,publish_date,group,tags,notes,price,length,number_of_discs,"
             "number_of_players,age_group,ensemble,aspect_ratio,esrb,rating,review,review_date,"
             "status,began,completed,added,copies\n"
             "book,Der Schwarm,Frank Schätzing,Frank,Schätzing,,2253004227,Un thriller des "
             "océans.,Kiepenheuer,2004-03-01,Étagère,\"thriller, mer\",Prêté à Jean,12.50,"
             "1000,,,,,,,4,,,Completed,2021-01-02,2021-02-01,2021-01-15,1\n"
             "book,Die Welle,Herta M\xFCller,Herta,M\xFCller,9782070360024,,,,2001,,,,,,,,,,,,,,,"
             "Not begun,,,2021-01-16,1\n";
    s.records = {book(1, "Der Schwarm", "Frank Schätzing")
                     .set(Field::isbn, "2253004227")
                     .set(Field::resume, "Un thriller des océans.")
                     .set(Field::edition, "Kiepenheuer")
                     .set(Field::anedition, "2004")
                     .set(Field::txtutil, "Étagère, thriller, mer")
                     .set(Field::notes, "Prêté à Jean")
                     .set(Field::prix, "12,5")
                     .set(Field::nbpage, "1000")
                     .flag(Flag::lut)
                     .date(15, 1, 2021),
                 book(2, "Die Welle", "Herta Müller")
                     .set(Field::isbn, "9782070360024")
                     .set(Field::anedition, "2001")
                     .date(16, 1, 2021)};
    s.lines = {"Format : CSV (séparateur « , »), export reconnu : Libib ; codage : UTF-8 "
               "(quelques octets d'un autre codage, lus en Windows-1252)",
               "  « length » → nbpage",
               "Octets hors UTF-8 :", "  ligne 3 : 2 octets hors UTF-8 lus en Windows-1252"};
    return s;
}

Sample calibre() {
    Sample s;
    s.file = "author_sort,authors,comments,cover,formats,id,identifiers,isbn,languages,"
             "library_name,pubdate,publisher,rating,series,series_index,size,tags,timestamp,"
             "title,title_sort,uuid\n"
             "\"Wall, Larry\",Larry Wall & Tom Christiansen & Jon Orwant,<p>The camel "
             "book.</p>,,EPUB,1,isbn:9780596000271,9780596000271,eng,Livres,"
             "2000-07-01T00:00:00+00:00,O'Reilly & Associates,5,Perl,3.0,100,"
             "\"perl, programming\",2021-03-04T10:00:00+00:00,Programming Perl,"
             "Programming Perl,u1\n"
             "O'Reilly & Associates,O'Reilly & Associates,,,PDF,2,,,eng,Livres,"
             "2002-01-01T00:00:00+00:00,O'Reilly,,,1.0,10,,2021-03-05T10:00:00+00:00,"
             "Unix Power Tools,Unix Power Tools,u2\n"
             "\"Hugo, Victor\",\"Victor Hugo, Alexandre Dumas & Jules Verne\",,,,3,,,fra,Livres,"
             ",,,,1.0,,,2021-03-06T10:00:00+00:00,Trois plumes,Trois plumes,u3\n";
    s.records = {book(1, "Programming Perl", "Larry Wall")
                     .set(Field::resume, "The camel book.")
                     .set(Field::isbn, "9780596000271")
                     .set(Field::langue, "eng")
                     .set(Field::anedition, "2000")
                     .set(Field::edition, "O'Reilly & Associates")
                     .set(Field::collection, "Perl, 3")
                     .set(Field::txtutil, "perl, programming")
                     .set(Field::notes, "Autres auteurs : Tom Christiansen ; Jon Orwant")
                     .flag(Flag::plusauteur)
                     .date(4, 3, 2021),
                 book(2, "Unix Power Tools", "O'Reilly & Associates")
                     .set(Field::langue, "eng")
                     .set(Field::anedition, "2002")
                     .set(Field::edition, "O'Reilly")
                     .date(5, 3, 2021),
                 book(3, "Trois plumes", "Victor Hugo")
                     .set(Field::langue, "fra")
                     .set(Field::notes, "Autres auteurs : Alexandre Dumas ; Jules Verne")
                     .flag(Flag::plusauteur)
                     .date(6, 3, 2021)};
    s.lines = {"Format : CSV (séparateur « , »), export reconnu : calibre ; codage : ASCII "
               "(sans accents)",
               "  « comments » → resume",
               "  « series_index » → collection (numéro)",
               "Plusieurs auteurs dans une case : séparés par « & »",
               "  ligne 4 : auteurs séparés par « , » et « & »",
               "  ligne 3 : « & » d'un nom de maison (« & Associates », « et fils »...) gardé "
               "dans un seul auteur"};
    return s;
}

Sample tellicoCsv() {
    Sample s;
    s.file = "\"Title\",\"Subtitle\",\"Author\",\"Binding\",\"Purchase Date\",\"Purchase "
             "Price\",\"Publisher\",\"Edition\",\"Copyright Year\",\"Publication Year\","
             "\"ISBN#\",\"LCCN#\",\"Pages\",\"Language\",\"Genre\",\"Keywords\",\"Series\","
             "\"Series Number\",\"Condition\",\"Signed\",\"Read\",\"Gift\",\"Loaned\","
             "\"Rating\",\"Comments\",\"Plot Summary\"\n"
             "\"Dune\",\"\",\"Frank Herbert\",\"Poche\",\"\",\"9.90\",\"Pocket\",\"Première\","
             "\"1965\",\"2012\",\"978-2-266-23336-1\",\"\",\"832\",\"Français\",\"SF\","
             "\"désert\",\"Dune\",\"1\",\"\",\"\",\"true\",\"\",\"\",\"\",\"Offert\","
             "\"Arrakis.\"\n"
             "\"Le Messie de Dune\",\"\",\"Frank Herbert; Michel Demuth\",\"Poche\",\"\",\"\","
             "\"Pocket\",\"\",\"\",\"2012\",\"978-2-266-23336-2\",\"\",\"\",\"\",\"\",\"\","
             "\"Dune\",\"2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\n";
    s.records = {book(1, "Dune", "Frank Herbert")
                     .set(Field::type, "Poche")
                     .set(Field::prix, "9,9")
                     .set(Field::edition, "Pocket")
                     .set(Field::anedition, "2012")
                     .set(Field::isbn, "9782266233361")
                     .set(Field::nbpage, "832")
                     .set(Field::langue, "Français")
                     .set(Field::sujet, "SF")
                     .set(Field::txtutil, "désert")
                     .set(Field::collection, "Dune, 1")
                     .set(Field::notes, "Offert")
                     .set(Field::resume, "Arrakis.")
                     .flag(Flag::lut),
                 book(2, "Le Messie de Dune", "Frank Herbert")
                     .set(Field::type, "Poche")
                     .set(Field::edition, "Pocket")
                     .set(Field::anedition, "2012")
                     .set(Field::collection, "Dune, 2")
                     .set(Field::notes, "Autres auteurs : Michel Demuth\r\nIdentifiant : "
                                        "978-2-266-23336-2")
                     .flag(Flag::plusauteur)};
    s.lines = {"Format : CSV (séparateur « , »), export reconnu : Tellico ; codage : UTF-8",
               "  « Edition » → ignorée", "  « Plot Summary » → resume",
               "ISBN non repris : 1, 1 fiche",
               "  ligne 3 : « 978-2-266-23336-2 » : la clé ne correspond pas, gardé dans les "
               "notes"};
    return s;
}

// A French association's library catalogue, as its spreadsheet saves it: ";" and
// Windows-1252, shelf marks, co-authors, the number in the publisher's series.
Sample association() {
    Sample s;
    s.file = lit("N°;Titre;Auteur(s);Co-auteur(s);Editeur;Collection;N° dans la collection;"
                 "Année;ISBN;Cote;Prix\r\n"
                 "1;Les Misérables;Hugo, Victor;;Gallimard;Folio;3;1995;978-2-07-040850-4;"
                 "R HUG;9,50\r\n"
                 "2;Poèmes;;;;;;;;P;\r\n"
                 "3;Poèmes;;;;;;;;P;\r\n"
                 "4;Le Mystère de la chambre jaune;Leroux, Gaston;Dupont, Jean;;;;1907;;R LER;"
                 "\r\n");
    s.records = {book(1, "Les Misérables", "Hugo, Victor")
                     .set(Field::edition, "Gallimard")
                     .set(Field::collection, "Folio, 3")
                     .set(Field::anedition, "1995")
                     .set(Field::isbn, "9782070408504")
                     .set(Field::pos1, "R HUG")
                     .set(Field::prix, "9,5"),
                 book(2, "Poèmes", "").set(Field::pos1, "P"),
                 book(3, "Poèmes", "").set(Field::pos1, "P"),
                 book(4, "Le Mystère de la chambre jaune", "Leroux, Gaston")
                     .set(Field::anedition, "1907")
                     .set(Field::pos1, "R LER")
                     .set(Field::notes, "Autres auteurs : Dupont, Jean")
                     .flag(Flag::plusauteur)};
    s.lines = {"Format : CSV (séparateur « ; ») ; codage : Windows-1252",
               "  « N° » → référence (non reprise : donnée à la suite)",
               "  « Co-auteur(s) » → auteur",
               "  « N° dans la collection » → collection (numéro)",
               "  « Cote » → pos1 à pos4",
               "Fiches écartées : 0"};
    return s;
}

// A bookshop's catalogue: EAN codes, prices with tax, shelves, release dates.
Sample bookshop() {
    Sample s;
    s.file = "EAN;Titre;Auteur;Editeur;Date de parution;Prix TTC;Rayon;Stock\n"
             "9782070360024;L'Étranger;Albert Camus;Gallimard;15/05/1972;7,60 €;Poche/C;3\n"
             "3760145231239;Carnet ligné;;Clairefontaine;;4,90 €;Papeterie;10\n";
    s.records = {book(1, "L'Étranger", "Albert Camus")
                     .set(Field::isbn, "9782070360024")
                     .set(Field::edition, "Gallimard")
                     .set(Field::anedition, "1972")
                     .set(Field::prix, "7,6")
                     .set(Field::pos1, "Poche")
                     .set(Field::pos2, "C"),
                 book(2, "Carnet ligné", "")
                     .set(Field::edition, "Clairefontaine")
                     .set(Field::prix, "4,9")
                     .set(Field::pos1, "Papeterie")
                     .set(Field::notes, "Identifiant : 3760145231239")};
    s.lines = {"  « EAN » → isbn",
               "  « Prix TTC » → prix",
               "  « Rayon » → pos1 à pos4",
               "  « Stock » → ignorée (nom inconnu)",
               "ISBN non repris : 1, 1 fiche",
               "  ligne 3 : « 3760145231239 » : ce n'est pas un ISBN, gardé dans les notes"};
    return s;
}

Sample tellicoXmlWithControls() {
    Sample s;
    std::string xml = samples::tellicoXml();
    const std::string title = "Les Trois Mousquetaires";
    xml.replace(xml.find(title), title.size(), "Les Trois\x01 Mousque&#x2;taires");
    s.file = xml;
    s.lines = {"Format : Tellico ; codage : UTF-8"};
    return s;
}

std::vector<Sample> samplesByName(const QString& name) {
    if (name == u"goodreads") return {goodreads()};
    if (name == u"librarything") return {libraryThing()};
    if (name == u"bookbuddy") return {bookBuddy()};
    if (name == u"libib") return {libib()};
    if (name == u"calibre") return {calibre()};
    if (name == u"tellico csv") return {tellicoCsv()};
    if (name == u"association") return {association()};
    if (name == u"bookshop") return {bookshop()};
    return {tellicoXmlWithControls()};
}

QStringList linesOf(const std::string& report) {
    return QString::fromStdString(report).split(QLatin1Char('\n'));
}
} // namespace

class TestImportExporters : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exporterFiles_data() {
        QTest::addColumn<QString>("name");
        for (const char* n :
             {"goodreads", "librarything", "bookbuddy", "libib", "calibre", "tellico csv"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void exporterFiles() {
        QFETCH(QString, name);
        const Sample s = samplesByName(name).front();
        Existing none;
        const Plan plan = planImport(readSource(s.file, Format::automatic, {}), none, today);
        const QStringList report = linesOf(renderReport(plan.report));
        for (const QString& line : s.lines)
            if (!report.contains(line))
                QFAIL(qPrintable(QStringLiteral("missing line « %1 » in:\n%2")
                                     .arg(line, report.join(QLatin1Char('\n')))));
        QCOMPARE(plan.records.size(), s.records.size());
        for (std::size_t i = 0; i < s.records.size(); ++i) {
            for (int f = 0; f < fieldCount; ++f)
                QCOMPARE(QString::fromStdString(cp1252ToUtf8(plan.records[i].text(Field(f)))),
                         QString::fromStdString(cp1252ToUtf8(s.records[i].text(Field(f)))));
            QCOMPARE(plan.records[i].bytes, s.records[i].bytes);
        }
        // An empty cell is never a refused ISBN, and no message doubles its full stop.
        const QString refused = QStringLiteral("ISBN non repris");
        if (s.lines.filter(refused).isEmpty()) QVERIFY(report.filter(refused).isEmpty());
        for (const QString& line : report) {
            QVERIFY2(!line.contains(QStringLiteral("« »")), qPrintable(line));
            QVERIFY2(!line.contains(QStringLiteral("..")) || line.contains(QStringLiteral("...")),
                     qPrintable(line));
        }
    }

    void tellicoWithControlCharactersOpens() {
        const Sample s = tellicoXmlWithControls();
        Existing none;
        const Plan plan = planImport(readSource(s.file, Format::automatic, {}), none, today);
        QCOMPARE(plan.records.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(cp1252ToUtf8(plan.records[0].text(Field::titre))),
                 QStringLiteral("Les Trois Mousquetaires"));
        const QStringList report = linesOf(renderReport(plan.report));
        const QStringList dropped = report.filter(QStringLiteral("retirés (interdits en XML)"));
        QCOMPARE(dropped.size(), 1);
        QVERIFY(dropped[0].contains(QStringLiteral(" : 2 caractères de contrôle")));
    }

    void gcstarAuthorsInOneValue() {
        const std::string file =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<collection type=\"GCbooks\" items=\"2\" version=\"1.7.0\">\n"
            "<item id=\"1\" title=\"Astérix le Gaulois\"><authors><line><col>René Goscinny "
            "&amp; Albert Uderzo</col></line></authors></item>\n"
            "<item id=\"2\" title=\"sed &amp; awk\"><authors><line><col>O'Reilly &amp; "
            "Associates</col></line></authors></item>\n"
            "</collection>\n";
        Existing none;
        const Plan plan = planImport(readSource(file, Format::automatic, {}), none, today);
        QCOMPARE(plan.records.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(cp1252ToUtf8(plan.records[0].text(Field::auteur))),
                 QStringLiteral("René Goscinny"));
        QCOMPARE(QString::fromStdString(cp1252ToUtf8(plan.records[0].text(Field::notes))),
                 QStringLiteral("Autres auteurs : Albert Uderzo"));
        QCOMPARE(QString::fromStdString(cp1252ToUtf8(plan.records[1].text(Field::auteur))),
                 QStringLiteral("O'Reilly & Associates"));
        const QStringList report = linesOf(renderReport(plan.report));
        QVERIFY(
            report.contains(QStringLiteral("Plusieurs auteurs dans une case : séparés par « & »")));
        QVERIFY(report.contains(QStringLiteral(
            "  entrée 2 (id 2) : « & » d'un nom de maison (« & Associates », « et fils »...) "
            "gardé dans un seul auteur")));
    }

    // What is not a spreadsheet is named, with what to do, never refused for its columns.
    void foreignFilesSayWhatTheyAre_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("said");
        QTest::newRow("xml of another program")
            << QByteArray("<?xml version=\"1.0\"?>\n<bibliotheque><livre titre=\"A\"/>"
                          "</bibliotheque>")
            << QStringLiteral("fichier XML d'un autre programme (élément racine <bibliotheque>)");
        QTest::newRow("yaml") << QByteArray("---\n- title: A\n  author: B\n")
                              << QStringLiteral("fichier YAML");
        QTest::newRow("json") << QByteArray("[{\"title\": \"A\"}]")
                              << QStringLiteral("fichier JSON");
        QTest::newRow("old excel") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10)
                                   << QStringLiteral("classeur Excel ancien");
    }
    void foreignFilesSayWhatTheyAre() {
        QFETCH(QByteArray, file);
        QFETCH(QString, said);
        // Told from the content, and when the user says it is a CSV.
        for (Format format : {Format::automatic, Format::csv}) {
            try {
                readSource(file.toStdString(), format, {});
                QFAIL("read as a catalogue");
            } catch (const Error& e) {
                const QString why = QString::fromUtf8(e.what());
                QVERIFY2(why.contains(said), qPrintable(why));
                QVERIFY2(!why.contains(QStringLiteral("--colonnes")), qPrintable(why));
                QVERIFY2(!why.contains(QStringLiteral("..")), qPrintable(why));
            }
        }
    }

    void brokenXmlIsSaidInFrench() {
        try {
            readSource(samples::tellicoXml().substr(0, 900), Format::tellico, {});
            QFAIL("a truncated file was read");
        } catch (const Error& e) {
            const QString why = QString::fromUtf8(e.what());
            QVERIFY2(why.contains(QStringLiteral("tronqué")), qPrintable(why));
            QVERIFY2(!why.contains(QStringLiteral("Premature")) &&
                         !why.contains(QStringLiteral("..")),
                     qPrintable(why));
        }
    }
};

QTEST_GUILESS_MAIN(TestImportExporters)
#include "tst_importexporters.moc"
