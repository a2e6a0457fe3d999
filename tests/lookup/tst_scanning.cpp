// A barcode scanner types thirteen digits and Enter, 5 ms a key, into the field the
// collector clicked or tabbed into; the notice found is taken and the book saved, one
// after the other as with a pile of books. Answers replayed by a local server.
#include "AppFixture.h"
#include "lookup/NoticeReview.h"
#include "ReplayServer.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>

using q7::Field;

namespace {

const QString boyfriend = "9782824627151"; // 391 pages and a summary
const QString tragiques = "9782702865507"; // neither

ReplayServer::Handler notices() {
    return [](const QString& target) {
        const QString asked = QUrl::fromPercentEncoding(target.toUtf8());
        if (asked.contains(boyfriend))
            return replayNotices(target, {{"unimarc", "bnf-sru-unimarc-9782824627151.xml"}});
        if (asked.contains(tragiques))
            return replayNotices(target, {{"unimarc", "bnf-sru-unimarc-270286550X.xml"}});
        return replayNotices(target, {});
    };
}

// The lists exist, so a new record keeps the drop-downs' values of the book before.
void startWithLists(AppFixture& app, const ReplayServer& server) {
    for (const q7::FieldBinding& row : q7::fieldTable())
        if (row.listFile) writeBytes(app.path(row.listFile).toStdString(), "");
    pointNoticesAt(app.fakes->settings, server, "bnf");
    app.start();
    QApplication::setActiveWindow(&app.w());
    QVERIFY(QTest::qWaitForWindowActive(&app.w()));
}

enum class Reach { Click, Tab, Backtab, ClickAfterBox };

// Puts the caret in the ISBN field as the collector does.
void reachIsbn(AppFixture& app, Reach how) {
    auto& u = app.ui();
    // Back from the review, as the window manager gives the window back.
    QApplication::setActiveWindow(&app.w());
    switch (how) {
    case Reach::Click:
        // After the text, where a click on the field's right half leaves the caret.
        QTest::mouseClick(u.edtisbn, Qt::LeftButton, {},
                          QPoint(u.edtisbn->width() - 4, u.edtisbn->height() / 2));
        break;
    case Reach::Tab:
        QTest::mouseClick(u.edtprix, Qt::LeftButton, {}, QPoint(4, u.edtprix->height() / 2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        break;
    case Reach::ClickAfterBox:
        // A box closed gives the focus back to the field: the click then brings none.
        u.edtisbn->setFocus(Qt::ActiveWindowFocusReason);
        QTest::mouseClick(u.edtisbn, Qt::LeftButton, {},
                          QPoint(u.edtisbn->width() - 4, u.edtisbn->height() / 2));
        break;
    case Reach::Backtab:
        QTest::mouseClick(u.edtnumero, Qt::LeftButton, {}, QPoint(4, u.edtnumero->height() / 2));
        for (int i = 0; i < 3 && QApplication::focusWidget() != u.edtisbn; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        break;
    }
    QApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), u.edtisbn);
}

// Thirteen digits and Enter into whatever has the focus, as the scanner types them.
void scan(const QString& code) {
    QTest::keyClicks(QApplication::focusWidget(), code, Qt::NoModifier, 5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::NoModifier, 5);
}

// Takes the review, unticking the row of `untick`, and keeps what it listed.
void takeReview(AppFixture& app, QStringList& rows, const QString& untick) {
    app.fakes->modal.script("NoticeReview", [&rows, untick](QDialog& d) {
        auto& table = static_cast<NoticeReview&>(d).table();
        for (int i = 0; i < table.rowCount(); ++i) {
            QTableWidgetItem* tick = table.item(i, 0);
            if (tick->text() == untick) tick->setCheckState(Qt::Unchecked);
            rows << QStringLiteral("[%1] %2 | %3 | %4")
                        .arg(tick->checkState() == Qt::Checked ? "x" : " ", tick->text(),
                             table.item(i, 1)->text().left(20), table.item(i, 2)->text().left(20));
        }
        d.accept();
    });
}

// Ctrl+N, the caret put in the ISBN field, the scan, the notice taken, Ctrl+E.
QStringList scanOneBook(AppFixture& app, const QString& code, Reach how = Reach::Click,
                        const QString& untick = {}) {
    QStringList review;
    app.trigger("menuNouvelle");
    reachIsbn(app, how);
    takeReview(app, review, untick);
    scan(code);
    [&] { QTRY_VERIFY(app.ui().lblinfo->text().contains(u"repris")); }();
    [&] { QCOMPARE(app.ui().edtisbn->text(), code); }();
    app.trigger("menuEnregistrer");
    return review;
}

// Every stored value but the reference, which each new book takes in turn.
QStringList stored(const q7::Fiche& f) {
    QStringList out;
    for (int i = 0; i < q7::fieldCount; ++i)
        if (const auto field = static_cast<Field>(i); field != Field::numero)
            out << QString::fromStdString(q7::cp1252ToUtf8(f.text(field)));
    for (int i = 0; i < q7::flagCount; ++i)
        out << QString::number(f.flagByte(static_cast<q7::Flag>(i)));
    out << QStringLiteral("%1/%2/%3").arg(f.jour()).arg(f.mois()).arg(f.annee());
    return out;
}

} // namespace

class TestScanning : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scanLands_data();
    void scanLands();
    void nothingOfTheBookBefore();
};

