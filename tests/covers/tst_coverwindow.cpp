// Covers in the record window: taken from a file, kept at the save, following the
// reference, set aside with a deleted book, never shown for a reference two books share;
// the panel beside the form at 1280 × 800, with the fonts doubled, and hidden.
#include "AppFixture.h"
#include "covers/CoverController.h"
#include "covers/CoverPanel.h"
#include "lookup/NoticeReview.h"
#include "ReplayServer.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QTest>

using q7::Field;

namespace {

QStringList files(const AppFixture& app, const QString& folder) {
    return QDir(app.path(folder)).entryList(QDir::Files, QDir::Name);
}

CoverPanel& panel(const AppFixture& app) {
    return *app.w().findChild<CoverPanel*>(QStringLiteral("pnlcouverture"));
}

// A tall picture the collector chose, bigger than a cover is kept.
QString picture(const AppFixture& app, const QString& name, QSize size = {1200, 1800}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    const QString path = app.path(name);
    if (!image.save(path, "PNG")) qFatal("picture not written");
    return path;
}

// The boxes shown, the file chooser left out.
QStringList said(const AppFixture& app) {
    QStringList out = app.dialogs().boxes();
    out.removeAll(QStringLiteral("open-file"));
    return out;
}

void choose(AppFixture& app, const QString& path) {
    app.dialogs().files.push_back(path);
    app.trigger("menuCouverture");
}

// Where each control of the form stands, by name: the panel must move none of them.
QMap<QString, QRect> places(const AppFixture& app) {
    QMap<QString, QRect> out;
    for (const QWidget* w : app.ui().centralwidget->findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_") &&
            !panel(app).isAncestorOf(w) && w != &panel(app))
            out.insert(w->objectName(), w->geometry());
    return out;
}

} // namespace

class TestCoverWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QApplication::setFont(QFont()); }
    void followsItsBook();
    void sharedReferenceShowsNone();
    void noticeBringsItsCover_data();
    void noticeBringsItsCover();
    void clipboardAndDrop_data();
    void clipboardAndDrop();
    void orphansListed();
    void refusedPicturesWriteNothing_data();
    void refusedPicturesWriteNothing();
    void panelBesideTheForm_data();
    void panelBesideTheForm();
};

// A new book takes a cover, which is kept small as JPEG at the save, renamed with its
// reference, and kept in Sauvegardes when the book is deleted.
void TestCoverWindow::followsItsBook() {
    AppFixture app({FicheBuilder().numero(1).set(Field::titre, "Nadja")});
    app.fakes->settings.set("confirmemod", "0");
    app.fakes->settings.set("confirmesup", "0");
    app.start();
    auto& u = app.ui();
    app.trigger("menuNouvelle");
    u.cbtitre->setEditText("Les Champs magnétiques");
    u.edtnumero->setText("2");
    choose(app, picture(app, "scan.png"));
    QVERIFY(panel(app).showsCover());
    QVERIFY(files(app, "Couvertures").isEmpty()); // nothing written before the save
    app.trigger("menuEnregistrer");
    QCOMPARE(files(app, "Couvertures"), QStringList{"2.jpg"});
    QImageReader kept(app.path("Couvertures/2.jpg"));
    QCOMPARE(kept.format(), QByteArray("jpeg"));
    QCOMPARE(kept.size(), QSize(400, 600));
    QVERIFY2(said(app).isEmpty(), qPrintable(said(app).join(" / ")));

    // Browsing shows it, said as its title; the other book has none.
    app.trigger("menuliste");
    QVERIFY(!panel(app).showsCover());
    QTest::mouseClick(u.spbsuivant, Qt::LeftButton);
    QVERIFY(panel(app).showsCover());
    QCOMPARE(panel(app).findChild<QLabel*>(QStringLiteral("imgcouverture"))->accessibleName(),
             QStringLiteral("Les Champs magnétiques, couverture"));

    u.edtnumero->setText("2 bis");
    app.trigger("menuEnregistrer");
    QCOMPARE(files(app, "Couvertures"), QStringList{"2 bis.jpg"});
    // A reference no file name can hold: its cover has a name of its own, said.
    app.trigger("menuliste");
    QTest::mouseClick(u.spbsuivant, Qt::LeftButton);
    u.edtnumero->setText("2/3");
    app.trigger("menuEnregistrer");
    QCOMPARE(files(app, "Couvertures"), QStringList{"2%2F3.jpg"});
    app.trigger("menuliste");
    QTest::mouseClick(u.spbsuivant, Qt::LeftButton);
    QCOMPARE(panel(app).note(), QStringLiteral("Fichier : Couvertures/2%2F3.jpg"));
    u.edtnumero->setText("2 bis");
    app.trigger("menuEnregistrer");

    app.trigger("menuliste");
    QTest::mouseClick(u.spbsuivant, Qt::LeftButton);
    QVERIFY(panel(app).showsCover());
    app.trigger("menuEffacer");
    QCOMPARE(app.records().size(), std::size_t(1));
    QVERIFY(files(app, "Couvertures").isEmpty());
    const QStringList aside = files(app, "Sauvegardes").filter(u"Couverture-");
    QCOMPARE(aside.size(), 1);
    QVERIFY2(aside[0].endsWith(u"-2 bis.jpg"), qPrintable(aside[0]));

    // Taken off from the keyboard's menu: kept aside at the save.
    app.trigger("menuliste");
    choose(app, picture(app, "nadja.png"));
    app.trigger("menuEnregistrer");
    QCOMPARE(files(app, "Couvertures"), QStringList{"1.jpg"});
    app.trigger("menuliste");
    QVERIFY(u.menuAction->actions().contains(app.w().findChild<QAction*>("menuRetirerCouverture")));
    app.trigger("menuRetirerCouverture");
    QVERIFY(!panel(app).showsCover());
    QVERIFY(files(app, "Couvertures").size() == 1); // not before the save
    app.trigger("menuEnregistrer");
    QVERIFY(files(app, "Couvertures").isEmpty());
    QCOMPARE(files(app, "Sauvegardes").filter(u"Couverture-").size(), 2);
    QCOMPARE(said(app), QStringList{"message:Fiche éffacée"}); // nothing said of covers
}

