// Covers asked of the services, answered by a local server: the addresses each source's
// row makes of a found book, and what comes back, a cover or a French reason, hostile
// answers included.
#include "covers/CoverFetch.h"
#include "FakeServices.h"
#include "lookup/Sources.h"
#include "platform/QtFetcher.h"
#include "ReplayServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace q7;
using namespace q7::lookup;
using Kind = FetchedCover::Kind;

Q_DECLARE_METATYPE(q7::FetchedCover::Kind)

namespace {

QByteArray recordedThumbnail() {
    QFile f(Q7_COVERS "/googlebooks-content-6l8kAQAAMAAJ-zoom5-thumbnail.jpg");
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing recorded cover");
    return f.readAll();
}

const Source& source(std::string_view key) {
    for (const Source& s : sources())
        if (key == s.key) return s;
    qFatal("no source");
}

FoundBook withCover(const std::string& cover) {
    FoundBook b;
    b.cover = cover;
    return b;
}

} // namespace

class TestCoverFetch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readersKeepTheWayToTheCover();
    void addresses_data();
    void addresses();
    void answers_data();
    void answers();
};

void TestCoverFetch::readersKeepTheWayToTheCover() {
    const Answer google =
        readGoogleBooks(recorded("googlebooks-9780007499793-volumes.json").toStdString());
    QCOMPARE(google.books.at(0).cover,
             "http://books.google.com/books/content?id=lDihJsa19_gC&printsec=frontcover&img=1"
             "&zoom=1&edge=curl&source=gbs_api");
    const Answer edition = readOpenLibrary(R"({"key": "/books/OL1M", "title": "T",
        "covers": [-1, 6796986, 3843137]})");
    QCOMPARE(edition.books.at(0).cover, "6796986");
    const Answer data = readOpenLibrary(R"({"ISBN:9782070427796": {"key": "/books/OL2M",
        "title": "T", "cover": {"small": "https://covers.openlibrary.org/b/id/240726-S.jpg"}}})");
    QCOMPARE(data.books.at(0).cover, "240726");
    QCOMPARE(readOpenLibrary(recorded("openlibrary-9782070427796-apibooks-data.json").toStdString())
                 .books.at(0)
                 .cover,
             "");
}

void TestCoverFetch::addresses_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("address"); // as the collector set it; "" the default
    QTest::addColumn<QString>("cover");
    QTest::addColumn<QString>("isbn");
    QTest::addColumn<QStringList>("urls");
    const QString gb = "http://books.google.com/books/content?id=7kMMzgEACAAJ&printsec=frontcover"
                       "&img=1&zoom=1&edge=curl&source=gbs_api";
    QTest::newRow("Open Library, cover id then ISBN")
        << "openlibrary"
        << ""
        << "6796986"
        << "9782070427796"
        << QStringList{"https://covers.openlibrary.org/b/id/6796986-L.jpg?default=false",
                       "https://covers.openlibrary.org/b/isbn/9782070427796-L.jpg?default=false"};
    QTest::newRow("Open Library, edition key")
        << "openlibrary"
        << ""
        << "OL27901088M"
        << ""
        << QStringList{"https://covers.openlibrary.org/b/olid/OL27901088M-L.jpg?default=false"};
    QTest::newRow("Open Library, a mirror serves its covers")
        << "openlibrary"
        << "http://127.0.0.1:8080/"
        << ""
        << "9782070427796"
        << QStringList{"http://127.0.0.1:8080/b/isbn/9782070427796-L.jpg?default=false"};
    QTest::newRow("Open Library, no way to a cover") << "openlibrary"
                                                     << ""
                                                     << ""
                                                     << "" << QStringList{};
    QTest::newRow("Open Library, an id that is none") << "openlibrary"
                                                      << ""
                                                      << "../../etc"
                                                      << "" << QStringList{};
    QTest::newRow("Google, in https without the curl")
        << "googlebooks"
        << "" << gb << ""
        << QStringList{"https://books.google.com/books/content?id=7kMMzgEACAAJ"
                       "&printsec=frontcover&img=1&zoom=1&source=gbs_api"};
    QTest::newRow("Google, through the collector's server")
        << "googlebooks"
        << "http://127.0.0.1:9000/books/v1" << gb << ""
        << QStringList{"http://127.0.0.1:9000/books/content?id=7kMMzgEACAAJ"
                       "&printsec=frontcover&img=1&zoom=1&source=gbs_api"};
    QTest::newRow("Google, a link to elsewhere") << "googlebooks"
                                                 << ""
                                                 << "http://tracker.example/pixel.jpg"
                                                 << "" << QStringList{};
    QTest::newRow("BnF gives none") << "bnf"
                                    << ""
                                    << "955048"
                                    << "9782070427796" << QStringList{};
}

