// "Chercher une notice..." in the record window, against a local server replaying the
// services' recorded answers: the candidates listed, the keyboard, the book chosen into
// every control, and the books the catalogue holds already.
#include "lookup/CandidateList.h"
#include "ReplayServer.h"
#include "WindowProbe.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using q7::Field;

namespace {

// An edition of the Time War, in Open Library's shape; values of our own.
const QString timeWarEdition = QStringLiteral(
    R"({"key": "/books/OL27901088M", "title": "This Is How You Lose the Time War",
        "publishers": ["Saga Press"], "publish_date": "July 16, 2019", "number_of_pages": 208,
        "isbn_13": ["9781534430990"], "languages": [{"key": "/languages/eng"}]})");

// The list as the collector reads it, then `keys` typed into it.
void answerList(AppFixture& app, QStringList& rows, std::vector<int> keys) {
    app.fakes->modal.script("CandidateList", [&rows, keys](QDialog& d) {
        auto& table = static_cast<CandidateList&>(d).table();
        QCOMPARE(QApplication::focusWidget(), &table);
        for (int i = 0; i < table.rowCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < table.columnCount(); ++c)
                cells << table.item(i, c)->text();
            rows << cells.join(u'|');
        }
        for (int key : keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
}

void start(AppFixture& app, const ReplayServer& server, const std::string& order) {
    pointNoticesAt(app.fakes->settings, server, order);
    app.fakes->settings.values["Notices/googlebooks_cle"] = "k1";
    app.start();
    app.trigger("menuNouvelle");
}

// Title and author typed, Ctrl+Shift+K with the caret in the author field.
void search(AppFixture& app, const QString& title, const QString& author) {
    QApplication::setActiveWindow(&app.w()); // back from a window, the keys reach it
    typeInto(app.ui().cbtitre->lineEdit(), title);
    typeInto(app.ui().cbauteur->lineEdit(), author);
    QTest::keyClick(app.ui().cbauteur->lineEdit(), Qt::Key_K,
                    Qt::ControlModifier | Qt::ShiftModifier);
}

} // namespace

class TestTitleSearchWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chosen_data();
    void chosen();
    void keyboard();
    void alreadyHeld();
    void covers_data();
    void covers();
};

void TestTitleSearchWindow::chosen_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QStringList>("plans");
    QTest::addColumn<int>("row");        // the candidate chosen
    QTest::addColumn<QString>("listed"); // its row in the list
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("origin");
    QTest::newRow("BnF, a book of 1630")
        << "bnf,openlibrary" << QStringList{"dc=bnf-sru-dc-lipsius-politica-page1.xml"} << 0
        << "Monita et exempla politica. Libri duo, qui virtutes et vitia principum spectant.|Juste "
           "Lipse|Amsterdami, apud Guilielmum Blaeuw. Anno M DC XXX.|1630|233 p. et index ; in-12|"
           "BnF|"
        << QStringList{"Monita et exempla politica. Libri duo, qui virtutes…",
                       "Juste Lipse",
                       "Amsterdami, apud Guilielmum Blaeuw. Anno M",
                       "Vide",
                       "Vide",
                       "Vide",
                       "1630",
                       "233",
                       "Latin",
                       "0",
                       "",
                       "un"}
        << "Source : BnF, notice ark:/12148/cb30823499w ; recherche de « Monita politica », de « "
           "Lipse ».";
    QTest::newRow("Open Library, the work's edition read")
        << "openlibrary"
        << QStringList{"ol=openlibrary-search-timewar-docs.json", "olbook=" + timeWarEdition} << 0
        << "This Is How You Lose the Time War|Amal El-Mohtar ; Max Gladstone|Simon and "
           "Schuster|2019||Open Library|"
        << QStringList{"This Is How You Lose the Time War",
                       "Amal El-Mohtar",
                       "Saga Press",
                       "Vide",
                       "Vide",
                       "Vide",
                       "2019",
                       "208",
                       "Anglais",
                       "9781534430990",
                       "Autres auteurs : Max Gladstone",
                       "plusieurs"}
        << "Source : Open Library, notice /books/OL27901088M ; recherche de « Monita politica », "
           "de « Lipse ».";
    QTest::newRow("Open Library, the edition unreadable")
        << "openlibrary" << QStringList{"ol=openlibrary-search-timewar-docs.json", "olbook=500"}
        << 0
        << "This Is How You Lose the Time War|Amal El-Mohtar ; Max Gladstone|Simon and "
           "Schuster|2019||Open Library|"
        << QStringList{"This Is How You Lose the Time War",
                       "Amal El-Mohtar",
                       "Simon and Schuster",
                       "Vide",
                       "Vide",
                       "Vide",
                       "2019",
                       "0",
                       "Anglais",
                       "0",
                       "Autres auteurs : Max Gladstone",
                       "plusieurs"}
        << "Source : Open Library, notice /works/OL20639540W ; recherche de « Monita politica », "
           "de « Lipse ».";
    QTest::newRow("Google Books, the second of two")
        << "googlebooks"
        << QStringList{"gb=googlebooks-intitle-cragside-inauthor-ljross-volumes-masked.json"} << 1
        << "Cragside|L. J. Ross||2017-07-07||Google Books|"
        << QStringList{"Cragside", "L. J. Ross", "Vide",    "Vide",          "Vide", "Murder",
                       "2017",     "0",          "Anglais", "9781521748831", "",     "un"}
        << "Source : Google Books, notice RASDtAEACAAJ ; recherche de « Monita politica », de « "
           "Lipse ».";
}

