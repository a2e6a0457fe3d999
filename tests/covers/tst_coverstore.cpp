// Covers' file names and the folder Couvertures: every reference has a name of its own that
// reads back as that reference; a cover replaced, moved or set aside is never lost, never
// moved over another; a page links a cover only its own book has.
#include "covers/CoverNames.h"
#include "covers/CoverStore.h"
#include "FicheBuilder.h"
#include "store/Backup.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

using namespace q7;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

QStringList filesIn(const std::string& dir) {
    return QDir(QString::fromStdString(dir)).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestCoverStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void names_data();
    void names();
    void otherFilesAreNoReferences();
    void neverLost();
    void pageLinksItsOwnCover();
};

void TestCoverStore::names_data() {
    QTest::addColumn<QByteArray>("reference"); // Windows-1252, as stored
    QTest::addColumn<QString>("file");
    QTest::newRow("a number") << QByteArray("12") << "12.jpg";
    QTest::newRow("accented, inner blank") << QByteArray("R\xE9s 2") << "Rés 2.jpg";
    QTest::newRow("a slash") << QByteArray("12/3") << "12%2F3.jpg";
    QTest::newRow("Windows' forbidden")
        << QByteArray("a:b*?\"<>|\\") << "a%3Ab%2A%3F%22%3C%3E%7C%5C.jpg";
    QTest::newRow("a percent sign") << QByteArray("50%") << "50%25.jpg";
    QTest::newRow("blank and dot at the ends") << QByteArray(" 12.") << "%2012%2E.jpg";
    QTest::newRow("a device name") << QByteArray("con") << "%63on.jpg";
    QTest::newRow("a device with a number") << QByteArray("LPT1") << "%4CPT1.jpg";
    QTest::newRow("not a device") << QByteArray("CONTE") << "CONTE.jpg";
    QTest::newRow("a control") << QByteArray("a\tb") << "a%09b.jpg";
    QTest::newRow("empty: no cover") << QByteArray() << "";
}

// Each reference has one name, and that name reads back as that reference only.
void TestCoverStore::names() {
    QFETCH(QByteArray, reference);
    QFETCH(QString, file);
    const std::string name = coverFileName(reference.toStdString());
    QCOMPARE(QString::fromStdString(name), file);
    if (file.isEmpty()) return;
    QCOMPARE(referenceOfCover(name), std::optional<std::string>(reference.toStdString()));
    // As a camera names it.
    QCOMPARE(referenceOfCover(name.substr(0, name.size() - 4) + ".JPG"),
             std::optional<std::string>(reference.toStdString()));
}

void TestCoverStore::otherFilesAreNoReferences() {
    for (const char* name : {"x.png", ".jpg", "%41.jpg", "%4.jpg", "a/b.jpg", "12.jpeg",
                             "\xFF\xFE.jpg", "\xE2\x82\xAC\xE2\x98\x83.jpg"})
        QVERIFY2(!referenceOfCover(name), name);
    // Letter case apart, two references meet in one file on Windows.
    QCOMPARE(coverKey("a1"), coverKey("A1"));
    QCOMPARE(coverKey("\xE9t\xE9"), coverKey("\xC9T\xC9"));
    QVERIFY(coverKey("a1") != coverKey("a2"));
}

// A cover replaced is kept in Sauvegardes; one moved never lands on another; one set aside
// goes there; the collector's own pictures stay.
void TestCoverStore::neverLost() {
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString();
    CoverStore store{Folder(posixFileSystem(), dir)};
    store.put("7", "premi\xE8re", 1700000000);
    store.put("7", "seconde", 1700000000);
    store.put("8", "huit", 1700000000);
    QCOMPARE(slurp(store.find("7")), std::string("seconde"));
    QCOMPARE(store.move("7", "8"), CoverStore::Moved::taken);
    QCOMPARE(store.move("9", "10"), CoverStore::Moved::noCover);
    QCOMPARE(store.move("7", "7 bis"), CoverStore::Moved::done);
    QCOMPARE(filesIn(store.dir()), QStringList({"7 bis.jpg", "8.jpg"}));
    QVERIFY(store.find("7").empty());
    QVERIFY(!store.keepAside("8", 1700000000).empty());
    QVERIFY(store.keepAside("8", 1700000000).empty());
    const std::string stamp = fileStamp(1700000000);
    const QString kept = QString::fromStdString("Couverture-" + stamp + "-");
    QCOMPARE(filesIn(dir + "/" + backupFolderName), QStringList({kept + "7.jpg", kept + "8.jpg"}));
    QCOMPARE(slurp(dir + "/Sauvegardes/Couverture-" + stamp + "-7.jpg"),
             std::string("premi\xE8re"));
    std::ofstream(store.dir() + "/Sans titre.png") << "à moi";
    QStringList files;
    for (const CoverFile& f : store.files())
        files << QString::fromStdString(f.name + "|" + f.reference);
    files.sort();
    QCOMPARE(files, QStringList({"7 bis.jpg|7 bis", "Sans titre.png|"}));
}

void TestCoverStore::pageLinksItsOwnCover() {
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString() + "/Lirabel 3";
    QVERIFY(QDir().mkpath(QString::fromStdString(dir)));
    writeCatalogue(dir, {FicheBuilder().numero(1), FicheBuilder().set(Field::numero, "é/2"),
                         FicheBuilder().numero(3), FicheBuilder().numero(3)});
    CoverStore store{Folder(posixFileSystem(), dir)};
    for (const char* reference : {"1", "\xE9/2", "3"})
        store.put(reference, "jpeg", 1700000000);
    DataFile data{Folder(posixFileSystem(), dir)};
    data.open();
    QCOMPARE(coverLink(data, "1", dir), std::string("Couvertures/1.jpg"));
    QCOMPARE(QString::fromStdString(coverLink(data, "\xE9/2", tmp.path().toStdString() + "/pages")),
             QString("../Lirabel%203/Couvertures/%C3%A9%252F2.jpg"));
    QCOMPARE(coverLink(data, "3", dir), std::string()); // two books of reference 3
    QCOMPARE(coverLink(data, "4", dir), std::string()); // none
    data.close();
}

QTEST_GUILESS_MAIN(TestCoverStore)
#include "tst_coverstore.moc"
