// Sort orders, checked on the bytes on disk.
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "maint/CatalogueSort.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <random>

using namespace q7;

Q_DECLARE_METATYPE(q7::SortOrder)

namespace {

std::string dirOf(const QTemporaryDir& d) {
    return d.path().toStdString();
}

// Records numbered 1..n (numero), with the given titles and old bytes after the end of
// the emptied notes, which a rewrite must carry unchanged.
std::vector<Fiche> titled(const QStringList& titles) {
    std::vector<Fiche> out;
    int n = 0;
    for (const QString& t : titles) {
        Fiche f = FicheBuilder().set(Field::notes, "reste").numero(++n);
        f.setText(Field::notes, "");
        f.setText(Field::titre, utf8ToCp1252(t.toStdString()));
        out.push_back(f);
    }
    return out;
}

std::vector<Fiche> withField(Field field, const QStringList& values) {
    std::vector<Fiche> out = titled(values);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].setText(Field::titre, "T");
        out[i].setText(field, utf8ToCp1252(values[qsizetype(i)].toStdString()));
    }
    return out;
}

QStringList numeros(const std::vector<Fiche>& records) {
    QStringList out;
    for (const auto& r : records)
        out << QString::fromStdString(r.text(Field::numero));
    return out;
}

struct Progress {
    int maximum = -1;
    std::vector<int> values;
    SortProgress callback() {
        return [this](int v, int max) {
            maximum = max;
            values.push_back(v);
        };
    }
    // From 0 to 26, never back, never beyond, whatever the size of the catalogue.
    void checkFirstLetterGauge() const {
        QCOMPARE(maximum, 26);
        QVERIFY(!values.empty());
        QCOMPARE(values.front(), 0);
        QCOMPARE(values.back(), 26);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        QVERIFY(std::adjacent_find(values.begin(), values.end()) == values.end());
    }
};

// Sorts the catalogue in `dir` and checks that every record came through byte for byte.
std::vector<Fiche> sortAndRead(const std::string& dir, const SortChoice& choice, Progress& p) {
    const std::vector<Fiche> before = readCatalogue(dir);
    DataFile data(Folder(posixFileSystem(), dir));
    data.open();
    Fiche buffer;
    sortCatalogue(data, buffer, choice, p.callback());
    if (data.position() != 0) throw std::runtime_error("not at record 0 after the rewrite");
    if (data.count() != int(before.size())) throw std::runtime_error("count changed");
    data.close();
    std::vector<Fiche> after = readCatalogue(dir);
    std::map<std::string, std::string> original;
    for (const auto& r : before)
        original[r.text(Field::numero)] = std::string(r.bytes.begin(), r.bytes.end());
    for (const auto& r : after)
        if (original[r.text(Field::numero)] != std::string(r.bytes.begin(), r.bytes.end()))
            throw std::runtime_error("a record was changed on its way");
    return after;
}

// The orders written the plain way: one pass over the records per group, in
// the order of the groups, then the stray bytes of the end as they were.
std::string plainFirstLetterOrder(const std::string& file) {
    const std::size_t n = file.size() / ficheSize;
    auto record = [&](std::size_t i) { return file.substr(i * ficheSize, ficheSize); };
    auto initial = [&](std::size_t i) {
        const std::size_t length = std::min<std::size_t>(std::uint8_t(file[i * ficheSize]), 55);
        return length == 0 ? '\0' : file[i * ficheSize + 1];
    };
    std::string out;
    for (char c = 'A'; c <= 'Z'; ++c)
        for (std::size_t i = 0; i < n; ++i)
            if (initial(i) == c || initial(i) == c - 'A' + 'a') out += record(i);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = initial(i);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) out += record(i);
    }
    return out + file.substr(n * ficheSize);
}

std::string plainFrontOrder(const std::string& file, Field field, const std::string& value) {
    const std::size_t n = file.size() / ficheSize;
    std::string front, rest;
    for (std::size_t i = 0; i < n; ++i) {
        Fiche f;
        std::copy_n(file.begin() + long(i * ficheSize), ficheSize, f.bytes.begin());
        (f.view(field) == value ? front : rest) += file.substr(i * ficheSize, ficheSize);
    }
    return front + rest + file.substr(n * ficheSize);
}

// A catalogue of `n` records whose bytes are all random, but for titles and authors
// drawn from every case worth telling apart, and a tail of stray bytes.
std::string randomCatalogue(int n, std::size_t tail, unsigned seed) {
    std::mt19937 rnd(seed);
    // Neighbours of the letters and accented ones are not letters.
    const std::string others[] = {
        "0", " ", "\xC9", "\xE9", "@", "[", "`", "{", std::string(1, '\0'), "\xFF", "\x7F"};
    const std::string authors[] = {"Hugo", "hugo", "Hugo ", "", "Zola"};
    std::string bytes;
    for (int i = 0; i < n; ++i) {
        Fiche f;
        for (auto& b : f.bytes)
            b = static_cast<unsigned char>(rnd());
        switch (rnd() % 8) {
        case 0: f.bytes[0] = 0; break; // empty, letter behind
        case 1: f.bytes[0] = static_cast<unsigned char>(56 + rnd() % 200); break; // clamped
        default: {
            const unsigned letter = rnd() % 52;
            std::string title =
                rnd() % 3 ? std::string(1, char(letter < 26 ? 'A' + letter : 'a' + letter - 26))
                          : others[rnd() % std::size(others)];
            if (rnd() % 2) title += "itre";
            f.setText(Field::titre, title);
        }
        }
        if (rnd() % 4) f.setText(Field::auteur, authors[rnd() % std::size(authors)]);
        bytes.append(f.bytes.begin(), f.bytes.end());
    }
    for (std::size_t i = 0; i < tail; ++i)
        bytes += char(rnd());
    return bytes;
}

} // namespace