void TestCoverFetch::addresses() {
    QFETCH(QString, source);
    QFETCH(QString, address);
    QFETCH(QString, cover);
    QFETCH(QString, isbn);
    FakeSettingsBackend store;
    if (!address.isEmpty()) store.values["Notices/" + source.toStdString()] = address.toStdString();
    const NoticeSettings settings = readNoticeSettings(store);
    QStringList urls;
    for (const std::string& url :
         coverRequests(settings, ::source(source.toStdString()), withCover(cover.toStdString()),
                       isbn.toStdString(), CoverSize::kept))
        urls << QString::fromStdString(url);
    QTEST(urls, "urls");
}

void TestCoverFetch::answers_data() {
    QTest::addColumn<QList<Reply>>("replies"); // to each request in turn
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("message");
    const Reply image{200, recordedThumbnail()};
    const Reply missing{404, "Not Found"};
    QTest::newRow("the recorded thumbnail") << QList<Reply>{image} << Kind::found << "";
    QTest::newRow("none by id, found by ISBN") << QList<Reply>{missing, image} << Kind::found << "";
    QTest::newRow("none anywhere") << QList<Reply>{missing, missing} << Kind::none
                                   << "Pas de couverture chez Open Library pour ce livre.";
    QTest::newRow("a web page instead")
        << QList<Reply>{{200, "<html><head><title>Open Library</title></head></html>"}}
        << Kind::refused
        << "Couverture de Open Library refusée : c'est une page web, pas une image.";
    QTest::newRow("a cut picture")
        << QList<Reply>{{200, recordedThumbnail().first(4000)}} << Kind::refused << "incomplète";
    QTest::newRow("2 GB said") << QList<Reply>{{200, "xx", false, {}, 2LL << 30}} << Kind::refused
                               << "trop lourde (plus de 20 Mo)";
    QTest::newRow("a redirect loop")
        << QList<Reply>{{302, {}, false, "/b/id/1-L.jpg"}} << Kind::refused << "redirections";
    QTest::newRow("a server error") << QList<Reply>{{503, "busy"}} << Kind::refused << "erreur 503";
}

void TestCoverFetch::answers() {
    QFETCH(QList<Reply>, replies);
    int asked = 0;
    ReplayServer server([&](const QString&) {
        return replies.at(std::min<int>(asked++, int(replies.size()) - 1));
    });
    QtFetcher fetcher({.spacingMs = 0});
    CoverFetch fetch(fetcher);
    std::optional<FetchedCover> got;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(fetch.start({(server.base() + "/b/id/1-L.jpg").toStdString(),
                         (server.base() + "/b/isbn/9782070427796-L.jpg").toStdString()},
                        "Open Library", [&](const FetchedCover& c) { got = c; }));
    QVERIFY(QTest::qWaitFor([&] { return got.has_value(); }, 20000));
    QVERIFY2(clock.elapsed() < 5000, "cut as it comes, not at the timeout");
    QTEST(got->kind, "kind");
    QFETCH(QString, message);
    QVERIFY2(got->message.contains(message), qPrintable(got->message));
    QCOMPARE(got->image.isNull(), got->kind != Kind::found);
    QVERIFY(!fetch.running());
}

QTEST_MAIN(TestCoverFetch)
#include "tst_coverfetch.moc"
