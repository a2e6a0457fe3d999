// "Compléter par l'ISBN" in the record window, against a local server replaying the
// services' recorded answers: what reaches every control, the review's ticks, the keys.
#include "ReplayServer.h"
#include "WindowProbe.h"

#include <QCheckBox>
#include <QTest>
#include <QToolButton>

using q7::Field;

class TestLookupWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recorded_data();
    void recorded();
    void ticks();
    void authorFromTheList();
    void escapeCancels();
    void wrongIsbn();
    void offeredInTheRightModes();
    void severalAuthors();
};

void TestLookupWindow::recorded_data() {
    QTest::addColumn<QString>("isbn");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("summary");
    QTest::newRow("BnF UNIMARC")
        << "9782824627151"
        << "unimarc"
        << "bnf-sru-unimarc-9782824627151.xml"
        << QStringList{"Le boyfriend",
                       "Freida McFadden",
                       "City roman",
                       "Impr. Laballery",
                       "Vide",
                       "Vide",
                       "2025",
                       "391",
                       "Français",
                       "9782824627151",
                       "",
                       "un"}
        << "Comme beaucoup de femmes célibataires de New York, Sydney a beaucoup de mal";
    QTest::newRow("BnF Dublin Core, ISBN-10 typed") << "2952221707"
                                                    << "dc"
                                                    << "bnf-sru-dc-9782952221702.xml"
                                                    << QStringList{"La horde du contrevent",
                                                                   "Alain Damasio",
                                                                   "la Volte",
                                                                   "Vide",
                                                                   "Vide",
                                                                   "Vide",
                                                                   "2004",
                                                                   "521",
                                                                   "Français",
                                                                   "9782952221702",
                                                                   "",
                                                                   "un"}
                                                    << "";
    QTest::newRow("Open Library") << "9782070427796"
                                  << "ol"
                                  << "openlibrary-9782070427796-apibooks-data.json"
                                  << QStringList{"Les ombres errantes",
                                                 "Pascal Quignard",
                                                 "Gallimard",
                                                 "Vide",
                                                 "Vide",
                                                 "Vide",
                                                 "2002",
                                                 "0",
                                                 "Vide",
                                                 "9782070427796",
                                                 "",
                                                 "un"}
                                  << "";
    QTest::newRow("Google Books") << "9782266162777"
                                  << "gb"
                                  << "googlebooks-9782266162777-volumes.json"
                                  << QStringList{"L'essence du Tao",
                                                 "Pamela Ball",
                                                 "Vide",
                                                 "Vide",
                                                 "Vide",
                                                 "Vide",
                                                 "2007",
                                                 "283",
                                                 "Français",
                                                 "9782266162777",
                                                 "",
                                                 "un"}
                                  << "Le Tao est moins une religion qu'un principe de vie";
}

void TestLookupWindow::recorded() {
    QFETCH(QString, kind);
    QFETCH(QString, file);
    ReplayServer server([&](const QString& t) { return replayNotices(t, {{kind, file}}); });
    AppFixture app;
    pointNoticesAt(app.fakes->settings, server, "bnf,openlibrary,googlebooks");
    app.start();
    app.trigger("menuNouvelle");
    Review review;
    answerReview(app, review, true);
    QFETCH(QString, isbn);
    typeInto(app.ui().edtisbn, isbn);
    QTest::keyClick(app.ui().edtisbn, Qt::Key_Return); // as a barcode scanner ends
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QTEST(shown(app), "fields");
    QFETCH(QString, summary);
    const QString resume = QString::fromStdString(q7::cp1252ToUtf8(app.w().screen().resume));
    QVERIFY2(resume.startsWith(summary), qPrintable(resume));
    QVERIFY(resume.size() <= 255);
    QVERIFY(app.state().newRecord); // nothing saved: the collector saves
    QCOMPARE(app.records().size(), std::size_t(0));
    QVERIFY(review.origin.startsWith(u"Source : "));
}

