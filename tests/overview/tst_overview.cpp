// The overview's books without the window: the filter, the orders and the groups.
#include "FicheBuilder.h"
#include "overview/OverviewColumns.h"
#include "overview/OverviewView.h"
#include "store/FrenchOrder.h"

#include <QTest>

using q7::Field;

namespace {

int column(const char* key) {
    return q7::columnIndex(key);
}

// Books as (reference, title, author, year, pages, pos1, pos2).
std::vector<q7::Fiche> books() {
    const char* rows[][7] = {
        {"1", "Germinal", "ÉMILE ZOLA", "1885", "591", "B3", ""},
        {"2", "L'Œuvre", "Émile Zola", "1886", "", "B3", "haut"},
        {"10", "Maigret", "Simenon, Georges", "", "9", "A1", ""},
        {"9", "Ça", "King; Stephen", "1986", "1138", "", ""},
        {"3", "Le Horla", "", "1887", "10", "B3", ""},
        {"x2", "éa", "Simenon, Georges", "année ?", "abc", "", "bas"},
        {"", "eb", "simenon, georges", "1885", "0", "", ""},
    };
    std::vector<q7::Fiche> out;
    for (const auto& r : rows)
        out.push_back(FicheBuilder()
                          .set(Field::numero, r[0])
                          .set(Field::titre, r[1])
                          .set(Field::auteur, r[2])
                          .set(Field::anedition, r[3])
                          .set(Field::nbpage, r[4])
                          .set(Field::pos1, r[5])
                          .set(Field::pos2, r[6]));
    out[0].setFlag(q7::Flag::lut, true);
    out[4].setFlag(q7::Flag::lut, true);
    return out;
}

QStringList references(const q7::OverviewBooks& b, const std::vector<int>& rows) {
    QStringList out;
    for (int r : rows)
        out << QString::fromStdString(q7::cp1252ToUtf8(b.text(r, Field::numero)));
    return out;
}

} // namespace

