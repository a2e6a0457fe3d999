// Texts compared: the one loose form, its users agreeing on it (the overview's filter,
// the importer's column names, the lookup's authors), and the ranks of French order.
#include "FicheBuilder.h"
#include "import/FieldNames.h"
#include "lookup/Mapping.h"
#include "overview/OverviewColumns.h"
#include "overview/OverviewView.h"
#include "store/Cp1252.h"
#include "store/Folding.h"
#include "store/FrenchOrder.h"

#include <set>

#include <QTest>

class TestTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::addColumn<QString>("name");
        QTest::newRow("accents and case") << "ÉMILE Zola, élève à Noël"
                                          << "emile zola, eleve a noel"
                                          << "emile zola eleve a noel";
        QTest::newRow("ligatures") << "Œuvres, cæcum, Æsop"
                                   << "oeuvres, caecum, aesop"
                                   << "oeuvres caecum aesop";
        QTest::newRow("sharp s, both cases") << "Straße, STRAẞE"
                                             << "strasse, strasse"
                                             << "strasse strasse";
        QTest::newRow("letters without a plain form") << "Ørsted, Þór, Ðe, Łódź"
                                                      << "orsted, thor, de, lodz"
                                                      << "orsted thor de lodz";
        QTest::newRow("Turkish i, dotted and dotless") << "İSTANBUL ılık"
                                                       << "istanbul ilik"
                                                       << "istanbul ilik";
        QTest::newRow("Greek: accents, breathings, final sigma") << "ΟΔΥΣΣΕΥΣ Ἀθῆναι"
                                                                 << "οδυσσευσ αθηναι"
                                                                 << "οδυσσευσ αθηναι";
        QTest::newRow("Greek accented capital") << "Ἄργος Άργος"
                                                << "αργοσ αργοσ"
                                                << "αργοσ αργοσ";
        QTest::newRow("an accent typed apart") << "e\u0301te\u0301"
                                               << "ete"
                                               << "ete";
        QTest::newRow("ordinal letters, ligature fi") << "Nº 3, 1ª, ﬁn"
                                                      << "no 3, 1a, fin"
                                                      << "no 3 1a fin";
        QTest::newRow("signs stay") << "n° 3 – 12 € ½"
                                    << "n° 3 – 12 € ½"
                                    << "n 3 12 ½";
        QTest::newRow("apostrophe and hyphen part words") << "Année d'édition, Jean-Paul"
                                                          << "annee d'edition, jean-paul"
                                                          << "annee d edition jean paul";
    }
    void folding() {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QFETCH(QString, name);
        const std::string utf8 = text.toStdString();
        QCOMPARE(QString::fromStdString(q7::folded(utf8)), folded);
        QCOMPARE(QString::fromStdString(q7::nameKey(utf8)), name);
        // The same characters stored in the code page fold to the same bytes.
        std::size_t lost = 0;
        const std::string bytes = q7::utf8ToCp1252(utf8, &lost);
        if (lost == 0) {
            QCOMPARE(q7::foldedCp1252(bytes), q7::folded(utf8));
            QCOMPARE(q7::nameKeyCp1252(bytes), q7::nameKey(utf8));
        }
    }

    void everyByteFoldsAsItsCharacter() {
        QCOMPARE(q7::folded("a\xFF"
                            "B"),
                 "a?b"); // a malformed byte, as the codec reads it
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, char(b));
            // In the middle of others: the table's bytes are copied by fixed pieces.
            QCOMPARE(q7::foldedCp1252("x" + byte + "Y"),
                     "x" + q7::folded(q7::cp1252ToUtf8(byte)) + "y");
        }
    }

    // A name stored one way and written another is the same name for every user of
    // the fold: found by the overview's filter, the same column for the importer, the
    // same author for the lookup.
    void everyUserMatchesTheSameNames_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("Ø") << "Ørsted"
                           << "ORSTED";
        QTest::newRow("Œ") << "Œuvres complètes"
                           << "oeuvres completes";
        QTest::newRow("ß") << "Straße"
                           << "strasse";
        QTest::newRow("æ") << "Lætitia"
                           << "laetitia";
        QTest::newRow("accents") << "Émile Zola"
                                 << "emile zola";
    }
    void everyUserMatchesTheSameNames() {
        QFETCH(QString, stored);
        QFETCH(QString, written);
        const std::string bytes = q7::utf8ToCp1252(stored.toStdString());
        const std::string typed = written.toStdString();

        q7::OverviewBooks books;
        books.load(
            std::vector<q7::Fiche>{FicheBuilder().set(q7::Field::auteur, stored.toStdString()),
                                   FicheBuilder().set(q7::Field::auteur, "Autre")});
        q7::OverviewView view(books);
        view.setSearched({q7::columnIndex("auteur")});
        view.reset();
        view.setFilter(q7::utf8ToCp1252(typed));
        QCOMPARE(view.rows(), std::vector<int>{0});

        QCOMPARE(q7::import::foldBytes(bytes), q7::import::foldName(typed));
        QCOMPARE(q7::lookup::foldedName(stored.toStdString()), q7::lookup::foldedName(typed));
    }

    // Texts equal in French order share a rank, and only they, ranked in French order
    // whatever order they come in: a cheap order on primary keys is right for some, wrong
    // for others ("côte" met before "cote"), where French order's own keys decide.
    void frenchRanks_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("plain words") << QStringList{"b", "a", "c", "A", "B"};
        QTest::newRow("accents met last") << QStringList{"cote", "Cote", "coté", "côte", "côté"};
        QTest::newRow("accents met first") << QStringList{"côté", "côte", "coté", "COTE", "cote"};
        QTest::newRow("signs, digits and ligatures")
            << QStringList{"Œil", "oeil", "« Les »", "(Anthologie)", "½ heure", "1 an", "10 ans",
                           "-",   "a-b",  "ab",      "a b",          "zoé",     "Zoe",  "€ 5"};
        QTest::newRow("none") << QStringList{};
    }
    void frenchRanks() {
        QFETCH(QStringList, texts);
        std::vector<std::string> bytes;
        for (const QString& t : texts)
            bytes.push_back(q7::utf8ToCp1252(t.toStdString()));
        const std::vector<int> rank =
            q7::frenchRanks(std::vector<std::string_view>(bytes.begin(), bytes.end()));
        QCOMPARE(rank.size(), bytes.size());
        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = 0; j < texts.size(); ++j) {
                const int french = q7::compareFrench(texts[i], texts[j]);
                const int a = rank[std::size_t(i)], b = rank[std::size_t(j)];
                QVERIFY2((a < b) == (french < 0) && (a == b) == (french == 0),
                         qPrintable(texts[i] + " / " + texts[j]));
            }
        // From 0, without gaps: a rank is a group's place.
        const std::set<int> used(rank.begin(), rank.end());
        QVERIFY(used.empty() || (*used.begin() == 0 && *used.rbegin() == int(used.size()) - 1));
    }
};

QTEST_GUILESS_MAIN(TestTexts)
#include "tst_texts.moc"