// Two books of reference "3": the cover of that name is neither's, shown for none, and a
// new one is not given to either.
void TestCoverWindow::sharedReferenceShowsNone() {
    AppFixture app({FicheBuilder().numero(3).set(Field::titre, "Un"),
                    FicheBuilder().numero(3).set(Field::titre, "Deux")});
    app.fakes->settings.set("confirmemod", "0");
    QVERIFY(QDir(app.path({})).mkdir("Couvertures"));
    QFile::copy(picture(app, "x.png"), app.path("Couvertures/3.jpg"));
    const QByteArray before = [&] {
        QFile f(app.path("Couvertures/3.jpg"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    app.start();
    app.trigger("menuliste");
    QVERIFY(!panel(app).showsCover());
    QVERIFY2(panel(app).note().contains(u"celle de 2 fiches"), qPrintable(panel(app).note()));
    choose(app, picture(app, "autre.png", {300, 400}));
    app.trigger("menuEnregistrer");
    QCOMPARE(said(app).size(), 1);
    QVERIFY(said(app)[0].contains(u"n'est pas gardée"));
    QFile after(app.path("Couvertures/3.jpg"));
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void TestCoverWindow::noticeBringsItsCover_data() {
    QTest::addColumn<QString>("answer"); // of the cover service
    QTest::addColumn<QString>("note");   // under the cover in the review
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("a cover") << "jpeg"
                             << "" << QStringList{"1.jpg"};
    QTest::newRow("a web page") << "html"
                                << "c'est une page web, pas une image" << QStringList{};
    QTest::newRow("none") << "404"
                          << "Pas de couverture chez Open Library" << QStringList{};
}

// A notice taken with its cover: shown in the review, ticked, kept at the save; a cover
// service answering badly says so there, and nothing is kept.
void TestCoverWindow::noticeBringsItsCover() {
    QFETCH(QString, answer);
    ReplayServer server([&](const QString& t) -> Reply {
        if (!t.startsWith(u"/b/"))
            return replayNotices(t, {{"ol", "openlibrary-9782070427796-apibooks-data.json"}});
        if (answer == u"html") return {200, "<!DOCTYPE html><html><body>Erreur</body></html>"};
        if (answer == u"404") return {404, "Not Found"};
        QFile f(Q7_COVERS "/googlebooks-content-6l8kAQAAMAAJ-zoom5-thumbnail.jpg");
        return {200, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray()};
    });
    AppFixture app;
    pointNoticesAt(app.fakes->settings, server, "openlibrary");
    app.fakes->settings.set("confirmemod", "0");
    app.start();
    app.trigger("menuNouvelle");
    QString seen;
    app.fakes->modal.script("NoticeReview", [&](QDialog& d) {
        auto* shown = d.findChild<QLabel*>(QStringLiteral("lblcouverture"));
        auto& review = static_cast<NoticeReview&>(d);
        // The cover is asked while the collector reads: wait for its answer.
        QTRY_VERIFY(!review.takenCover().isNull() ||
                    (!shown->text().isEmpty() && !shown->text().contains(u"demandée")));
        seen = shown->text();
        d.accept();
    });
    typeInto(app.ui().edtisbn, "9782070427796");
    app.trigger("menuIsbn");
    QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris"));
    QFETCH(QString, note);
    QVERIFY2(seen.contains(note), qPrintable(seen));
    app.ui().edtnumero->setText("1");
    app.trigger("menuEnregistrer");
    QTEST(files(app, "Couvertures"), "kept");
}

void TestCoverWindow::clipboardAndDrop_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message"); // the box, or "" when the cover is taken
    QTest::newRow("a photo copied") << "copy image"
                                    << "";
    QTest::newRow("a PNG's bytes copied") << "copy png"
                                          << "";
    QTest::newRow("text copied") << "copy text"
                                 << "Le presse-papiers ne contient pas d'image.";
    QTest::newRow("a bomb's bytes copied") << "copy bomb"
                                           << "Image non reprise";
    QTest::newRow("a file dropped") << "drop file"
                                    << "";
    QTest::newRow("a page dropped") << "drop page"
                                    << "c'est une page web";
}

// A cover from the clipboard or a drop is read as a file is: a picture taken, waiting for
// the save; anything else refused with the reason.
void TestCoverWindow::clipboardAndDrop() {
    QFETCH(QString, how);
    AppFixture app({FicheBuilder().numero(1).set(Field::titre, "Nadja")});
    app.start();
    app.trigger("menuliste");
    auto* data = new QMimeData;
    if (how == u"copy image") {
        QImage photo(900, 1200, QImage::Format_RGB32);
        photo.fill(Qt::blue);
        data->setImageData(photo);
    } else if (how == u"copy png") {
        QFile png(picture(app, "x.png"));
        QVERIFY(png.open(QIODevice::ReadOnly));
        data->setData(QStringLiteral("image/png"), png.readAll());
    } else if (how == u"copy text") {
        data->setText(QStringLiteral("Nadja"));
    } else if (how == u"copy bomb") {
        // A PNG header declaring 50 000 × 50 000 pixels.
        QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\xc3\x50\0\0\xc3\x50\x08\x02\0\0\0", 33);
        data->setData(QStringLiteral("image/png"), png + QByteArray(64, '\0'));
    } else if (how == u"drop file") {
        data->setUrls({QUrl::fromLocalFile(picture(app, "x.png"))});
    } else {
        QFile page(app.path("page.jpg"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body>Couverture</body></html>");
        page.close();
        data->setUrls({QUrl::fromLocalFile(page.fileName())});
    }
    if (how.startsWith(u"copy")) {
        QGuiApplication::clipboard()->setMimeData(data);
        app.trigger("menuCollerCouverture");
    } else {
        const QPoint at = panel(app).rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(&panel(app), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(&panel(app), &drop);
        delete data;
    }
    QFETCH(QString, message);
    QCOMPARE(panel(app).showsCover(), message.isEmpty());
    QCOMPARE(said(app).size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) QVERIFY2(said(app)[0].contains(message), qPrintable(said(app)[0]));
    // Main menu: the record cannot change, a drop is not taken.
    app.trigger("menuRetour");
    auto* again = new QMimeData;
    again->setUrls({QUrl::fromLocalFile(picture(app, "y.png"))});
    QDragEnterEvent enter(panel(app).rect().center(), Qt::CopyAction, again, Qt::LeftButton, {});
    QApplication::sendEvent(&panel(app), &enter);
    QVERIFY(!enter.isAccepted());
    delete again;
}

// Pictures of Couvertures that are no book's cover are listed, never removed.
void TestCoverWindow::orphansListed() {
    AppFixture app({FicheBuilder().numero(1), FicheBuilder().numero(2), FicheBuilder().numero(2)});
    QVERIFY(QDir(app.path({})).mkdir("Couvertures"));
    for (const char* name : {"1.jpg", "2.jpg", "9.jpg", "Sans titre.png"})
        QFile::copy(picture(app, "x.png", {10, 10}),
                    app.path(QStringLiteral("Couvertures/") + name));
    app.start();
    app.trigger("smenuorphelines");
    QCOMPARE(said(app).size(), 1);
    QCOMPARE(said(app)[0].section(u'\n', 2),
             QStringLiteral("2.jpg : 2 fiches ont la référence « 2 »\n"
                            "9.jpg : aucune fiche n'a la référence « 9 »\n"
                            "Sans titre.png : n'est pas nommée d'après une référence"));
    QVERIFY(said(app)[0].startsWith(u"information:3 image(s)"));
    QCOMPARE(files(app, "Couvertures").size(), 4);

    // A new book takes the reference a picture is named after: it is told.
    app.dialogs().clear();
    app.trigger("menuNouvelle");
    app.ui().cbtitre->setEditText("Neuf");
    app.ui().edtnumero->setText("9");
    app.trigger("menuEnregistrer");
    QCOMPARE(said(app), QStringList{"message:L'image 9.jpg de Couvertures, qui n'était la "
                                    "couverture d'aucune fiche, est maintenant celle de cette "
                                    "fiche."});
    // One of two books sharing a reference takes another: the cover stays, said.
    app.dialogs().clear();
    app.trigger("menuliste");
    QTest::mouseClick(app.ui().spbsuivant, Qt::LeftButton);
    app.ui().edtnumero->setText("2 bis");
    app.trigger("menuEnregistrer");
    QCOMPARE(said(app).size(), 2); // the save's question, then this
    QVERIFY2(
        said(app)[1].contains(u"que deux fiches partageaient, reste celle de la référence « 2 »"),
        qPrintable(said(app)[1]));
    QCOMPARE(files(app, "Couvertures").size(), 4);
}

void TestCoverWindow::refusedPicturesWriteNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("a web page named .jpg")
        << QByteArray("<!DOCTYPE html><html></html>") << "Image non reprise : c'est une page web";
    QTest::newRow("an empty file") << QByteArray() << "Image non reprise";
    QTest::newRow("a folder") << QByteArray("folder") << "n'est pas un fichier";
}

void TestCoverWindow::refusedPicturesWriteNothing() {
    QFETCH(QByteArray, bytes);
    AppFixture app({FicheBuilder().numero(1).set(Field::titre, "Nadja")});
    app.fakes->settings.set("confirmemod", "0");
    app.start();
    const QString path = app.path("photo.jpg");
    if (bytes == "folder") {
        QVERIFY(QDir(app.path({})).mkdir("photo.jpg"));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    app.trigger("menuliste");
    choose(app, path);
    QVERIFY(!panel(app).showsCover());
    QCOMPARE(said(app).size(), 1);
    QFETCH(QString, message);
    QVERIFY2(said(app)[0].contains(message), qPrintable(said(app)[0]));
    app.trigger("menuEnregistrer");
    QVERIFY(!QFileInfo::exists(app.path("Couvertures")) || files(app, "Couvertures").isEmpty());
}

void TestCoverWindow::panelBesideTheForm_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("the desktop's font") << 1.0;
    QTest::newRow("the fonts doubled") << 2.0;
}

// The window with its panel fits a 1280 × 800 screen; every control keeps its place, none
// is under the panel; hiding the panel gives its width back and is remembered.
void TestCoverWindow::panelBesideTheForm() {
    QFETCH(qreal, scale);
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale);
    QApplication::setFont(font);
    AppFixture app({FicheBuilder().numero(1).set(Field::titre, "Nadja")});
    QVERIFY(QDir(app.path({})).mkdir("Couvertures"));
    QFile::copy(picture(app, "x.png"), app.path("Couvertures/1.jpg"));
    app.start();
    app.trigger("menuliste");
    QVERIFY(panel(app).isVisible() && panel(app).showsCover());
    const QRect frame = app.w().frameGeometry();
    QVERIFY2(frame.width() <= 1280 && frame.height() <= 800,
             qPrintable(QStringLiteral("%1 × %2").arg(frame.width()).arg(frame.height())));
    const QMap<QString, QRect> shown = places(app);
    const QRect room = panel(app).geometry();
    QVERIFY(app.ui().centralwidget->rect().contains(room));
    for (auto at = shown.begin(); at != shown.end(); ++at)
        QVERIFY2(!at.value().intersects(room) || !app.ui().centralwidget->findChild<QWidget*>(
                                                     at.key(), Qt::FindDirectChildrenOnly),
                 qPrintable(at.key()));

    const int wide = app.w().width();
    app.ui().smenupanneau->trigger();
    QVERIFY(!panel(app).isVisible());
    QCOMPARE(app.w().width(), wide - CoverController::panelWidth);
    QCOMPARE(places(app), shown);
    QCOMPARE(app.fakes->settings.read("Couvertures/panneau"), std::optional<std::string>("0"));
}

QTEST_MAIN(TestCoverWindow)
#include "tst_coverwindow.moc"