void TestScanning::scanLands_data() {
    QTest::addColumn<bool>("bookBefore"); // the field shows its ISBN, not "0"
    QTest::addColumn<int>("reach");
    QTest::newRow("first book, click") << false << int(Reach::Click);
    QTest::newRow("first book, Tab from the price") << false << int(Reach::Tab);
    QTest::newRow("after a book, click") << true << int(Reach::Click);
    QTest::newRow("after a book, Tab from the price") << true << int(Reach::Tab);
    QTest::newRow("after a book, Shift+Tab from the reference") << true << int(Reach::Backtab);
    QTest::newRow("after a book, click after a box") << true << int(Reach::ClickAfterBox);
}

// The scan replaces what the field showed, starts the lookup, and the book is saved with
// the very ISBN scanned.
void TestScanning::scanLands() {
    QFETCH(bool, bookBefore);
    QFETCH(int, reach);
    ReplayServer server(notices());
    AppFixture app;
    startWithLists(app, server);
    if (bookBefore) scanOneBook(app, boyfriend);
    scanOneBook(app, tragiques, Reach(reach));
    const auto books = app.records();
    QCOMPARE(books.size(), std::size_t(bookBefore ? 2 : 1));
    QCOMPARE(QString::fromStdString(books.back().text(Field::isbn)), tragiques);
    QCOMPARE(QString::fromStdString(books.back().text(Field::titre)),
             QString("Les tragiques grecs"));
    QCOMPARE(app.dialogs().boxes(), QStringList());
}

// The second book of a pile is saved exactly as it would be alone: what the first one
// left in the fields its notice does not fill is listed, ticked, and emptied.
void TestScanning::nothingOfTheBookBefore() {
    ReplayServer server(notices());
    AppFixture alone;
    startWithLists(alone, server);
    scanOneBook(alone, tragiques);

    AppFixture pile;
    startWithLists(pile, server);
    scanOneBook(pile, boyfriend);
    const QStringList review = scanOneBook(pile, tragiques);
    QVERIFY2(review.contains("[x] Nombre de pages | 391 | (vide)"), qPrintable(review.join('\n')));
    QVERIFY2(review.contains("[x] Resumé | Comme beaucoup de fe | (vide)"),
             qPrintable(review.join('\n')));
    const auto books = pile.records();
    QCOMPARE(books.size(), std::size_t(2));
    QCOMPARE(stored(books[1]), stored(alone.records().at(0)));
    QCOMPARE(QString::fromStdString(books[0].text(Field::nbpage)), QString("391"));

    // Unticked, what the book before left stays: the collector's choice.
    scanOneBook(pile, boyfriend);
    scanOneBook(pile, tragiques, Reach::Click, "Nombre de pages");
    QCOMPARE(QString::fromStdString(pile.records().back().text(Field::nbpage)), QString("391"));
    QCOMPARE(pile.records().back().text(Field::resume), std::string());
}

QTEST_MAIN(TestScanning)
#include "tst_scanning.moc"