void TestTitleSearchWindow::chosen() {
    QFETCH(QStringList, plans);
    ReplayServer server([&](const QString& t) { return replaySearches(t, plans); });
    AppFixture app;
    QFETCH(QString, order);
    start(app, server, order.toStdString());
    QStringList rows;
    QFETCH(int, row);
    std::vector<int> keys(std::size_t(row), Qt::Key_Down);
    keys.push_back(Qt::Key_Return);
    answerList(app, rows, keys);
    Review review;
    answerReview(app, review, true);
    search(app, "Monita politica", "Lipse");
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QTEST(rows.value(row), "listed");
    QTEST(shown(app), "fields");
    QTEST(review.origin, "origin");
    QVERIFY(app.state().newRecord); // nothing saved: the collector saves
    QCOMPARE(app.records().size(), std::size_t(0));
}

// Arrows, the next page, Escape: nothing changes until a row is chosen; a search without
// words asks for them, without a question to any service.
void TestTitleSearchWindow::keyboard() {
    ReplayServer server([](const QString& t) {
        return replaySearches(t, {"dc=bnf-sru-dc-lipsius-politica-page1.xml"});
    });
    AppFixture app;
    start(app, server, "bnf");
    typeInto(app.ui().cbtitre->lineEdit(), "Vide");
    typeInto(app.ui().cbauteur->lineEdit(), "");
    app.trigger("menuNotice");
    QCOMPARE(app.dialogs().boxes(),
             QStringList{"message:Tapez d'abord le titre ou l'auteur du livre."});
    QCOMPARE(server.targets.size(), 0);

    int listed = 0;
    QString summary;
    app.fakes->modal.script("CandidateList", [&](QDialog& d) {
        auto& list = static_cast<CandidateList&>(d);
        QApplication::setActiveWindow(&d);
        QCOMPARE(list.table().rowCount(), 10);
        QTest::keyClick(&list.table(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(&list, Qt::Key_S, Qt::AltModifier); // "Notices &suivantes"
        QTRY_COMPARE(list.table().rowCount(), 20);
        listed = list.table().rowCount();
        QCOMPARE(list.chosen(), 9); // the row the collector was on
        for (const QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == u"Notices &suivantes") QVERIFY(!b->isEnabled()); // all read
        summary = d.findChild<QLabel*>("summary")->text();
        QTest::keyClick(&list.table(), Qt::Key_Escape);
    });
    search(app, "Monita politica", "Lipse");
    QTRY_VERIFY(app.fakes->modal.shown.contains("CandidateList"));
    QCOMPARE(listed, 20);
    QCOMPARE(summary, QString("20 notices trouvées"));
    QCOMPARE(app.ui().lblinfo->text(), QString("Aucune notice reprise"));
    QCOMPARE(text(app, Field::titre), QString("Monita politica"));
    QVERIFY(!app.fakes->modal.shown.contains("NoticeReview"));

    // Escape while the sources are asked stops them; the window takes the key back.
    ReplayServer silent([](const QString&) { return Reply{0, {}, true}; });
    pointNoticesAt(app.fakes->settings, silent, "bnf");
    search(app, "Autre titre", "Lipse");
    QTRY_COMPARE(silent.targets.size(), 1);
    QTest::keyClick(app.ui().cbauteur->lineEdit(), Qt::Key_Escape);
    QCOMPARE(app.ui().lblinfo->text(), QString("Recherche annulée"));
}

// A book found that the catalogue holds (by its ISBN, or its title and first author) is
// said on the status line, in the list and in the review; Ctrl+D shows it; saving goes on.
void TestTitleSearchWindow::alreadyHeld() {
    ReplayServer server([](const QString& t) {
        return replaySearches(
            t, {"gb=googlebooks-intitle-cragside-inauthor-ljross-volumes-masked.json"});
    });
    AppFixture app(
        {FicheBuilder().numero(7).set(Field::titre, "CRAGSIDE").set(Field::auteur, "ROSS L. J."),
         FicheBuilder()
             .numero(8)
             .set(Field::titre, "Cragside (grands caractères)")
             .set(Field::isbn, "1-4448-4657-4")});
    start(app, server, "googlebooks");
    QStringList rows;
    answerList(app, rows, {Qt::Key_Return});
    Review review;
    answerReview(app, review, true);
    search(app, "Cragside", "Ross");
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    // The first is held twice over: its ISBN is the 8th's, its title and author the 7th's;
    // the ISBN tells more.
    QCOMPARE(rows.value(0).section(u'|', -1), QString("Réf. 8"));
    QCOMPARE(rows.value(1).section(u'|', -1), QString("Réf. 7"));
    const QString said = "Déjà au catalogue : référence 8, « Cragside (grands caractères) » "
                         "(Ctrl+D pour le voir)";
    QCOMPARE(review.held, said);
    QVERIFY2(app.ui().lblinfo->text().endsWith(said), qPrintable(app.ui().lblinfo->text()));

    app.dialogs().clear();
    QApplication::setActiveWindow(&app.w()); // back from the review
    QTest::keyClick(app.ui().cbtitre->lineEdit(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(app.dialogs().boxes().size(), 1);
    QVERIFY2(app.dialogs().boxes().at(0).startsWith(
                 "information:Déjà au catalogue :\n\nTitre : Cragside (grands caractères)\n"),
             qPrintable(app.dialogs().boxes().at(0)));
    app.trigger("menuEnregistrer"); // never refused
    QCOMPARE(app.records().size(), std::size_t(3));

    // A scan of a book held is heard at once; Ctrl+D on a book not held says so.
    app.trigger("menuNouvelle");
    app.dialogs().clear();
    typeInto(app.ui().edtisbn, "9781444846577");
    QTest::keyClick(app.ui().edtisbn, Qt::Key_Return);
    QCOMPARE(app.dialogs().log.value(0), QString("info-sound"));
    QTRY_COMPARE(app.ui().lblinfo->text(), "Notice non reprise. " + said);
    typeInto(app.ui().edtisbn, "9782070360024");
    typeInto(app.ui().cbtitre->lineEdit(), "Inconnu");
    app.dialogs().clear();
    app.trigger("menuDeja");
    QCOMPARE(app.dialogs().boxes(),
             QStringList{"information:Aucun livre du catalogue n'a cet ISBN, ni ce titre et "
                         "cet auteur."});
}

// The cover of the row the collector stays on, asked of its source's picture service.
void TestTitleSearchWindow::covers_data() {
    QTest::addColumn<QStringList>("plans");
    QTest::addColumn<QString>("first"); // the cover's place, as a screen reader reads it
    QTest::addColumn<QString>("asked"); // the picture asked for
    const QString gb = "gb=googlebooks-intitle-cragside-inauthor-ljross-volumes-masked.json";
    const QString picture =
        "cover=../../../covers/answers/googlebooks-content-6l8kAQAAMAAJ-zoom5-thumbnail.jpg";
    const QString asked = "/books/content?id=7kMMzgEACAAJ&printsec=frontcover&img=1&zoom=1&"
                          "source=gbs_api";
    QTest::newRow("Google Books' thumbnail")
        << QStringList{gb, picture} << "Cragside, couverture" << asked;
    QTest::newRow("none there") << QStringList{gb} << "Pas de couverture" << asked;
    QTest::newRow("a web page") << QStringList{gb, "cover=html"} << "Pas de couverture" << asked;
    QTest::newRow("Open Library, by the work's cover")
        << QStringList{"ol=openlibrary-search-timewar-docs.json", picture}
        << "This Is How You Lose the Time War, couverture"
        << "/b/olid/OL27901088M-M.jpg?default=false";
}

void TestTitleSearchWindow::covers() {
    QFETCH(QStringList, plans);
    ReplayServer server([&](const QString& t) { return replaySearches(t, plans); });
    AppFixture app;
    start(app, server, "googlebooks,openlibrary");
    const QRegularExpression picture("^/b(ooks/content|/)");
    QString first;
    app.fakes->modal.script("CandidateList", [&](QDialog& d) {
        auto* cover = d.findChild<QLabel*>("cover");
        QTRY_VERIFY(cover->accessibleName() != u"Couverture");
        first = cover->accessibleName();
        QCOMPARE(cover->pixmap().isNull(), first == u"Pas de couverture");
        // Arrowing past a row asks nothing of it; back on the first, its cover is kept.
        auto& table = static_cast<CandidateList&>(d).table();
        QTest::keyClick(&table, Qt::Key_Down);
        QTest::keyClick(&table, Qt::Key_Up);
        QTest::qWait(400);
        QCOMPARE(cover->accessibleName(), first);
        d.reject();
    });
    search(app, "Cragside", "Ross");
    QTRY_VERIFY(app.fakes->modal.shown.contains("CandidateList"));
    QTEST(first, "first");
    const QStringList pictures = server.targets.filter(picture);
    QCOMPARE(pictures.size(), 1);
    QTEST(pictures.at(0), "asked");
}

QTEST_MAIN(TestTitleSearchWindow)
#include "tst_titlesearchwindow.moc"