class TestOverview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("searched"); // column keys, blank separated
        QTest::addColumn<QStringList>("expected");
        const QString shown = "reference titre auteur anedition positions lu";
        QTest::newRow("empty shows all")
            << "" << shown << QStringList{"1", "2", "10", "9", "3", "x2", ""};
        QTest::newRow("folded words") << "emile zola" << shown << QStringList{"1", "2"};
        QTest::newRow("words in two columns") << "zola 1886" << shown << QStringList{"2"};
        QTest::newRow("ligature typed plain") << "oeuvre" << shown << QStringList{"2"};
        QTest::newRow("cedilla") << "CA" << shown << QStringList{"9"};
        QTest::newRow("upper and accents typed")
            << "SIMÉNON" << shown << QStringList{"10", "x2", ""};
        QTest::newRow("a word across two columns is no match")
            << "zola1885" << shown << QStringList{};
        QTest::newRow("positions joined") << "b3 / haut" << shown << QStringList{"2"};
        QTest::newRow("nothing") << "zzz" << shown << QStringList{};
        QTest::newRow("blanks only")
            << "   " << shown << QStringList{"1", "2", "10", "9", "3", "x2", ""};
        QTest::newRow("only the chosen field") << "1885"
                                               << "titre" << QStringList{};
        QTest::newRow("chosen field") << "g"
                                      << "auteur" << QStringList{"10", "9", "x2", ""};
        QTest::newRow("flags are not searched") << "oui" << shown << QStringList{};
    }
    void filter() {
        QFETCH(QString, typed);
        QFETCH(QString, searched);
        QFETCH(QStringList, expected);
        q7::OverviewBooks b;
        b.load(books());
        q7::OverviewView v(b);
        std::vector<int> columns;
        for (const QString& key : searched.split(' ', Qt::SkipEmptyParts))
            columns.push_back(column(key.toLatin1().constData()));
        v.setSearched(columns);
        v.reset();
        // Typed one key at a time, as in the window: each step narrows the last.
        const std::string bytes = q7::utf8ToCp1252(typed.toStdString());
        for (std::size_t n = 1; n <= bytes.size(); ++n)
            v.setFilter(bytes.substr(0, n));
        QCOMPARE(references(b, v.rows()), expected);
        QCOMPARE(v.matching(), int(expected.size()));
        // Typed at once, the same rows.
        v.setFilter({});
        v.setFilter(bytes);
        QCOMPARE(references(b, v.rows()), expected);
    }

    void filterShrinks() {
        q7::OverviewBooks b;
        b.load(books());
        q7::OverviewView v(b);
        v.setSearched({column("titre"), column("auteur")});
        v.reset();
        v.setFilter("zolax");
        QCOMPARE(v.rows().size(), std::size_t(0));
        v.setFilter("zola"); // a key taken back widens again
        QCOMPARE(references(b, v.rows()), (QStringList{"1", "2"}));
        v.setFilter("zola g");
        QCOMPARE(references(b, v.rows()), (QStringList{"1"}));
    }

    void sorting_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("references as numbers, texts after")
            << "reference" << false << QStringList{"", "1", "2", "3", "9", "10", "x2"};
        QTest::newRow("descending")
            << "reference" << true << QStringList{"x2", "10", "9", "3", "2", "1", ""};
        QTest::newRow("French order: accents count last")
            << "titre" << false << QStringList{"9", "x2", "", "1", "2", "3", "10"};
        QTest::newRow("stable: equal names keep stored order")
            << "auteur" << false << QStringList{"3", "1", "2", "9", "10", "x2", ""};
        QTest::newRow("stable descending too")
            << "auteur" << true << QStringList{"10", "x2", "", "9", "1", "2", "3"};
        QTest::newRow("pages: 9 before 10")
            << "nbpage" << false << QStringList{"2", "", "10", "3", "1", "9", "x2"};
        QTest::newRow("year") << "anedition" << false
                              << QStringList{"10", "1", "", "2", "3", "9", "x2"};
        QTest::newRow("flag") << "lu" << false << QStringList{"2", "10", "9", "x2", "", "1", "3"};
    }
    void sorting() {
        QFETCH(QString, key);
        QFETCH(bool, descending);
        QFETCH(QStringList, expected);
        q7::OverviewBooks b;
        b.load(books());
        q7::OverviewView v(b);
        v.reset();
        v.sortBy(column(key.toLatin1().constData()), descending);
        QCOMPARE(references(b, v.rows()), expected);
    }

    // Titles that a cheap order could misplace: punctuation, symbols, ligatures, case
    // and accents alone. The overview's order is exactly the program's French order.
    void frenchOrderOfOddTitles() {
        const QStringList titles{"« Les »", "(Anthologie)", "_x",   "Éa",      "eb",
                                 "côte",    "cote",         "Cote", "1 an",    "10 ans",
                                 "-",       "a-b",          "ab",   "½ heure", "Œil",
                                 "oeil",    "Zoé",          "zoe",  "$ 5",     "€ 5",
                                 "ça",      "ca",           "a b",  "a,b",     "..."};
        std::vector<q7::Fiche> records;
        for (const QString& t : titles)
            records.push_back(FicheBuilder().set(Field::titre, t.toStdString()));
        q7::OverviewBooks b;
        b.load(records);
        q7::OverviewView v(b);
        v.reset();
        v.sortBy(column("titre"), false);
        QStringList got;
        for (int r : v.rows())
            got << titles[r];
        QStringList expected = titles;
        q7::sortFrench(expected);
        QCOMPARE(got, expected);
        // Equal texts in French order share a rank, and only they.
        const std::vector<int>& rank = v.ranks(column("titre"));
        for (int i = 0; i < titles.size(); ++i)
            for (int j = 0; j < titles.size(); ++j)
                QCOMPARE(rank[std::size_t(i)] == rank[std::size_t(j)],
                         q7::compareFrench(titles[i], titles[j]) == 0);
    }

    void groups_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byCount");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("authors by name, case and accents folded")
            << "auteur"
            << "" << false
            << QStringList{"(vide) 1", "ÉMILE ZOLA 2", "King; Stephen 1", "Simenon, Georges 3"};
        QTest::newRow("by count") << "auteur"
                                  << "" << true
                                  << QStringList{"Simenon, Georges 3", "ÉMILE ZOLA 2", "(vide) 1",
                                                 "King; Stephen 1"};
        QTest::newRow("counts follow the filter")
            << "auteur"
            << "18" << false << QStringList{"(vide) 1", "ÉMILE ZOLA 2", "Simenon, Georges 1"};
        QTest::newRow("read") << "lu"
                              << "" << false << QStringList{"Non 5", "Oui 2"};
        QTest::newRow("years") << "anedition"
                               << "" << false
                               << QStringList{"(vide) 1", "1885 2", "1886 1", "1887 1",
                                              "1986 1",   "anné 1"}; // the field holds 4 characters
    }
    void groups() {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(bool, byCount);
        QFETCH(QStringList, expected);
        q7::OverviewBooks b;
        b.load(books());
        q7::OverviewView v(b);
        v.setSearched({column("titre"), column("auteur"), column("anedition")});
        v.reset();
        v.setFilter(typed.toStdString());
        v.groupBy(column(key.toLatin1().constData()));
        QStringList got;
        for (const q7::GroupEntry& g : v.groups(byCount))
            got << (g.name.empty() ? QString("(vide)")
                                   : QString::fromStdString(q7::cp1252ToUtf8(g.name))) +
                       ' ' + QString::number(g.count);
        QCOMPARE(got, expected);
    }

    void chosenGroupNarrowsWithFilter() {
        q7::OverviewBooks b;
        b.load(books());
        q7::OverviewView v(b);
        v.setSearched({column("titre"), column("auteur"), column("positions")});
        v.reset();
        v.groupBy(column("auteur"));
        const auto simenon = v.groups(true).front();
        v.chooseGroup(simenon.group);
        QCOMPARE(references(b, v.rows()), (QStringList{"10", "x2", ""}));
        v.setFilter("bas");
        QCOMPARE(references(b, v.rows()), QStringList{"x2"});
        v.sortBy(column("titre"), true);
        v.setFilter("");
        QCOMPARE(references(b, v.rows()), (QStringList{"10", "", "x2"}));
        // The chosen group stays listed even when the filter leaves none of it.
        v.setFilter("zola");
        QCOMPARE(v.rows().size(), std::size_t(0));
        const auto listed = v.groups(false);
        QVERIFY(std::any_of(listed.begin(), listed.end(), [&](const q7::GroupEntry& g) {
            return g.group == simenon.group && g.count == 0;
        }));
    }

    void borrowersAndEmpty() {
        q7::OverviewBooks b;
        b.load(books(), {{"2", "Marie"}, {"9", "Paul"}, {"77", "Zoé"}});
        QCOMPARE(b.borrower(1), std::string_view("Marie"));
        QCOMPARE(b.borrower(0), std::string_view());
        q7::OverviewView v(b);
        v.setSearched({column("pret")});
        v.reset();
        v.setFilter("paul");
        QCOMPARE(references(b, v.rows()), QStringList{"9"});

        q7::OverviewBooks none;
        none.load(std::vector<q7::Fiche>{});
        q7::OverviewView empty(none);
        empty.setSearched(q7::defaultColumns());
        empty.reset();
        empty.setFilter("a");
        empty.sortBy(column("titre"), false);
        empty.groupBy(column("auteur"));
        QCOMPARE(empty.rows().size(), std::size_t(0));
        QCOMPARE(empty.groups(false).size(), std::size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestOverview)
#include "tst_overview.moc"
