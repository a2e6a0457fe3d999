// Searches by title and author over HTTP, against a local server replaying the services'
// recorded answers and the hostile ones: every source at once, their candidates in order,
// periodicals out, pages, and what each failure says.
#include "FakeServices.h"
#include "FicheBuilder.h"
#include "lookup/Held.h"
#include "lookup/NoticeSearch.h"
#include "platform/QtFetcher.h"
#include "ReplayServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace q7::lookup;
using q7::QtFetcher;

Q_DECLARE_METATYPE(q7::lookup::SearchResult)

namespace {

const SearchTerms boyfriend{"Le boyfriend", "McFadden", {}, {}};

NoticeSettings pointedAt(const ReplayServer& server, const QString& order, const QString& key) {
    FakeSettingsBackend store;
    pointNoticesAt(store, server, order.toStdString());
    store.values["Notices/googlebooks_cle"] = key.toStdString();
    return readNoticeSettings(store);
}

SearchResult waitFor(QSignalSpy& done) {
    if (!done.wait(10000)) qFatal("the search never ended");
    return done.takeLast().at(0).value<SearchResult>();
}

} // namespace

class TestTitleSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<SearchResult>(); }
    void sources_data();
    void sources();
    void pages();
    void held_data();
    void held();
};

void TestTitleSearch::sources_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("key"); // the collector's Google Books key
    QTest::addColumn<QStringList>("plans");
    QTest::addColumn<QString>("asked");          // the kinds asked, sorted
    QTest::addColumn<QStringList>("candidates"); // "source: title", the first and the last
    QTest::addColumn<QString>("message");
    const QString both = QStringLiteral("bnf,openlibrary");
    const QString nbsp = QLocale(QLocale::French).groupSeparator();
    QTest::newRow("each source, in order")
        << both << ""
        << QStringList{"dc=bnf-sru-dc-lipsius-politica-page1.xml",
                       "ol=openlibrary-search-timewar-docs.json"}
        << "dc ol unimarc"
        << QStringList{"BnF: Monita et exempla politica. Libri duo, qui virtutes et vitia "
                       "principum "
                       "spectant.",
                       "Open Library: This is How You Lose the Time War"}
        << "12 premières notices sur 21 : précisez le titre ou l'auteur";
    QTest::newRow("periodicals out")
        << "bnf"
        << "" << QStringList{"dc=bnf-sru-dc-title-negro-page1.xml"} << "dc unimarc"
        << QStringList{"BnF: El negro", "BnF: El Negro et moi"}
        << "20 premières notices sur 2" + nbsp +
               "051 : précisez le titre ou l'auteur\n17 publications en série écartées.";
    QTest::newRow("nothing anywhere")
        << both << "" << QStringList{} << "dc ol unimarc" << QStringList{}
        << "Aucune notice pour « Le boyfriend », de « McFadden » "
           "(BnF, Open Library).";
    QTest::newRow("Google Books without a key")
        << "bnf,googlebooks"
        << "" << QStringList{} << "dc unimarc" << QStringList{}
        << "Aucune notice pour « Le boyfriend », de « McFadden » (BnF).\nGoogle Books n'est "
           "interrogé par titre qu'avec votre clé (Gestion, Sources de notices...).";
    QTest::newRow("Google Books with a key")
        << "googlebooks"
        << "k1"
        << QStringList{"gb=googlebooks-intitle-cragside-inauthor-ljross-volumes-masked.json"}
        << "gb" << QStringList{"Google Books: Cragside", "Google Books: Cragside"}
        << "2 notices trouvées";
    QTest::newRow("HTML for XML")
        << both << "" << QStringList{"unimarc=html", "ol=openlibrary-search-timewar-docs.json"}
        << "ol unimarc"
        << QStringList{"Open Library: This Is How You Lose the Time War",
                       "Open Library: This is How You Lose the Time War"}
        << "2 notices trouvées\nRéponse inattendue de BnF : la réponse n'est pas une réponse SRU.";
    QTest::newRow("HTML for JSON")
        << "openlibrary"
        << "" << QStringList{"ol=html"} << "ol" << QStringList{}
        << "Aucune notice pour « Le boyfriend », de « McFadden ».\nRéponse "
           "inattendue de Open Library : la réponse n'est pas du JSON lisible.";
    QTest::newRow("redirect loop")
        << "bnf"
        << "" << QStringList{"unimarc=loop"}
        << "unimarc unimarc unimarc unimarc "
           "unimarc unimarc"
        << QStringList{}
        << "Aucune notice pour « Le boyfriend », de « McFadden ».\nBnF renvoie d'adresse "
           "en adresse (plus de 5 redirections) : abandon.";
    QTest::newRow("2 GB said")
        << "openlibrary"
        << "" << QStringList{"ol=huge"} << "ol" << QStringList{}
        << "Aucune notice pour « Le boyfriend », de « McFadden ».\nOpen Library "
           "envoie une réponse trop lourde (plus de 4 Mo) : abandonnée.";
    QTest::newRow("silent") << both << ""
                            << QStringList{"unimarc=never",
                                           "ol=openlibrary-search-timewar-docs.json"}
                            << "ol unimarc"
                            << QStringList{"Open Library: This Is How You Lose the Time War",
                                           "Open Library: This is How You Lose the Time War"}
                            << "2 notices trouvées\nBnF ne répond pas (1 s d'attente).";
}

