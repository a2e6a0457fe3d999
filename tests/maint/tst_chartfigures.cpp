// The numbers behind the charts, on catalogues built here.
#include "FicheBuilder.h"
#include "maint/ChartFigures.h"
#include "store/Cp1252.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

using namespace q7;

Q_DECLARE_METATYPE(q7::Chart)

namespace {

// Every type of field, empty ones, prices with a comma and one that is no number, years
// of edition empty, 0 and not a number, registration years spread with a gap.
std::vector<Fiche> mixed() {
    using F = Field;
    return {
        FicheBuilder()
            .set(F::type, "Roman")
            .set(F::langue, "Français")
            .set(F::etat, "Bon")
            .set(F::auteur, "Hugo")
            .set(F::edition, "Gallimard")
            .set(F::collection, "Folio")
            .set(F::pos1, "Salon")
            .set(F::prix, "12,5")
            .set(F::anedition, "1998")
            .date(3, 2, 2020)
            .flag(Flag::lut)
            .flag(Flag::jacquette),
        FicheBuilder()
            .set(F::type, "Roman")
            .set(F::langue, "Français")
            .set(F::auteur, "Hugo")
            .set(F::edition, "Gallimard")
            .set(F::collection, "Folio")
            .set(F::pos1, "Salon")
            .set(F::prix, "7,25")
            .flag(Flag::lut, 2)
            .flag(Flag::jacquette, 2),
        FicheBuilder()
            .set(F::type, "BD")
            .set(F::langue, "Anglais")
            .set(F::etat, "Neuf")
            .set(F::auteur, "Hergé")
            .set(F::edition, "Casterman")
            .set(F::pos1, "Bureau")
            .set(F::prix, "0")
            .set(F::anedition, "0")
            .date(0, 0, 2021)
            .flag(Flag::lut),
        FicheBuilder()
            .set(F::prix, "3")
            .set(F::anedition, "2001")
            .date(1, 1, 2023)
            .flag(Flag::jacquette),
        FicheBuilder()
            .set(F::type, "Poésie")
            .set(F::auteur, "Éluard")
            .set(F::edition, "Gallimard")
            .set(F::prix, ",")
            .set(F::anedition, "19x5")
            .date(9, 9, 2020),
    };
}

// Seventeen authors: one with three books, then sixteen with one.
std::vector<Fiche> manyAuthors() {
    std::vector<Fiche> out(3, FicheBuilder().set(Field::auteur, "Zola"));
    for (int i = 0; i < 16; ++i)
        out.push_back(FicheBuilder().set(
            Field::auteur, "A" + QString::number(i).rightJustified(2, u'0').toStdString()));
    return out;
}

std::vector<Fiche> years(const std::vector<std::pair<const char*, int>>& rows) {
    std::vector<Fiche> out;
    for (const auto& [edition, registered] : rows)
        out.push_back(FicheBuilder().set(Field::anedition, edition).date(1, 1, registered));
    return out;
}

std::vector<Fiche> catalogue(const QString& name) {
    if (name == "mixed") return mixed();
    if (name == "authors") return manyAuthors();
    if (name == "wide") return years({{"1903", 1955}, {"1957", 1955}, {"1951", 1990}});
    if (name == "very wide") return years({{"1", 1}, {"2004", 2004}});
    return {};
}

// "label=value|..." in UTF-8.
QString bars(const ChartData& data) {
    QStringList out;
    for (const ChartBar& b : data.bars)
        out << QString::fromStdString(cp1252ToUtf8(b.label)) + "=" +
                   QString::number(double(b.value));
    return out.join(u'|');
}

QString notes(const ChartData& data) {
    QStringList out;
    for (const std::string& n : data.notes)
        out << QString::fromStdString(cp1252ToUtf8(n));
    return out.join(u'|');
}

// Prices with fractions, forty types and five hundred authors, some met only in the
// second half, registration years of every kind: what the parts of a pass must join
// exactly as one pass counts them.
std::vector<Fiche> large(int count) {
    static const char* const prices[] = {"0,1", "3,33", "1234567,89", "", ",", "7", "0,07", "-2,5"};
    static const char* const editions[] = {"", "0", "19x5", "1850", "2024", "999"};
    std::vector<Fiche> out;
    for (int i = 0; i < count; ++i) {
        const int kinds = i < count / 2 ? 20 : 40;
        const int registered = i % 13 == 0 ? 0 : i % 17 == 0 ? 12000 + i % 3 : 1990 + i % 35;
        out.push_back(FicheBuilder()
                          .set(Field::type, "T" + std::to_string(i * 7 % kinds))
                          .set(Field::auteur, "A" + std::to_string(i * 31 % (kinds * 25)))
                          .set(Field::langue, i % 3 ? "Français" : "")
                          .set(Field::prix, prices[i % 8])
                          .set(Field::anedition, editions[i % 6])
                          .date(1, 1, registered)
                          .flag(Flag::lut, static_cast<unsigned char>(i % 3)));
    }
    return out;
}

// The real file layer, allowing reads on several threads, whose reads fail from a place,
// or are slow on one thread: on the test's own, or on any other.
class FailingReads : public FileSystem {
    class Reads : public File {
    public:
        Reads(std::unique_ptr<File> f, FailingReads& fs) : f_(std::move(f)), fs_(fs) {}
        std::size_t readAt(void* d, std::size_t n, std::uint64_t o) override {
            if (o + n > fs_.failFrom) throw IoError(EIO);
            const bool mine = std::this_thread::get_id() == fs_.tester;
            if (fs_.slow != Slow::none && mine == (fs_.slow == Slow::tester)) {
                ++fs_.slowReads;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            return f_->readAt(d, n, o);
        }
        void writeAt(const void* d, std::size_t n, std::uint64_t o) override {
            f_->writeAt(d, n, o);
        }
        std::uint64_t size() override { return f_->size(); }
        void sync() override { f_->sync(); }
        void syncData() override { f_->syncData(); }
        void truncate(std::uint64_t n) override { f_->truncate(n); }
        bool tryLock() override { return f_->tryLock(); }
        FileId id() override { return f_->id(); }
        bool concurrentReads() const override { return true; }

    private:
        std::unique_ptr<File> f_;
        FailingReads& fs_;
    };
    FileSystem& real_ = posixFileSystem();

public:
    enum class Slow { none, tester, others };
    std::atomic<std::uint64_t> failFrom = UINT64_MAX;
    Slow slow = Slow::none;
    std::thread::id tester = std::this_thread::get_id();
    std::atomic<int> slowReads = 0;
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override {
        return std::make_unique<Reads>(real_.open(path, mode), *this);
    }
    bool exists(const std::string& path) override { return real_.exists(path); }
    void remove(const std::string& path) override { real_.remove(path); }
    void rename(const std::string& from, const std::string& to) override { real_.rename(from, to); }
    void syncDir(const std::string& dir) override { real_.syncDir(dir); }
    FileId idOf(const std::string& path) override { return real_.idOf(path); }
    void link(const std::string& from, const std::string& to) override { real_.link(from, to); }
    void makeDir(const std::string& path) override { real_.makeDir(path); }
    std::vector<std::string> list(const std::string& dir) override { return real_.list(dir); }
};

} // namespace

Q_DECLARE_METATYPE(FailingReads::Slow)

class TestChartFigures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void figures_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<q7::Chart>("chart");
        QTest::addColumn<QString>("bars");
        QTest::addColumn<QString>("notes");
        const QString unreadable = "1 prix illisible, compté pour 0";
        QTest::newRow("type") << "mixed" << Chart::type << "Roman=2|BD=1|Poésie=1"
                              << "1 livre sans type";
        QTest::newRow("language") << "mixed" << Chart::langue << "Français=2|Anglais=1"
                                  << "2 livres sans langue";
        QTest::newRow("condition") << "mixed" << Chart::etat << "Bon=1|Neuf=1"
                                   << "3 livres sans état";
        QTest::newRow("read: only a byte of 1") << "mixed" << Chart::lut << "Lus=2|Non lus=3"
                                                << "";
        QTest::newRow("dust jacket: only a byte of 1")
            << "mixed" << Chart::jacquette << "Avec jaquette=2|Sans jaquette=3"
            << "";
        QTest::newRow("edition years, gaps as zero")
            << "mixed" << Chart::anedition << "1998=1|1999=0|2000=0|2001=1"
            << "3 livres sans année d'édition (vide, 0 ou illisible)";
        QTest::newRow("registration years")
            << "mixed" << Chart::enregistrement << "2020=2|2021=1|2022=0|2023=1"
            << "1 livre sans année d'enregistrement";
        QTest::newRow("authors") << "mixed" << Chart::auteur << "Hugo=2|Hergé=1|Éluard=1"
                                 << "1 livre sans auteur";
        QTest::newRow("publishers") << "mixed" << Chart::edition << "Gallimard=3|Casterman=1"
                                    << "1 livre sans éditeur";
        QTest::newRow("series") << "mixed" << Chart::collection << "Folio=2"
                                << "3 livres sans collection";
        QTest::newRow("positions") << "mixed" << Chart::position << "Salon=2|Bureau=1"
                                   << "2 livres sans position";
        QTest::newRow("value per type, comma prices")
            << "mixed" << Chart::valeurType << "Roman=19.75|BD=0|Poésie=0"
            << "1 livre sans type, d'une valeur de 3|" + unreadable;
        QTest::newRow("value per registration year")
            << "mixed" << Chart::valeurAnnee << "2020=12.5|2021=0|2022=0|2023=3"
            << "1 livre sans année d'enregistrement, d'une valeur de 7|" + unreadable;
        QTest::newRow("fifteen authors and the others")
            << "authors" << Chart::auteur
            << "Zola=3|A00=1|A01=1|A02=1|A03=1|A04=1|A05=1|A06=1|A07=1|A08=1|A09=1|A10=1|"
               "A11=1|A12=1|A13=1|autres=2"
            << "";
        QTest::newRow("wide span per decade")
            << "wide" << Chart::anedition
            << "1900-1909=1|1910-1919=0|1920-1929=0|1930-1939=0|1940-1949=0|1950-1959=2"
            << "";
        QTest::newRow("registration per decade")
            << "wide" << Chart::enregistrement
            << "1950-1959=2|1960-1969=0|1970-1979=0|1980-1989=0|1990-1999=1"
            << "";
        QTest::newRow("too wide to fill the gaps")
            << "very wide" << Chart::anedition << "0-9=1|2000-2009=1"
            << "";
        QTest::newRow("empty catalogue") << "empty" << Chart::lut << "Lus=0|Non lus=0"
                                         << "";
        QTest::newRow("empty catalogue, no years") << "empty" << Chart::anedition << ""
                                                   << "";
    }
    void figures() {
        QFETCH(QString, catalogue);
        QFETCH(q7::Chart, chart);
        QFETCH(QString, bars);
        QFETCH(QString, notes);
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        const std::vector<Fiche> records = ::catalogue(catalogue);
        if (!records.empty()) writeCatalogue(dir, records);
        DataFile data(Folder(posixFileSystem(), dir));
        data.open();
        Fiche buffer;
        const CollectionFigures figures = collectFigures(data, buffer);
        QCOMPARE(figures.records(), int(records.size()));
        QVERIFY(data.atEnd());
        const ChartData got = figures.chart(chart);
        QCOMPARE(::bars(got), bars);
        QCOMPARE(::notes(got), notes);
    }

    // A large catalogue is read on two threads, each block by whichever is free: joined,
    // their figures must be every figure of one pass to the last bit, "autres" and ties
    // included, however the blocks fell; a slow thread leaves its share to the other.
    void partsJoinAsOnePass_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<FailingReads::Slow>("slow");
        using S = FailingReads::Slow;
        QTest::newRow("one thread") << 2 * DataFile::readAheadRecords - 1 << S::none;
        QTest::newRow("two blocks") << 2 * DataFile::readAheadRecords << S::none;
        QTest::newRow("odd, several blocks each") << 5001 << S::none;
        QTest::newRow("this thread slow") << 5001 << S::tester;
        QTest::newRow("the helper slow") << 5001 << S::others;
    }
    void partsJoinAsOnePass() {
        QFETCH(int, count);
        QFETCH(FailingReads::Slow, slow);
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        const std::vector<Fiche> records = large(count);
        writeCatalogue(dir, records);
        CollectionFigures one;
        for (const Fiche& f : records)
            one.add(f);
        FailingReads fs;
        fs.slow = slow;
        DataFile data(Folder(fs, dir));
        data.open();
        Fiche buffer;
        const CollectionFigures joined = collectFigures(data, buffer);
        QVERIFY(data.atEnd());
        QVERIFY(buffer.bytes == records.back().bytes);
        QCOMPARE(joined.records(), count);
        for (const ChartInfo& info : chartTable()) {
            const ChartData a = one.chart(info.chart), b = joined.chart(info.chart);
            QCOMPARE(b.bars.size(), a.bars.size());
            for (std::size_t i = 0; i < a.bars.size(); ++i) {
                QCOMPARE(b.bars[i].label, a.bars[i].label);
                QVERIFY2(b.bars[i].value == a.bars[i].value, info.title);
            }
            QCOMPARE(b.notes, a.notes);
        }
        // Five blocks: the slow thread, 50 ms on each, reads two of them at most.
        if (slow != FailingReads::Slow::none) QVERIFY(fs.slowReads <= 2);
    }

    // A read failing on either thread is the pass's failure, never figures of a part.
    void aFailedReadInAnyBlockIsReported_data() {
        QTest::addColumn<int>("failingRecord");
        QTest::newRow("first block") << 100;
        QTest::newRow("a later block") << 4000;
    }
    void aFailedReadInAnyBlockIsReported() {
        QFETCH(int, failingRecord);
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        writeCatalogue(dir, large(5000));
        FailingReads fs;
        DataFile data(Folder(fs, dir));
        data.open();
        fs.failFrom = std::uint64_t(failingRecord) * ficheSize;
        Fiche buffer;
        QVERIFY_THROWS_EXCEPTION(IoError, collectFigures(data, buffer));
    }

    // The table reads keys in overlapping pieces: texts that differ in a single byte,
    // at any place and for every length, must stay apart, and each be found again.
    void textsDifferingInOneByteStayApart() {
        for (std::size_t size = 1; size <= 40; ++size) {
            TextTally tally;
            const std::string base(size, 'a');
            ++tally.at(base).count;
            for (std::size_t i = 0; i < size; ++i) {
                std::string other = base;
                other[i] = '\xE9';
                ++tally.at(other).count;
                ++tally.at(other).count;
            }
            ++tally.at(base.substr(0, size - 1)).count;
            QCOMPARE(tally.entries().size(), size + 2);
            QCOMPARE(tally.at(base).count, 1);
            for (const TextTally::Entry& e : tally.entries()) {
                const std::string_view key = tally.key(e);
                QCOMPARE(e.count, key == base || key.size() < size ? 1 : 2);
            }
        }
    }

    // Sums of prices are exact: fifty books at "3,33" are worth 166.5, shown 166 (half to
    // even), where adding the prices as binary fractions gives a hair over the half.
    void valuesAreSummedExactly_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("books");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a half, even below") << "3,33" << 50 << "166";
        QTest::newRow("a half, even above") << "0,1" << 15 << "2";
        QTest::newRow("thousandths") << ",125" << 4 << "0";
        QTest::newRow("negative") << "-2,5" << 3 << "-8";
    }
    void valuesAreSummedExactly() {
        QFETCH(QString, price);
        QFETCH(int, books);
        QFETCH(QString, shown);
        CollectionFigures figures;
        for (int i = 0; i < books; ++i)
            figures.add(FicheBuilder()
                            .set(Field::type, "Roman")
                            .set(Field::prix, price.toStdString())
                            .date(1, 1, 2020)
                            .build());
        for (const Chart chart : {Chart::valeurType, Chart::valeurAnnee}) {
            const ChartData data = figures.chart(chart);
            QCOMPARE(data.bars.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(formatValue(data.bars[0].value)), shown);
        }
    }

    void everyChartHasARow() {
        for (int c = 0; c <= int(Chart::valeurAnnee); ++c)
            QCOMPARE(int(chartInfo(Chart(c)).chart), c);
    }

    void valuesWithThousands_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("half to even") << 12.5 << "12";
        QTest::newRow("thousands") << 1234567.5 << "1 234 568";
        QTest::newRow("negative") << -12345.0 << "-12 345";
        QTest::newRow("small") << 999.0 << "999";
    }
    void valuesWithThousands() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(formatValue(value)), text);
    }
};

QTEST_GUILESS_MAIN(TestChartFigures)
#include "tst_chartfigures.moc"
