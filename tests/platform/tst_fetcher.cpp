// The network's door against a local server: answers cut past their kind's weight,
// redirects counted and checked, requests to one host spaced by the server's own clock,
// the proxy of the environment.
#include "platform/QtFetcher.h"
#include "ReplayServer.h"

#include <QElapsedTimer>
#include <QTest>

using namespace q7;
using Failure = Fetched::Failure;

Q_DECLARE_METATYPE(q7::FetchKind)
Q_DECLARE_METATYPE(q7::Fetched::Failure)

namespace {

constexpr qint64 MiB = 1024 * 1024;

Fetched fetch(Fetcher& fetcher, const QString& url, FetchKind kind = FetchKind::notice) {
    std::optional<Fetched> got;
    fetcher.get(url.toStdString(), kind, [&](const Fetched& f) { got = f; });
    if (!QTest::qWaitFor([&] { return got.has_value(); }, 20000)) qFatal("never answered");
    return *got;
}

} // namespace

class TestFetcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void weight_data();
    void weight();
    void redirects_data();
    void redirects();
    void spacedPerHost();
    void schemes_data();
    void schemes();
    void proxies_data();
    void proxies();
    void throughTheProxy();
};

void TestFetcher::weight_data() {
    QTest::addColumn<FetchKind>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("length"); // said by the server, as in Reply
    QTest::addColumn<Failure>("failure");
    const qint64 notice = fetchLimits(FetchKind::notice).maxBytes;
    const qint64 image = fetchLimits(FetchKind::image).maxBytes;
    QTest::newRow("notice at its limit") << FetchKind::notice << notice << -1LL << Failure::none;
    QTest::newRow("notice a byte over, unsaid")
        << FetchKind::notice << notice + 1 << -2LL << Failure::tooBig;
    QTest::newRow("notice saying 600 MB")
        << FetchKind::notice << 1LL << 600 * MiB << Failure::tooBig;
    QTest::newRow("image over a notice's limit")
        << FetchKind::image << notice + 1 << -1LL << Failure::none;
    QTest::newRow("image a byte over, unsaid")
        << FetchKind::image << image + 1 << -2LL << Failure::tooBig;
}

void TestFetcher::weight() {
    QFETCH(qint64, size);
    QFETCH(qint64, length);
    ReplayServer server([&](const QString&) {
        return Reply{200, QByteArray(size, 'x'), false, {}, length};
    });
    QtFetcher fetcher({.spacingMs = 0});
    QFETCH(FetchKind, kind);
    QElapsedTimer clock;
    clock.start();
    const Fetched f = fetch(fetcher, server.base() + "/notice", kind);
    QTEST(f.failure, "failure");
    QCOMPARE(qint64(f.body.size()), f.failure == Failure::none ? size : 0);
    QVERIFY2(clock.elapsed() < 3000, "cut as it comes, not at the timeout");
}

void TestFetcher::redirects_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("asked");
    QTest::newRow("five hops") << "/hop/5" << Failure::none << 6;
    QTest::newRow("six hops") << "/hop/6" << Failure::tooManyRedirects << 6;
    QTest::newRow("a loop") << "/loop" << Failure::tooManyRedirects << 6;
    QTest::newRow("to ftp") << "/ftp" << Failure::refusedRedirect << 1;
}

void TestFetcher::redirects() {
    ReplayServer server([](const QString& t) -> Reply {
        if (t == u"/hop/0") return {200, "fin"};
        if (t.startsWith(u"/hop/"))
            return {302, {}, false, "/hop/" + QByteArray::number(t.mid(5).toInt() - 1)};
        if (t == u"/loop") return {301, {}, false, "loop"};
        return {307, {}, false, "ftp://127.0.0.1/notice"};
    });
    QtFetcher fetcher({.spacingMs = 0});
    QFETCH(QString, path);
    const Fetched f = fetch(fetcher, server.base() + path);
    QTEST(f.failure, "failure");
    QTEST(int(server.targets.size()), "asked");
    if (f.failure == Failure::none) {
        QCOMPARE(f.body, std::string("fin"));
        QCOMPARE(QString::fromStdString(f.url), server.base() + "/hop/0");
    }
}

// Every request to one host, redirect hops included, a second apart by the server's clock;
// another host is not kept waiting; a request cancelled while it waits never leaves.
void TestFetcher::spacedPerHost() {
    ReplayServer server([](const QString& t) -> Reply {
        if (t == u"/a") return {302, {}, false, "/b"};
        return {200, t.toLatin1()};
    });
    QtFetcher fetcher; // the program's own rest
    QStringList answered;
    const auto ask = [&](const QString& url) {
        return fetcher.get(url.toStdString(), FetchKind::notice, [&answered](const Fetched& f) {
            answered << QString::fromStdString(f.body);
        });
    };
    const QString other = server.base().replace("127.0.0.1", "localhost");
    ask(server.base() + "/a");
    ask(server.base() + "/c");
    ask(other + "/d");
    fetcher.cancel(ask(server.base() + "/e"));
    QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 3, 5000);
    QTest::qWait(1200); // "/e" would have left by now
    QCOMPARE(answered, (QStringList{"/d", "/c", "/b"}));
    QMap<QString, qint64> at;
    for (qsizetype i = 0; i < server.targets.size(); ++i)
        at[server.targets[i]] = server.arrivedNs[i];
    QCOMPARE(at.keys(), (QStringList{"/a", "/b", "/c", "/d"}));
    QVERIFY2(std::abs(at["/d"] - at["/a"]) < 500 * 1000000LL, "another host waits for nobody");
    for (const auto& [before, after] : {std::pair{"/a", "/c"}, std::pair{"/c", "/b"}}) {
        const qint64 gap = at[after] - at[before];
        QVERIFY2(gap >= 1000 * 1000000LL, qPrintable(after + QString(" %1 ns").arg(gap)));
    }
}