void TestTitleSearch::sources() {
    QFETCH(QStringList, plans);
    ReplayServer server([&](const QString& target) { return replaySearches(target, plans); });
    QtFetcher fetcher({.spacingMs = 0, .timeoutMs = 400});
    NoticeSearch search(fetcher);
    QSignalSpy done(&search, &NoticeSearch::finished);
    QFETCH(QString, order);
    QFETCH(QString, key);
    search.start(boyfriend, pointedAt(server, order, key));
    const SearchResult r = waitFor(done);
    QStringList asked;
    for (const QString& t : server.targets) {
        asked << searchKind(t);
        // Only the words typed go out, and the key to the service that needs it.
        const QString words = QUrl::fromPercentEncoding(t.toUtf8());
        QVERIFY2(words.contains(u"boyfriend") && words.contains(u"McFadden"), qPrintable(words));
        QCOMPARE(words.contains(u"key=k1"), searchKind(t) == u"gb");
    }
    asked.sort();
    QTEST(asked.join(u' '), "asked");
    QStringList ends;
    if (!r.candidates.empty())
        for (const Candidate* c : {&r.candidates.front(), &r.candidates.back()})
            ends << QString::fromUtf8(c->source->name) + QStringLiteral(": ") +
                        QString::fromStdString(c->book.title);
    QTEST(ends, "candidates");
    QTEST(QString::fromStdString(r.message), "message");
    QVERIFY(!search.running());
}

// Each source gives the next page where it has one; the list grows, the count follows.
void TestTitleSearch::pages() {
    ReplayServer server([](const QString& target) {
        return replaySearches(target, {"dc=bnf-sru-dc-lipsius-politica-page1.xml",
                                       "ol=openlibrary-searchjson-q-chicago-limit5.json"});
    });
    QtFetcher fetcher({.spacingMs = 0});
    NoticeSearch search(fetcher);
    QSignalSpy done(&search, &NoticeSearch::finished);
    search.start(boyfriend, pointedAt(server, "bnf,openlibrary", {}));
    SearchResult r = waitFor(done);
    QCOMPARE(r.candidates.size(), std::size_t(15));
    QVERIFY(r.more);
    QVERIFY(server.targets.filter(u"startRecord=1&").size() == 2);
    QVERIFY(server.targets.filter(u"offset=0").size() == 1);
    server.targets.clear();
    search.more();
    r = waitFor(done);
    QCOMPARE(r.candidates.size(), std::size_t(30));
    QCOMPARE(QString::fromUtf8(r.candidates[15].source->name), QString("BnF"));
    QCOMPARE(server.targets.filter(u"startRecord=11&").size(), 2); // UNIMARC, then DC
    QCOMPARE(server.targets.filter(u"offset=5").size(), 1);
    // 20 of the BnF's 19 read: it has no more, Open Library still has.
    QVERIFY(r.more);
    const QString nbsp = QLocale(QLocale::French).groupSeparator();
    QCOMPARE(QString::fromStdString(r.message),
             "30 premières notices sur 67" + nbsp + "070 : précisez le titre ou l'auteur");
    server.targets.clear();
    search.more();
    r = waitFor(done);
    QCOMPARE(server.targets.size(), 1);
    QVERIFY(server.targets.at(0).contains(u"offset=10"));
}

