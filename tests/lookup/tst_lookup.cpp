// The sources asked in order over HTTP, against a local server replaying their answers.
#include "FakeServices.h"
#include "lookup/IsbnLookup.h"
#include "platform/QtFetcher.h"
#include "ReplayServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace q7::lookup;
using q7::QtFetcher;

Q_DECLARE_METATYPE(q7::lookup::LookupResult)

namespace {

// Which of the four questions a request is.
QString kindOf(const QString& target) {
    if (target.contains(u"recordSchema=unimarcxchange")) return QStringLiteral("unimarc");
    if (target.contains(u"recordSchema=dublincore")) return QStringLiteral("dc");
    if (target.startsWith(u"/api/books")) return QStringLiteral("ol");
    if (target.startsWith(u"/books/v1/volumes")) return QStringLiteral("gb");
    return QStringLiteral("?");
}

// "file.xml", "500", "never", or nothing: the service has no such book.
Reply replyFor(const QString& kind, const QString& plan) {
    if (plan == u"never") return {0, {}, true};
    if (plan == u"heavy") return {200, QByteArray(5 << 20, '<')};
    bool number = false;
    const int status = plan.toInt(&number);
    if (number)
        return {status, status == 429 ? recorded("googlebooks-any-error429.json") : "Erreur"};
    if (!plan.isEmpty()) return {200, recorded(plan)};
    if (kind == u"ol") return {200, "{}"};
    if (kind == u"gb") return {200, R"({"kind": "books#volumes", "totalItems": 0})"};
    return {200, recorded("bnf-sru-unimarc-9789999999999-empty.xml")};
}

NoticeSettings pointedAt(const QString& base, const QString& order) {
    FakeSettingsBackend store;
    store.values["Notices/ordre"] = order.toStdString();
    store.values["Notices/bnf"] = (base + "/api/SRU").toStdString();
    store.values["Notices/openlibrary"] = base.toStdString();
    store.values["Notices/googlebooks"] = (base + "/books/v1/").toStdString();
    return readNoticeSettings(store);
}

QString keysAsked(const NoticeSettings& n) {
    QStringList keys;
    for (const SourceSetting& s : n.asked())
        keys << s.source->key;
    return keys.join(u',');
}

LookupResult run(IsbnLookup& lookup, const std::string& isbn, const NoticeSettings& n) {
    QSignalSpy done(&lookup, &IsbnLookup::finished);
    lookup.start(isbn, n);
    if (!done.wait(10000)) qFatal("the lookup never ended");
    return done.at(0).at(0).value<LookupResult>();
}

} // namespace

class TestLookup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<LookupResult>(); }
    void sources_data();
    void sources();
    void noConnection();
    void cancelled();
    void askedOnceAndSpaced();
    void settings_data();
    void settings();
};