// Ticked where the field is empty or holds what the new record began with; unticked where
// the collector typed something else. Cancel changes nothing.
void TestLookupWindow::ticks() {
    ReplayServer server([](const QString& t) {
        return replayNotices(t, {{"unimarc", "bnf-sru-unimarc-9782824627151.xml"}});
    });
    AppFixture app({FicheBuilder()
                        .numero(1)
                        .set(Field::titre, "Ancien titre")
                        .set(Field::auteur, "Ancien auteur")
                        .set(Field::nbpage, "12")});
    pointNoticesAt(app.fakes->settings, server, "bnf");
    app.start();
    app.trigger("menuliste"); // the stored book shown: a new record begins with its values
    app.trigger("menuNouvelle");
    typeInto(app.ui().cbtitre->lineEdit(), "Mon titre");
    typeInto(app.ui().edtisbn, "9782824627151");
    Review review;
    answerReview(app, review, false);
    app.trigger("menuIsbn");
    QTRY_VERIFY(!review.rows.isEmpty());
    QCOMPARE(review.rows.mid(0, 3), (QStringList{"[ ] Titre | Mon titre | Le boyfriend",
                                                 "[x] Auteur | Vide | Freida McFadden",
                                                 "[x] Edition | Vide | City roman"}));
    QVERIFY(review.origin.contains(u"ark:/12148/cb48644442f"));
    QVERIFY(review.origin.contains(u"978-2-8246-2715-1"));
    // A page count the new record kept from the book shown before is no typing.
    QVERIFY(review.rows.contains("[x] Nombre de pages | 12 | 391"));
    QCOMPARE(text(app, Field::titre), QString("Mon titre"));
    QCOMPARE(text(app, Field::auteur), QString("Vide"));

    // From the keyboard: Space unticks the row, Enter takes the rest.
    app.fakes->modal.script("NoticeReview", [](QDialog& d) {
        auto& table = static_cast<NoticeReview&>(d).table();
        QTest::keyClick(&table, Qt::Key_Down);
        QTest::keyClick(&table, Qt::Key_Space);
        QCOMPARE(table.item(1, 0)->checkState(), Qt::Unchecked);
        QTest::keyClick(&table, Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    });
    app.trigger("menuIsbn");
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QCOMPARE(text(app, Field::auteur), QString("Vide"));
    QCOMPARE(text(app, Field::titre), QString("Mon titre"));
    QCOMPARE(text(app, Field::edition), QString("City roman"));

    // A stored book shown: what it holds is the collector's, unticked.
    app.trigger("menuliste");
    typeInto(app.ui().edtisbn, "9782824627151");
    Review browsing;
    answerReview(app, browsing, true);
    app.trigger("menuIsbn");
    QTRY_VERIFY(!browsing.rows.isEmpty());
    QCOMPARE(browsing.rows.at(0), QString("[ ] Titre | Ancien titre | Le boyfriend"));
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QCOMPARE(text(app, Field::titre), QString("Ancien titre"));
    QCOMPARE(text(app, Field::nbpage), QString("12"));
    QCOMPARE(text(app, Field::imprimeur), QString("Impr. Laballery")); // was empty: taken
    QCOMPARE(server.targets.size(), 1); // the second time, the answer kept

    // Opening the summary's window after the lookup keeps the summary taken.
    const std::string taken = app.w().screen().resume;
    QVERIFY(!taken.empty());
    app.trigger("menuResume");
    QCOMPARE(app.w().screen().resume, taken);
}

void TestLookupWindow::authorFromTheList() {
    ReplayServer server([](const QString& t) {
        return replayNotices(t, {{"unimarc", "bnf-sru-unimarc-9782824627151.xml"}});
    });
    AppFixture app;
    writeBytes(app.path("Q7auteur.lst").toStdString(),
               q7::lit("Zola Émile\r\nMCFADDEN Freida\r\n"));
    pointNoticesAt(app.fakes->settings, server, "bnf");
    app.start();
    app.trigger("menuNouvelle");
    Review review;
    answerReview(app, review, true);
    typeInto(app.ui().edtisbn, "9782824627151");
    app.trigger("menuIsbn");
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QCOMPARE(text(app, Field::auteur), QString("MCFADDEN Freida"));
}

void TestLookupWindow::escapeCancels() {
    ReplayServer server([](const QString& t) { return replayNotices(t, {{"unimarc", "never"}}); });
    AppFixture app;
    pointNoticesAt(app.fakes->settings, server, "bnf");
    app.start();
    app.trigger("menuNouvelle");
    typeInto(app.ui().edtisbn, "9782824627151");
    app.trigger("menuIsbn");
    QCOMPARE(app.ui().lblinfo->text(), QString("Recherche de l'ISBN 9782824627151 (BnF)..."));
    QTRY_COMPARE(server.targets.size(), 1);
    QTest::keyClick(app.ui().edtisbn, Qt::Key_Escape);
    QCOMPARE(app.ui().lblinfo->text(), QString("Recherche annulée"));
    QCOMPARE(app.fakes->modal.shown, QStringList());
    QCOMPARE(app.dialogs().boxes(), QStringList());
    QVERIFY(app.ui().menuIsbn->isEnabled()); // asked again at once
}

void TestLookupWindow::wrongIsbn() {
    ReplayServer server([](const QString& t) { return replayNotices(t, {}); });
    AppFixture app;
    pointNoticesAt(app.fakes->settings, server, "bnf");
    app.start();
    app.trigger("menuNouvelle");
    // Enter after a scan gone wrong says why on the status line: no box stops the next scan.
    const std::pair<QString, QString> scans[] = {
        {"978207036002X", "L'ISBN 978207036002X est incorrect : la clé devrait être 4."},
        {"978207036002", "L'ISBN « 978207036002 » a 12 caractères : un ISBN en a 10 ou 13."},
        {"0", "Tapez d'abord l'ISBN du livre (10 ou 13 chiffres)."}};
    for (const auto& [scanned, said] : scans) {
        typeInto(app.ui().edtisbn, scanned);
        app.dialogs().clear();
        QTest::keyClick(app.ui().edtisbn, Qt::Key_Return);
        QVERIFY2(app.ui().lblinfo->text().contains(said), qPrintable(app.ui().lblinfo->text()));
        QCOMPARE(app.dialogs().log, QStringList{"beep"});
    }
    QCOMPARE(server.targets.size(), 0);
    typeInto(app.ui().edtisbn, "978207036002X");
    app.trigger("menuIsbn");
    QCOMPARE(app.dialogs().boxes(),
             QStringList{"message:L'ISBN 978207036002X est incorrect : la clé devrait être 4."});
    // Nowhere: said, nothing changed.
    app.dialogs().clear();
    typeInto(app.ui().edtisbn, "9782070360024");
    app.trigger("menuIsbn");
    QTRY_VERIFY(!app.dialogs().boxes().isEmpty());
    QCOMPARE(app.dialogs().boxes(),
             QStringList{"message:Aucune notice pour l'ISBN 9782070360024 (BnF)."});
    QCOMPARE(server.targets.size(), 2); // UNIMARC, then Dublin Core
}

void TestLookupWindow::offeredInTheRightModes() {
    AppFixture app({FicheBuilder().numero(1)});
    app.start();
    auto* button = app.w().findChild<QToolButton*>("btbisbn");
    QVERIFY(button);
    QCOMPARE(button->parentWidget(), app.ui().edtisbn->parentWidget());
    QVERIFY(button->geometry().right() < app.ui().edtisbn->x());
    QVERIFY(!button->geometry().intersects(app.ui().edtisbn->geometry()));
    // The button follows the menu item.
    const auto offered = [&] {
        return button->isEnabled() == app.ui().menuIsbn->isEnabled() &&
               app.ui().menuIsbn->isEnabled() && app.ui().menuNotice->isEnabled() &&
               app.ui().menuDeja->isEnabled();
    };
    const auto none = [&] {
        return !button->isEnabled() && !app.ui().menuIsbn->isEnabled() &&
               !app.ui().menuNotice->isEnabled() && !app.ui().menuDeja->isEnabled();
    };
    QVERIFY(none()); // main menu
    app.trigger("menuNouvelle");
    QVERIFY(offered());
    app.trigger("menuRetour");
    app.trigger("Titres"); // a search
    QVERIFY(none());
    app.trigger("menuRetour");
    app.trigger("menuliste"); // browsing
    QVERIFY(offered());
    QCOMPARE(app.ui().menuIsbn->shortcut(), QKeySequence("Ctrl+K"));
    // Each after the items that came before it; later items follow.
    const auto action = app.ui().menuAction->actions();
    const qsizetype isbn = action.indexOf(app.ui().menuIsbn);
    QCOMPARE(isbn, action.indexOf(app.ui().menuRetourPret) + 1);
    QCOMPARE(action.mid(isbn, 3),
             (QList<QAction*>{app.ui().menuIsbn, app.ui().menuNotice, app.ui().menuDeja}));
    const auto gestion = app.ui().menuGestion->actions();
    QCOMPARE(gestion.indexOf(app.ui().smenusources), gestion.indexOf(app.ui().smenuprets) + 1);
}

// No recorded answer has several authors: Open Library's shape, made here.
void TestLookupWindow::severalAuthors() {
    ReplayServer server([](const QString& t) -> Reply {
        if (!t.startsWith(u"/api/books")) return replayNotices(t, {});
        return {200, R"({"ISBN:9782070360024": {"key": "/books/OL1M", "title": "À trois",
                 "authors": [{"name": "Anne Un"}, {"name": "Bernard Deux"},
                             {"name": "Claire Trois"}],
                 "identifiers": {"isbn_10": ["2070360024"]}}})"};
    });
    AppFixture app;
    pointNoticesAt(app.fakes->settings, server, "openlibrary");
    app.start();
    app.trigger("menuNouvelle");
    app.w().setMemo(Field::notes, "Dédicacé\r\nAcheté à Lyon"); // typed by the collector
    typeInto(app.ui().edtisbn, "9782070360024");
    Review review;
    answerReview(app, review, true);
    app.trigger("menuIsbn");
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QVERIFY2(review.rows.contains(
                 "[x] Notes | Dédicacé / Acheté à Lyon | Autres auteurs : Bernard Deux "),
             qPrintable(review.rows.join(u'\n')));
    QVERIFY(review.rows.contains("[x] Plusieurs auteurs | non | oui"));
    QCOMPARE(text(app, Field::auteur), QString("Anne Un"));
    QVERIFY(app.ui().ckbplusauteur->isChecked());
    QCOMPARE(QString::fromStdString(q7::cp1252ToUtf8(app.w().screen().notes)),
             QString("Autres auteurs : Bernard Deux ; Claire Trois\r\nDédicacé\r\nAcheté à Lyon"));
}

QTEST_MAIN(TestLookupWindow)
#include "tst_lookupwindow.moc"