// "Déjà au catalogue": the books a found or typed book is, in a catalogue of five.
void TestTitleSearch::held_data() {
    QTest::addColumn<QStringList>("found"); // ISBN, title, author, title with its subtitle
    QTest::addColumn<int>("except");        // the record shown
    QTest::addColumn<QString>("held");      // the reference of the book held, or nothing
    const auto row = [](const char* name, QStringList found, const char* held, int except = -1) {
        QTest::newRow(name) << found << except << held;
    };
    row("ISBN-13 of a stored ISBN-10", {"9782070360024", "Autre", "Autre"}, "2");
    row("ISBN-10 of a stored 13", {"2-8246-2715-8", "", ""}, "1");
    row("ISBN before a title met sooner", {"9782070360024", "Le boyfriend", "McFadden Freida"},
        "2");
    row("title and author, folded, other order", {"", "le BOYFRIEND", "Freida McFadden"}, "1");
    row("accents and apostrophe folded", {"", "L’ETRANGER", "albert camus"}, "2");
    row("same title, another author", {"", "Le boyfriend", "Jean Dupont"}, "5");
    row("same author, another title", {"", "Le boyfriend 2", "Freida McFadden"}, "");
    row("title cut by its field",
        {"", "Le traité des cinq roues : la voie de la stratégie illustrée pour tous",
         "Miyamoto Musashi"},
        "3");
    row("title without its subtitle",
        {"", "Le traité des cinq roues", "Musashi Miyamoto",
         "Le traité des cinq roues la voie de la stratégie illustrée pour tous"},
        "3");
    row("a short title is no cut", {"", "Le boy", "Freida McFadden"}, "");
    row("no author, title alone", {"", "Anonyme", ""}, "");
    row("a stored 0 is no ISBN", {"0", "", ""}, "");
    row("the record shown", {"9782824627151", "", ""}, "", 0);
}

void TestTitleSearch::held() {
    QTemporaryDir dir;
    writeCatalogue(
        dir.path().toStdString(),
        {FicheBuilder()
             .numero(1)
             .set(q7::Field::titre, "Le boyfriend")
             .set(q7::Field::auteur, "MCFADDEN Freida")
             .set(q7::Field::isbn, "9782824627151"),
         FicheBuilder()
             .numero(2)
             .set(q7::Field::titre, "L'Étranger")
             .set(q7::Field::auteur, "Camus Albert")
             .set(q7::Field::isbn, "2070360024"),
         FicheBuilder()
             .numero(3)
             .set(q7::Field::titre, "Le traité des cinq roues : la voie de la stratégie illustrée")
             .set(q7::Field::auteur, "Musashi Miyamoto")
             .set(q7::Field::isbn, "0"),
         FicheBuilder().numero(4).set(q7::Field::titre, "Anonyme").set(q7::Field::isbn, "0"),
         FicheBuilder()
             .numero(5)
             .set(q7::Field::titre, "Le Boyfriend")
             .set(q7::Field::auteur, "DUPONT Jean")}); // after the first: a title met sooner
    q7::DataFile data{q7::Folder(q7::posixFileSystem(), dir.path().toStdString())};
    data.open();
    QFETCH(QStringList, found);
    QFETCH(int, except);
    const BookKey key = bookKey(found.value(0).toStdString(), found.value(1).toStdString(),
                                found.value(2).toStdString(), found.value(3).toStdString());
    const Held h = findHeld(data, std::span(&key, 1), except).front();
    QTEST(QString::fromStdString(h.reference), "held");
    QCOMPARE(data.position(), 0); // P untouched
}

QTEST_GUILESS_MAIN(TestTitleSearch)
#include "tst_titlesearch.moc"