class TestSort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstLetterOrder_data() {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("expected"); // numeros
        QTest::newRow("case folded, stored order kept in each letter")
            << QStringList{"zèbre", "Abeille", "avion", "Zoo"} << QStringList{"2", "3", "1", "4"};
        QTest::newRow("rest of the title does not matter")
            << QStringList{"Bz", "ba", "Ba", "Aa"} << QStringList{"4", "1", "2", "3"};
        QTest::newRow("other openings kept, together after Z in stored order")
            << QStringList{"Été", "3 mousquetaires", "Zazie", " espace",
                           "",    "(note)",          "ébène", "avion"}
            << QStringList{"8", "3", "1", "2", "4", "5", "6", "7"};
        QTest::newRow("only other openings")
            << QStringList{"9", "É", "_"} << QStringList{"1", "2", "3"};
        QTest::newRow("one record") << QStringList{"Seul"} << QStringList{"1"};
    }
    void firstLetterOrder() {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        writeCatalogue(dirOf(tmp), titled(titles));
        Progress p;
        const auto after = sortAndRead(dirOf(tmp), {SortOrder::FirstLetter, {}}, p);
        QCOMPARE(numeros(after), expected);
        QVERIFY(!QFile::exists(tmp.filePath("Q7.tmp")));
        p.checkFirstLetterGauge();
    }

    void frontOrder_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("expected");
        const QStringList authors{"Martin", "Dupont", "Durand", "Dupont"};
        QTest::newRow("author to the front") << SortOrder::Auteur << int(Field::auteur) << authors
                                             << "Dupont" << QStringList{"2", "4", "1", "3"};
        QTest::newRow("case matters") << SortOrder::Auteur << int(Field::auteur) << authors
                                      << "dupont" << QStringList{"1", "2", "3", "4"};
        QTest::newRow("whole text only") << SortOrder::Auteur << int(Field::auteur) << authors
                                         << "Dupon" << QStringList{"1", "2", "3", "4"};
        QTest::newRow("accents compared as bytes")
            << SortOrder::Sujet << int(Field::sujet) << QStringList{"Histoire", "Été", "Ete", "Été"}
            << "Été" << QStringList{"2", "4", "1", "3"};
        QTest::newRow("empty value brings empty fields")
            << SortOrder::Collection << int(Field::collection)
            << QStringList{"Folio", "", "Pléiade", ""} << "" << QStringList{"2", "4", "1", "3"};
        QTest::newRow("every record matches")
            << SortOrder::Collection << int(Field::collection) << QStringList{"X", "X"} << "X"
            << QStringList{"1", "2"};
        QTest::newRow("subject is not the author")
            << SortOrder::Sujet << int(Field::auteur) << authors << "Dupont"
            << QStringList{"1", "2", "3", "4"};
    }
    void frontOrder() {
        QFETCH(SortOrder, order);
        QFETCH(int, field);
        QFETCH(QStringList, values);
        QFETCH(QString, chosen);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        writeCatalogue(dirOf(tmp), withField(Field(field), values));
        Progress p;
        const auto after = sortAndRead(dirOf(tmp), {order, utf8ToCp1252(chosen.toStdString())}, p);
        QCOMPARE(numeros(after), expected);
        // One step per record of the first pass; full, never beyond, afterwards.
        const int n = int(values.size());
        QCOMPARE(p.maximum, n);
        std::vector<int> steps(std::size_t(n) + 1);
        for (int i = 0; i <= n; ++i)
            steps[std::size_t(i)] = i;
        QCOMPARE(p.values, steps);
    }

    void oneRecordRewrittenUnchanged_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::newRow("first letter") << SortOrder::FirstLetter;
        QTest::newRow("author") << SortOrder::Auteur;
        QTest::newRow("subject") << SortOrder::Sujet;
        QTest::newRow("series") << SortOrder::Collection;
    }
    void oneRecordRewrittenUnchanged() {
        QFETCH(SortOrder, order);
        QTemporaryDir tmp;
        std::string bytes(ficheSize, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + 3);
        bytes[0] = 5; // a short title followed by old bytes
        writeBytes(dirOf(tmp) + "/Q7.dat", bytes);
        DataFile data(Folder(posixFileSystem(), dirOf(tmp)));
        data.open();
        Fiche buffer;
        sortCatalogue(data, buffer, {order, "x"});
        data.close();
        QCOMPARE(readBytes(dirOf(tmp) + "/Q7.dat"), bytes);
    }

    // Enough records that Q7.tmp is written in several blocks while the sort runs.
    void failedSortLeavesCatalogueWhole_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("nth");
        QTest::addColumn<long long>("diskBytes");
        using Op = FaultyFileSystem::Op;
        QTest::newRow("read in a later pass")
            << SortOrder::FirstLetter << int(Op::Read) << "Q7.dat" << 3 << -1LL;
        QTest::newRow("read in the second front pass")
            << SortOrder::Auteur << int(Op::Read) << "Q7.dat" << 4 << -1LL;
        QTest::newRow("write while sorting")
            << SortOrder::FirstLetter << int(Op::Write) << "Q7.tmp" << 1 << -1LL;
        QTest::newRow("disk full while sorting")
            << SortOrder::Collection << -1 << "" << 0 << 300000LL;
        QTest::newRow("sync") << SortOrder::FirstLetter << int(Op::Sync) << "Q7.tmp" << 1 << -1LL;
        QTest::newRow("rename") << SortOrder::Sujet << int(Op::Rename) << "Q7.dat" << 1 << -1LL;
    }
    void failedSortLeavesCatalogueWhole() {
        QFETCH(SortOrder, order);
        QFETCH(int, op);
        QFETCH(QString, file);
        QFETCH(int, nth);
        QFETCH(long long, diskBytes);
        QTemporaryDir tmp;
        QStringList titles;
        for (int i = 0; i < 1300; ++i)
            titles << QString(QChar(char16_t(u'A' + (i * 7) % 26))) + QStringLiteral("x");
        auto records = titled(titles);
        for (std::size_t i = 0; i < records.size(); i += 3)
            records[i].setText(Field::auteur, "Hugo");
        writeCatalogue(dirOf(tmp), records);
        const std::string before = readBytes(dirOf(tmp) + "/Q7.dat");

        FaultyFileSystem fs;
        DataFile data(Folder(fs, dirOf(tmp)));
        data.open();
        if (op >= 0) {
            fs.onlyFor(file.toStdString());
            fs.failNth(FaultyFileSystem::Op(op), nth);
        } else {
            fs.diskFullAfter(diskBytes);
        }
        Fiche buffer;
        QVERIFY_THROWS_EXCEPTION(IoError, sortCatalogue(data, buffer, {order, "Hugo"}));
        QCOMPARE(readBytes(dirOf(tmp) + "/Q7.dat"), before);
        QVERIFY(!QFile::exists(tmp.filePath("Q7.tmp")));
        // The program goes on with the catalogue it had.
        fs.reset();
        QCOMPARE(data.count(), 1300);
        data.seek(1299);
        data.read(buffer);
        QCOMPARE(buffer.text(Field::numero), std::string("1300"));
    }

    // Sizes around the read-ahead block and the batches of each group, with and
    // without a damaged end.
    void sameBytesAsThePlainOrder_data() {
        QTest::addColumn<SortOrder>("order");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("tail");
        for (SortOrder order : {SortOrder::FirstLetter, SortOrder::Auteur}) {
            const char* name = order == SortOrder::FirstLetter ? "letter" : "front";
            for (int records : {1, 2, 27, 64, 65, 1023, 1024, 1025, 3000})
                for (int tail : {0, 1, 1047}) {
                    if (tail && records % 64 != 1) continue;
                    QTest::addRow("%s, %d records, %d stray bytes", name, records, tail)
                        << order << records << tail;
                }
        }
    }
    void sameBytesAsThePlainOrder() {
        QFETCH(SortOrder, order);
        QFETCH(int, records);
        QFETCH(int, tail);
        QTemporaryDir tmp;
        const std::string before =
            randomCatalogue(records, std::size_t(tail), unsigned(records * 31 + tail));
        writeBytes(dirOf(tmp) + "/Q7.dat", before);
        const std::string expected = order == SortOrder::FirstLetter
                                         ? plainFirstLetterOrder(before)
                                         : plainFrontOrder(before, Field::auteur, "Hugo");
        DataFile data(Folder(posixFileSystem(), dirOf(tmp)));
        data.open();
        Fiche buffer;
        Progress p;
        sortCatalogue(data, buffer, {order, "Hugo"}, p.callback());
        QCOMPARE(data.position(), 0);
        QCOMPARE(data.count(), records);
        data.close();
        const std::string after = readBytes(dirOf(tmp) + "/Q7.dat");
        QCOMPARE(after.size(), before.size());
        QVERIFY(after == expected);
        if (order == SortOrder::FirstLetter) p.checkFirstLetterGauge();
        // The buffer ends on the last record, as the plain order's passes leave it.
        QVERIFY(std::string(buffer.bytes.begin(), buffer.bytes.end()) ==
                before.substr(std::size_t(records - 1) * ficheSize, ficheSize));
    }
};

QTEST_GUILESS_MAIN(TestSort)
#include "tst_sort.moc"
