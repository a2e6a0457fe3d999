// The printed table fits its columns to what they hold: no text runs into the next
// column, a whole value (a reference, an ISBN, a year, "Non") is never cut, a text is
// either printed whole, on one or two lines, or ends with "…".
#include "output/PrintLayout.h"
#include "store/Cp1252.h"

#include <QTest>

using namespace q7;

namespace {

// A sans serif's proportions: narrow "i", "l" and blanks, wide capitals and "m", "w".
int width(std::string_view text, int points) {
    int units = 0;
    for (char c : text)
        units += std::string_view("iljt.,' ").find(c) != std::string_view::npos ? 12
                 : std::string_view("mwMW").find(c) != std::string_view::npos   ? 38
                 : c >= 'A' && c <= 'Z'                                         ? 28
                                                                                : 23;
    return units * points / 10;
}

// Lines may break inside a word too long for one: blanks do not count.
std::string unspaced(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

// Rows of the overview's usual columns, with more whole columns ("Oui") and notes.
PagedTable overview(int extraWhole, int extraTexts, const std::string& title, int rows) {
    PagedTable t{"Vue",
                 "",
                 {{lit("Réf."), true, 6},
                  {"Titre", false, 22},
                  {"Auteur", false, 16},
                  {lit("Année d'édition"), true, 5},
                  {"Lu", true, 3},
                  {"ISBN", true, 9}},
                 {}};
    std::vector<std::string> cells{"40000", title, lit("Marguerite Yourcenar de l'Académie"),
                                   "1951",  "Non", "9782070360024"};
    for (int i = 0; i < extraWhole + extraTexts; ++i) {
        t.columns.push_back(i < extraWhole ? TableColumn{"Plusieurs auteurs", true, 4}
                                           : TableColumn{"Notes", false, 25});
        cells.push_back(i < extraWhole ? "Oui" : lit("Dédicacé au salon du livre de Brive, 1987"));
    }
    for (int r = 0; r < rows; ++r)
        t.rows.push_back({cells, r % 2 ? Ink::Red : Ink::Black});
    return t;
}

} // namespace

class TestPagedTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fitted_data() {
        QTest::addColumn<int>("extraWhole");
        QTest::addColumn<int>("extraTexts");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("someCut"); // a text too long even on two lines at the floor
        QTest::newRow("short texts") << 0 << 0 << "Nana" << 3 << false;
        QTest::newRow("a 40-letter title") << 0 << 0 << QString(40, 'm') << 120 << false;
        QTest::newRow("a title of words")
            << 0 << 1 << "Les Mémoires d'Hadrien suivies des Carnets de notes" << 60 << false;
        QTest::newRow("twenty-two columns") << 6 << 10 << "Mémoires d'Hadrien" << 10 << true;
        QTest::newRow("a title of 55 wide letters") << 6 << 6 << QString(55, 'W') << 5 << true;
        QTest::newRow("more whole columns than the line holds") << 60 << 0 << "Nana" << 2 << false;
    }
    void fitted() {
        QFETCH(int, extraWhole);
        QFETCH(int, extraTexts);
        QFETCH(QString, title);
        QFETCH(int, rows);
        QFETCH(bool, someCut);
        const PagedTable table =
            overview(extraWhole, extraTexts, utf8ToCp1252(title.toStdString()), rows);
        const std::size_t n = table.columns.size();
        const bool overflow = extraWhole == 60;

        const std::vector<PrintLayout> pages = pagedTable(table, width);
        int seenRows = 0, cut = 0;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const auto& calls = pages[p].calls;
            QCOMPARE(calls.back().text,
                     "Page " + std::to_string(p + 1) + " / " + std::to_string(pages.size()));
            // The columns' places, from their captions' first lines.
            std::vector<int> xs;
            for (const DrawCall& c : calls)
                if (c.y == 320) xs.push_back(c.x);
            QCOMPARE(xs.size(), n);
            QVERIFY(std::is_sorted(xs.begin(), xs.end()));
            const int points = calls[2].points;
            QVERIFY(points >= tableFloorPoints && points <= tablePoints);
            std::vector<std::vector<std::string>> row;
            const auto check = [&] {
                if (row.empty()) return;
                ++seenRows;
                for (std::size_t c = 0; c < n; ++c) {
                    std::string printed;
                    for (const std::string& l : row[c])
                        printed += (printed.empty() ? "" : " ") + l;
                    const std::string& value = table.rows[0].cells[c];
                    if (unspaced(printed) == unspaced(value)) continue;
                    ++cut;
                    QVERIFY2(!printed.empty() && printed.back() == '\x85',
                             (printed + " | " + value).c_str());
                    QVERIFY2(unspaced(value).starts_with(
                                 unspaced(printed.substr(0, printed.size() - 1))),
                             printed.c_str());
                    QVERIFY2(!table.columns[c].whole || overflow, printed.c_str());
                }
                row.clear();
            };
            std::size_t last = n;
            for (std::size_t i = 2; i + 1 < calls.size(); ++i) {
                const DrawCall& call = calls[i];
                if (call.y == 320 || call.y == 320 + points * 6) continue; // a caption
                const auto column =
                    std::size_t(std::find(xs.begin(), xs.end(), call.x) - xs.begin());
                QVERIFY(column < n);
                // Nothing runs into the next column, nor off the line.
                const int end = column + 1 < n ? xs[column + 1] : 2400;
                QVERIFY2(call.x + width(call.text, call.points) <= end, call.text.c_str());
                QVERIFY(call.y + call.points * 6 <= 3400);
                if (column < last) check(); // every cell holds text: a row starts again
                QCOMPARE(call.ink, seenRows % 2 ? Ink::Red : Ink::Black);
                if (row.empty()) row.resize(n);
                row[column].push_back(call.text);
                last = column;
            }
            check();
        }
        QCOMPARE(seenRows, rows);
        QCOMPARE(cut > 0, someCut || overflow);
    }
};

QTEST_MAIN(TestPagedTable)
#include "tst_pagedtable.moc"
