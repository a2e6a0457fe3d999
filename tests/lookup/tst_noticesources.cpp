// "Sources de notices...": the window and the settings group it writes, built from the
// sources' table, a source added to it included.
#include "AppFixture.h"
#include "lookup/IsbnLookup.h"
#include "lookup/NoticeSources.h"
#include "ReplayServer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace q7::lookup;

namespace {

QLineEdit* edit(QDialog& d, const QString& label) {
    for (auto* l : d.findChildren<QLabel*>())
        if (l->text() == label) return qobject_cast<QLineEdit*>(l->buddy());
    qFatal("no field %s", qPrintable(label));
}

void clickMove(QDialog& d, const char* button, int times) {
    for (auto* b : d.findChildren<QPushButton*>())
        if (b->text() == button)
            for (int i = 0; i < times; ++i)
                b->click();
}

// A fourth service, as a new row adds one.
std::vector<Request> testIsbn(const Reach& r, const std::string& isbn13) {
    return {{r.base + "/isbn/" + isbn13 + "?cle=" + r.apiKey, readOpenLibrary}};
}

std::vector<Source> withFourth(Source fourth) {
    std::vector<Source> table(sources().begin(), sources().end());
    table.push_back(fourth);
    return table;
}

const Source fourth{
    "essai", "Notices d'essai", "https://notices.example/v2", "essai_cle", false, testIsbn,
    nullptr};

} // namespace

class TestNoticeSources : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sourcesWindow();
    void addedSource();
    void halfRows_data();
    void halfRows();
};

// The sources' window: Google Books only with a key, the order, the author form, the
// addresses checked; all of it in the settings' own group.
void TestNoticeSources::sourcesWindow() {
    AppFixture app;
    app.start();
    auto& values = app.fakes->settings.values;
    QStringList seen;
    app.fakes->modal.script("NoticeSources", [&](QDialog& d) {
        auto* list = d.findChild<QListWidget*>();
        for (int i = 0; i < list->count(); ++i)
            seen << list->item(i)->text() +
                        (list->item(i)->checkState() == Qt::Checked ? " oui" : " non") +
                        (list->item(i)->flags() & Qt::ItemIsEnabled ? "" : " (éteint)");
        edit(d, "&Clé d'API Google Books :")->setText("ma-clé");
        list->item(2)->setCheckState(Qt::Checked);
        list->setCurrentRow(2);
        clickMove(d, "&Monter", 2);
        QLineEdit* bnf = edit(d, "Adresse BnF :");
        bnf->setText("ftp://miroir"); // refused
        d.accept();
        QVERIFY(d.isVisible());
        bnf->setText("https://miroir.example/SRU");
        d.findChildren<QRadioButton*>().at(1)->setChecked(true);
        d.accept();
    });
    app.trigger("smenusources");
    QCOMPARE(seen, (QStringList{"BnF oui", "Open Library oui", "Google Books non (éteint)"}));
    QCOMPARE(app.dialogs().boxes(),
             QStringList{"message:L'adresse de BnF doit commencer par https:// (ou http://) et "
                         "nommer un serveur."});
    QCOMPARE(values["Notices/ordre"], std::string("googlebooks,bnf,openlibrary"));
    QCOMPARE(values["Notices/googlebooks_cle"], std::string("ma-clé"));
    QCOMPARE(values["Notices/bnf"], std::string("https://miroir.example/SRU"));
    QCOMPARE(values["Notices/openlibrary"], std::string("https://openlibrary.org"));
    QCOMPARE(values["Notices/auteur"], std::string("nom_prenom"));
    for (const auto& [key, value] : values)
        QVERIFY2(key.find('/') != std::string::npos || key.empty(),
                 key.c_str()); // nothing among the seven
}

// A source added to the table is in the window, in the order and asked, at its own
// address with its own key; the others keep theirs.
void TestNoticeSources::addedSource() {
    const std::vector<Source> table = withFourth(fourth);
    QVERIFY(wholeRows(table));
    FakeSettingsBackend store;
    FakeDialogs dialogs;
    NoticeSources d(dialogs, nullptr, table);
    d.setSettings(readNoticeSettings(store, table));
    auto* list = d.findChild<QListWidget*>();
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(3)->text(), QString("Notices d'essai"));
    QVERIFY(!(list->item(3)->flags() & Qt::ItemIsEnabled)); // no key yet
    QCOMPARE(edit(d, "Adresse Notices d'essai :")->text(), QString("https://notices.example/v2"));
    edit(d, "&Clé d'API Notices d'essai :")->setText("k1");
    list->item(3)->setCheckState(Qt::Checked);
    list->setCurrentRow(3);
    clickMove(d, "&Monter", 3);
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    writeNoticeSettings(store, d.settings());
    QCOMPARE(store.values["Notices/ordre"], std::string("essai,bnf,openlibrary"));
    QCOMPARE(store.values["Notices/essai"], std::string("https://notices.example/v2"));
    QCOMPARE(store.values["Notices/essai_cle"], std::string("k1"));
    QCOMPARE(store.values["Notices/googlebooks"],
             std::string("https://www.googleapis.com/books/v1"));

    FakeFetcher fetcher;
    fetcher.answer = [](const std::string&, q7::FetchKind) {
        return q7::Fetched{q7::Fetched::Failure::none,
                           200,
                           recorded("openlibrary-9782070427796-apibooks-data.json").toStdString(),
                           {},
                           0};
    };
    IsbnLookup lookup(fetcher);
    const LookupResult r = lookUpAndWait(lookup, "9782070427796", readNoticeSettings(store, table));
    QCOMPARE(fetcher.asked,
             std::vector<std::string>{"https://notices.example/v2/isbn/9782070427796?cle=k1"});
    QCOMPARE(r.source->name, fourth.name);
}

// A row half added does not pass the table's check.
void TestNoticeSources::halfRows_data() {
    QTest::addColumn<QString>("fault");
    for (const char* fault : {"no name", "no requests", "key of the settings", "key twice",
                              "key setting of another's key", "capitals", "in http"})
        QTest::newRow(fault) << fault;
}

void TestNoticeSources::halfRows() {
    QFETCH(QString, fault);
    Source s = fourth;
    if (fault == "no name") s.name = nullptr;
    if (fault == "no requests") s.isbn = nullptr;
    if (fault == "key of the settings") s.key = "ordre";
    if (fault == "key twice") s.key = "bnf";
    if (fault == "key setting of another's key") s.keySetting = "googlebooks_cle";
    if (fault == "capitals") s.key = "Essai";
    if (fault == "in http") s.address = "http://notices.example";
    QVERIFY(wholeRows(withFourth(fourth)));
    QVERIFY(!wholeRows(withFourth(s)));
}

QTEST_MAIN(TestNoticeSources)
#include "tst_noticesources.moc"