void TestLookup::sources_data() {
    QTest::addColumn<QString>("isbn");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QStringList>("plans"); // kind=plan
    QTest::addColumn<QString>("asked");     // the kinds asked, in order
    QTest::addColumn<QString>("found");     // the title found, or nothing
    QTest::addColumn<QString>("message");
    const QString both = QStringLiteral("bnf,openlibrary");
    QTest::newRow("BnF in UNIMARC")
        << "9782824627151" << both << QStringList{"unimarc=bnf-sru-unimarc-9782824627151.xml"}
        << "unimarc"
        << "Le boyfriend"
        << "Notice trouvée (BnF).";
    QTest::newRow("BnF in Dublin Core only")
        << "9782952221702" << both << QStringList{"dc=bnf-sru-dc-9782952221702.xml"} << "unimarc dc"
        << "La horde du contrevent"
        << "Notice trouvée (BnF).";
    QTest::newRow("Open Library after an empty BnF")
        << "9782070427796" << both << QStringList{"ol=openlibrary-9782070427796-apibooks-data.json"}
        << "unimarc dc ol"
        << "Les ombres errantes"
        << "Notice trouvée (Open Library).";
    QTest::newRow("BnF refusing") << "9782070427796" << both
                                  << QStringList{"unimarc=429",
                                                 "ol=openlibrary-9782070427796-apibooks-data.json"}
                                  << "unimarc ol"
                                  << "Les ombres errantes"
                                  << "Notice trouvée (Open Library).";
    QTest::newRow("order reversed")
        << "9782070427796"
        << "openlibrary,bnf"
        << QStringList{"ol=openlibrary-9782070427796-apibooks-data.json",
                       "unimarc=bnf-sru-unimarc-9782824627151.xml"}
        << "ol"
        << "Les ombres errantes"
        << "Notice trouvée (Open Library).";
    QTest::newRow("Google Books last")
        << "9782266162777"
        << "bnf,openlibrary,googlebooks" << QStringList{"gb=googlebooks-9782266162777-volumes.json"}
        << "unimarc dc ol gb"
        << "L'essence du Tao"
        << "Notice trouvée (Google Books).";
    QTest::newRow("nowhere") << "9789999999999" << both << QStringList{} << "unimarc dc ol"
                             << ""
                             << "Aucune notice pour l'ISBN 9789999999999 (BnF, Open Library).";
    QTest::newRow("source off") << "9782266162777" << both
                                << QStringList{"gb=googlebooks-9782266162777-volumes.json"}
                                << "unimarc dc ol"
                                << ""
                                << "Aucune notice pour l'ISBN 9782266162777 (BnF, Open Library).";
    QTest::newRow("down") << "9789999999999" << both << QStringList{"unimarc=500"} << "unimarc ol"
                          << ""
                          << "Aucune notice pour l'ISBN 9789999999999 (Open Library).\n"
                             "BnF est en panne (HTTP 500).";
    QTest::newRow("quota") << "9782266162777"
                           << "googlebooks" << QStringList{"gb=429"} << "gb"
                           << ""
                           << "Aucune notice pour l'ISBN 9782266162777.\nGoogle Books refuse la "
                              "demande : trop de demandes (HTTP 429).";
    QTest::newRow("silent") << "9789999999999" << both << QStringList{"unimarc=never"}
                            << "unimarc ol"
                            << ""
                            << "Aucune notice pour l'ISBN 9789999999999 (Open Library).\n"
                               "BnF ne répond pas (1 s d'attente).";
    QTest::newRow("cut in the middle")
        << "9782824627151" << both
        << QStringList{"unimarc=bnf-sru-unimarc-9782824627151-truncated.xml"} << "unimarc ol"
        << ""
        << "Aucune notice pour l'ISBN 9782824627151 (Open Library).\nRéponse inattendue de BnF : "
           "la réponse s'arrête au milieu (connexion coupée ?).";
    QTest::newRow("another book")
        << "9782702865507" << both << QStringList{"unimarc=bnf-sru-unimarc-9782824627151.xml"}
        << "unimarc ol"
        << ""
        << "Aucune notice pour l'ISBN 9782702865507 (Open Library).\nBnF ne connaît qu'un autre "
           "livre (autre ISBN) : notice refusée.";
    QTest::newRow("too heavy") << "9782070427796" << both
                               << QStringList{"unimarc=heavy",
                                              "ol=openlibrary-9782070427796-apibooks-data.json"}
                               << "unimarc ol"
                               << "Les ombres errantes"
                               << "Notice trouvée (Open Library).";
    QTest::newRow("not JSON") << "9782070427796"
                              << "openlibrary" << QStringList{"ol=bnf-sru-dc-9782813206596.xml"}
                              << "ol"
                              << ""
                              << "Aucune notice pour l'ISBN 9782070427796.\nRéponse inattendue "
                                 "de Open Library : la réponse n'est pas du JSON lisible.";
}

void TestLookup::sources() {
    QFETCH(QStringList, plans);
    ReplayServer server([&](const QString& target) {
        const QString kind = kindOf(target);
        QString plan;
        for (const QString& p : plans)
            if (p.startsWith(kind + u'=')) plan = p.mid(kind.size() + 1);
        return replyFor(kind, plan);
    });
    QtFetcher fetcher({.spacingMs = 0, .timeoutMs = 400}); // the silent server: a short wait
    IsbnLookup lookup(fetcher);
    QFETCH(QString, isbn);
    QFETCH(QString, order);
    const LookupResult r = run(lookup, isbn.toStdString(), pointedAt(server.base(), order));
    QStringList asked;
    for (const QString& t : server.targets) {
        asked << kindOf(t);
        QVERIFY2(t.contains(isbn), qPrintable(t)); // only the ISBN goes out
    }
    QTEST(asked.join(u' '), "asked");
    QTEST(QString::fromStdString(r.kind == LookupResult::Kind::found ? r.book.title : ""), "found");
    QTEST(QString::fromStdString(r.message), "message");
    for (const QByteArray& agent : server.agents)
        QVERIFY(agent.startsWith("Lirabel3/"));
}

void TestLookup::noConnection() {
    QTcpServer closed; // a port that was free a moment ago, and is again
    closed.listen(QHostAddress::LocalHost);
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    QtFetcher fetcher({.spacingMs = 0});
    IsbnLookup lookup(fetcher);
    const LookupResult r = run(lookup, "9782824627151", pointedAt(base, "bnf"));
    QCOMPARE(r.kind, LookupResult::Kind::notFound);
    QCOMPARE(QString::fromStdString(r.message),
             QString("Aucune notice pour l'ISBN 9782824627151.\nImpossible de joindre BnF : pas "
                     "de connexion."));
}

