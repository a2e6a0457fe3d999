// The numbers behind the charts, on catalogues built here.
#include "FicheBuilder.h"
#include "maint/ChartFigures.h"
#include "overview/OverviewColumns.h"
#include "overview/OverviewView.h"
#include "store/Cp1252.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace q7;

Q_DECLARE_METATYPE(q7::Chart)
Q_DECLARE_METATYPE(q7::Field)

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

// The real file layer, whose reads fail from a place.
class FailingReads : public FileSystem {
    class Reads : public File {
    public:
        Reads(std::unique_ptr<File> f, FailingReads& fs) : f_(std::move(f)), fs_(fs) {}
        std::size_t readAt(void* d, std::size_t n, std::uint64_t o) override {
            if (o + n > fs_.failFrom) throw IoError(EIO);
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

    private:
        std::unique_ptr<File> f_;
        FailingReads& fs_;
    };
    FileSystem& real_ = posixFileSystem();

public:
    std::uint64_t failFrom = UINT64_MAX;
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

    // Texts that French order holds equal make one bar, named by the first book met, as
    // the overview groups them: "Dupont" (19) and "dupont" (13) are one "Dupont" of 32.
    void barsGatherWhatTheOverviewGroups_data() {
        QTest::addColumn<q7::Chart>("chart");
        QTest::addColumn<q7::Field>("field");
        QTest::addColumn<QString>("column");
        QTest::newRow("authors") << Chart::auteur << Field::auteur << "auteur";
        QTest::newRow("publishers") << Chart::edition << Field::edition << "edition";
        QTest::newRow("series") << Chart::collection << Field::collection << "collection";
        QTest::newRow("positions") << Chart::position << Field::pos1 << "pos1";
    }
    void barsGatherWhatTheOverviewGroups() {
        QFETCH(q7::Chart, chart);
        QFETCH(q7::Field, field);
        QFETCH(QString, column);
        std::vector<Fiche> records;
        for (int i = 0; i < 32; ++i)
            records.push_back(FicheBuilder().set(field, i % 5 < 3 && i < 31 ? "Dupont" : "dupont"));
        for (const char* name : {"Émile Zola", "ÉMILE ZOLA", "Emile Zola", "Émile Zola"})
            records.push_back(FicheBuilder().set(field, name));
        CollectionFigures figures;
        for (const Fiche& f : records)
            figures.add(f);
        const ChartData data = figures.chart(chart);
        QCOMPARE(::bars(data), "Dupont=32|Émile Zola=3|Emile Zola=1");

        q7::OverviewBooks books;
        books.load(records);
        q7::OverviewView view(books);
        view.reset();
        view.groupBy(q7::columnIndex(column.toLatin1().constData()));
        QStringList groups;
        for (const q7::GroupEntry& g : view.groups(true))
            groups << QString::fromStdString(cp1252ToUtf8(g.name)) + "=" + QString::number(g.count);
        QCOMPARE(groups.join(u'|'), ::bars(data));
    }

    // A read failing anywhere is the pass's failure, never the figures of a part.
    void aFailedReadInAnyBlockIsReported_data() {
        QTest::addColumn<int>("failingRecord");
        QTest::newRow("first block") << 100;
        QTest::newRow("a later block") << 2500;
    }
    void aFailedReadInAnyBlockIsReported() {
        QFETCH(int, failingRecord);
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        writeCatalogue(dir, std::vector<Fiche>(3000, FicheBuilder().set(Field::auteur, "Hugo")));
        FailingReads fs;
        DataFile data(Folder(fs, dir));
        data.open();
        fs.failFrom = std::uint64_t(failingRecord) * ficheSize;
        Fiche buffer;
        QVERIFY_THROWS_EXCEPTION(IoError, collectFigures(data, buffer));
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