void TestFetcher::schemes_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("followed");
    const struct {
        const char *name, *first, *to;
        bool followed;
    } rows[] = {
        {"https to https", "https://a.org/x", "https://b.org/y", true},
        {"https to http", "https://a.org/x", "http://a.org/x", false},
        {"http to https", "http://a.org/x", "https://a.org/x", true},
        {"http to http", "http://127.0.0.1:8080/x", "http://127.0.0.1/y", true},
        {"to a file", "http://a.org/x", "file:///etc/passwd", false},
        {"no host", "https://a.org/x", "https:///x", false},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString(r.first) << QString(r.to) << r.followed;
}

void TestFetcher::schemes() {
    QFETCH(QString, first);
    QFETCH(QString, to);
    QTEST(mayFollow(QUrl(first), QUrl(to)), "followed");
}

void TestFetcher::proxies_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("proxy"); // "" for none
    const char* http = "http_proxy=proxy.lan:3128";
    const char* https = "https_proxy=http://secure.lan:8443";
    const struct {
        const char *name, *url;
        QStringList environment;
        const char* proxy;
    } rows[] = {
        {"https", "https://catalogue.bnf.fr/api/SRU", {http, https}, "http secure.lan:8443"},
        {"http, no scheme given", "http://openlibrary.org", {http, https}, "http proxy.lan:3128"},
        {"https without https_proxy", "https://openlibrary.org", {http}, ""},
        {"upper case", "https://a.org", {"HTTPS_PROXY=proxy.lan:3128"}, "http proxy.lan:3128"},
        {"HTTP_PROXY left alone", "http://a.org", {"HTTP_PROXY=proxy.lan:3128"}, ""},
        {"all_proxy, socks", "https://a.org", {"all_proxy=socks5h://s.lan"}, "socks s.lan:1080"},
        {"loopback", "http://127.0.0.1:8080/api/SRU", {http, https}, ""},
        {"localhost", "http://localhost:8080", {http, https}, ""},
        {"IPv6 loopback", "http://[::1]:8080", {http, https}, ""},
        {"no_proxy domain",
         "https://covers.openlibrary.org",
         {https, "no_proxy=.openlibrary.org"},
         ""},
        {"no_proxy is no suffix",
         "https://notopenlibrary.org",
         {https, "no_proxy=openlibrary.org"},
         "http secure.lan:8443"},
        {"no_proxy other port",
         "https://a.org",
         {https, "no_proxy=a.org:8443"},
         "http secure.lan:8443"},
        {"no_proxy range", "http://10.1.2.3/SRU", {http, "NO_PROXY=bnf.fr, 10.0.0.0/8"}, ""},
        {"no_proxy star", "https://a.org", {https, "no_proxy=*"}, ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString(r.url) << r.environment << QString(r.proxy);
}

void TestFetcher::proxies() {
    QFETCH(QStringList, environment);
    QProcessEnvironment env;
    for (const QString& v : environment)
        env.insert(v.section(u'=', 0, 0), v.section(u'=', 1));
    QFETCH(QString, url);
    const QNetworkProxy p = proxyFor(QUrl(url), env);
    const QString kind = p.type() == QNetworkProxy::HttpProxy     ? "http"
                         : p.type() == QNetworkProxy::Socks5Proxy ? "socks"
                                                                  : "";
    QTEST(kind.isEmpty() ? kind : kind + " " + p.hostName() + ":" + QString::number(p.port()),
          "proxy");
}

// The proxy of the environment is asked for the whole address; this machine's own
// addresses are asked straight.
void TestFetcher::throughTheProxy() {
    ReplayServer proxy([](const QString&) { return Reply{200, "par le mandataire"}; });
    ReplayServer server([](const QString&) { return Reply{200, "en direct"}; });
    qputenv("http_proxy", proxy.base().toLatin1());
    QtFetcher fetcher({.spacingMs = 0});
    const Fetched far = fetch(fetcher, "http://notices.invalid/isbn/9782070427796");
    const Fetched near = fetch(fetcher, server.base() + "/isbn");
    qunsetenv("http_proxy");
    QCOMPARE(far.body, std::string("par le mandataire"));
    QCOMPARE(proxy.targets, QStringList{"http://notices.invalid/isbn/9782070427796"});
    QCOMPARE(near.body, std::string("en direct"));
}

QTEST_GUILESS_MAIN(TestFetcher)
#include "tst_fetcher.moc"