void TestLookup::cancelled() {
    ReplayServer server([](const QString&) { return Reply{0, {}, true}; });
    QtFetcher fetcher({.spacingMs = 0});
    IsbnLookup lookup(fetcher);
    QSignalSpy done(&lookup, &IsbnLookup::finished);
    lookup.start("9782824627151", pointedAt(server.base(), "bnf,openlibrary"));
    QTRY_COMPARE(server.targets.size(), 1);
    QElapsedTimer clock;
    clock.start();
    lookup.cancel();
    QCOMPARE(done.size(), 1);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(done.at(0).at(0).value<LookupResult>().kind, LookupResult::Kind::cancelled);
    QVERIFY(!lookup.running());
    QTest::qWait(100);
    QCOMPARE(server.targets.size(), 1); // nothing asked after the cancel
}

void TestLookup::askedOnceAndSpaced() {
    QList<qint64> times;
    QElapsedTimer clock;
    clock.start();
    ReplayServer server([&](const QString& target) {
        times << clock.elapsed();
        return replyFor(kindOf(target),
                        target.contains(u"9782824627151") && kindOf(target) == u"unimarc"
                            ? "bnf-sru-unimarc-9782824627151.xml"
                            : "");
    });
    QtFetcher fetcher({.spacingMs = 300});
    IsbnLookup lookup(fetcher);
    const NoticeSettings n = pointedAt(server.base(), "bnf");
    QCOMPARE(run(lookup, "9782824627151", n).kind, LookupResult::Kind::found);
    QCOMPARE(run(lookup, "9782824627151", n).kind, LookupResult::Kind::found);
    QCOMPARE(server.targets.size(), 1); // the second time, the answer kept
    QCOMPARE(run(lookup, "9782952221702", n).kind, LookupResult::Kind::notFound);
    QCOMPARE(server.targets.size(), 3);
    for (int i = 1; i < times.size(); ++i)
        QVERIFY2(times[i] - times[i - 1] >= 250,
                 qPrintable(QString::number(times[i] - times[i - 1])));
}

void TestLookup::settings_data() {
    QTest::addColumn<QStringList>("stored"); // key=value
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("bnf");
    QTest::addColumn<int>("form");
    const QString bnf = QStringLiteral("https://catalogue.bnf.fr/api/SRU");
    QTest::newRow("nothing stored")
        << QStringList{} << "bnf,openlibrary" << bnf << int(AuthorForm::forenameFirst);
    QTest::newRow("all off") << QStringList{"ordre="} << "" << bnf
                             << int(AuthorForm::forenameFirst);
    QTest::newRow("repeats and unknowns")
        << QStringList{"ordre= openlibrary,bnf,bnf,amazon"} << "openlibrary,bnf" << bnf
        << int(AuthorForm::forenameFirst);
    QTest::newRow("mirror, surname first")
        << QStringList{"bnf=http://miroir/SRU", "auteur=nom_prenom"} << "bnf,openlibrary"
        << "http://miroir/SRU" << int(AuthorForm::surnameFirst);
    QTest::newRow("empty address")
        << QStringList{"bnf="} << "bnf,openlibrary" << bnf << int(AuthorForm::forenameFirst);
}

void TestLookup::settings() {
    QFETCH(QStringList, stored);
    FakeSettingsBackend store;
    for (const QString& s : stored)
        store.values["Notices/" + s.section(u'=', 0, 0).toStdString()] =
            s.section(u'=', 1).toStdString();
    const NoticeSettings n = readNoticeSettings(store);
    QTEST(keysAsked(n), "order");
    const auto bnf = std::ranges::find(n.sources, std::string_view("bnf"),
                                       [](const SourceSetting& s) { return s.source->key; });
    QTEST(QString::fromStdString(bnf->address), "bnf");
    QTEST(int(n.authorForm), "form");
    // Written and read back, the same.
    FakeSettingsBackend again;
    writeNoticeSettings(again, n);
    const NoticeSettings back = readNoticeSettings(again);
    QCOMPARE(keysAsked(back), keysAsked(n));
    for (std::size_t i = 0; i < n.sources.size(); ++i)
        QCOMPARE(back.sources[i].address, n.sources[i].address);
    QCOMPARE(back.authorForm, n.authorForm);
}

QTEST_GUILESS_MAIN(TestLookup)
#include "tst_lookup.moc"
