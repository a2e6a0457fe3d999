// The pocket page as its script reads it: every field of every book comes back as stored,
// whatever it holds, the page allows nothing but its own style and script, and the export
// window and the overview write it with the loans and the covers asked for.
#include "AppFixture.h"
#include "FicheBuilder.h"
#include "output/PocketPage.h"
#include "output/Q7export.h"
#include "record/AppState.h"
#include "store/Cp1252.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace q7;

namespace {

std::string pageOf(const std::vector<Fiche>& records, const PageExtras& extras = {}) {
    const Settings captions;
    const std::string table;
    const ExportContext context{0, captions, table, extras};
    std::string out;
    auto page = startPocketPage(out, context);
    for (const Fiche& f : records)
        page->add(out, f, context);
    page->finish(out, context);
    return out;
}

std::string between(const std::string& text, const std::string& open, const std::string& close,
                    std::size_t from = 0) {
    const std::size_t at = text.find(open, from);
    if (at == std::string::npos) return {};
    const std::size_t end = text.find(close, at + open.size());
    return text.substr(at + open.size(), end - at - open.size());
}

// The page's data as its script reads it, the long texts unpacked into "longTexts"; an
// empty object when it does not parse.
QJsonObject dataOf(const std::string& page) {
    const std::string json =
        between(page, "<script type=\"application/json\" id=\"catalogue\">", "</script>");
    QJsonObject data = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    const std::string packed =
        between(page, "<script type=\"application/octet-stream\" id=\"long\">", "</script>");
    // zlib's stream as it stands; qUncompress wants a size first, and grows past a small one.
    data["longTexts"] = QJsonDocument::fromJson(
                            qUncompress(QByteArray("\0\0\0\1", 4) +
                                        QByteArray::fromBase64(QByteArray::fromStdString(packed))))
                            .array();
    return data;
}

// A book's field as the script's field() and longText() read it.
QJsonValue cell(const QJsonObject& data, int book, const QString& key) {
    if (const int at = int(data["long"].toArray().toVariantList().indexOf(key)); at >= 0) {
        const QJsonValue v = data["longTexts"].toArray().at(book).toArray().at(at);
        return v.isUndefined() ? QJsonValue("") : v;
    }
    const int at = int(data["columns"].toArray().toVariantList().indexOf(key));
    const QJsonValue v = data["books"].toArray().at(book).toArray().at(at);
    if (data["shared"].toArray().contains(key)) return data["values"].toArray().at(v.toInt());
    return v.isUndefined() ? QJsonValue(key == "drapeaux" ? QJsonValue(0) : QJsonValue("")) : v;
}

QString shown(const Fiche& f, Field field) {
    return QString::fromStdString(cp1252ToUtf8(f.view(field)));
}

// The page's name of each field, in the fields' order.
QString keyOf(Field f) {
    static const char* const names[] = {
        "titre",   "auteur", "sujet",     "collection", "edition", "txtutil", "imprimeur", "type",
        "langue",  "etat",   "isbn",      "numero",     "pos1",    "pos2",    "pos3",      "pos4",
        "origine", "prix",   "anedition", "nbpage",     "notes",   "resume"};
    return QString::fromLatin1(names[int(f)]);
}

} // namespace

Q_DECLARE_METATYPE(q7::Fiche)

class TestPocket : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldsComeBackAsStored_data() {
        QTest::addColumn<Fiche>("record");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("date");
        FicheBuilder full;
        for (int f = 0; f < fieldCount; ++f)
            full.set(Field(f), "Valeur « " + std::to_string(f) + " » Œ€");
        for (int f = 0; f < flagCount; ++f)
            full.flag(Flag(f));
        QTest::newRow("every field") << full.date(5, 3, 2004).build() << 0x7F << "5/3/2004";
        QTest::newRow("empty record") << Fiche() << 0 << "";
        std::string bytes;
        for (int b = 1; b < 256; ++b)
            bytes += char(b);
        Fiche hostile = FicheBuilder()
                            .set(Field::titre, "</script><!--<img src=x onerror=alert(1)>")
                            .set(Field::auteur, "</SCRIPT >\\u003c\"'&amp;")
                            .flag(Flag::lut, 2) // only 1 is true, as in every output
                            .date(0, 0, 1998);
        hostile.setText(Field::notes, bytes);
        hostile.setText(Field::resume, bytes.substr(127));
        QTest::newRow("markup and every byte") << hostile << 0 << "0/0/1998";
    }
    void fieldsComeBackAsStored() {
        QFETCH(Fiche, record);
        QFETCH(int, flags);
        QFETCH(QString, date);
        // The book between two others: shared values and cells left out do not leak.
        const Fiche other = FicheBuilder().set(Field::titre, "Autre").set(Field::auteur, "Zola");
        const std::string page = pageOf({other, record, other});
        QVERIFY(validUtf8(page));
        const QJsonObject data = dataOf(page);
        QCOMPARE(data["books"].toArray().size(), 3);
        for (int f = 0; f < fieldCount; ++f)
            QCOMPARE(cell(data, 1, keyOf(Field(f))).toString(), shown(record, Field(f)));
        QCOMPARE(cell(data, 1, "drapeaux").toInt(), flags);
        QCOMPARE(cell(data, 1, "date").toString(), date);
        QCOMPARE(cell(data, 2, "auteur").toString(), QString("Zola"));
        // Three elements only: the data, the long texts and the script; no text ended one
        // or opened another.
        QCOMPARE(QString::fromStdString(page).count("</script>", Qt::CaseInsensitive), 3);
    }

    void policyAllowsOnlyItsOwnStyleAndScript() {
        const std::string page = pageOf({FicheBuilder().set(Field::titre, "Nana")});
        const QString policy = QString::fromStdString(
            between(page, "http-equiv=\"Content-Security-Policy\" content=\"", "\""));
        const auto hash = [](const std::string& text) {
            return "'sha256-" +
                   QCryptographicHash::hash(QByteArray::fromStdString(text),
                                            QCryptographicHash::Sha256)
                       .toBase64() +
                   "'";
        };
        const std::string style = between(page, "<style>", "</style>");
        const std::string script = between(page, "<script>", "</script>");
        QCOMPARE(policy, "default-src 'none'; script-src " + hash(script) + "; style-src " +
                             hash(style) + "; img-src data:; base-uri 'none'; form-action 'none'");
        // Nothing in the markup names anything outside the page.
        const QRegularExpression link(QStringLiteral("(src|href|action)\\s*=\\s*\"(?!data:|#)"));
        QVERIFY(!link.match(QString::fromStdString(page)).hasMatch());
    }

    void loansAndThumbnailsGoWithTheirBooks() {
        const LentBooks lent{{"2", {"Marie Dupont", "3/11/2025"}}};
        PageExtras extras{1700000000,
                          &lent,
                          [](std::string_view reference) {
                              return reference == "1" ? std::string("abc")
                                                      : std::string(thumbnailBytes + 1, 'x');
                          },
                          {}};
        const QJsonObject data =
            dataOf(pageOf({FicheBuilder().numero(1), FicheBuilder().numero(2)}, extras));
        QCOMPARE(data["loans"].toArray(), QJsonArray({QJsonArray{1, "Marie Dupont", "3/11/2025"}}));
        QCOMPARE(cell(data, 0, "vignette").toString(), QString("YWJj"));
        QCOMPARE(cell(data, 1, "vignette").toString(), QString()); // past the limit: left out
        QCOMPARE(data["madeAt"].toDouble(), 1700000000e3);
    }

    // The export window says what the covers may cost before writing, and writes them small.
    void exportWindowOffersTheCovers() {
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        writeCatalogue(dir, {FicheBuilder().numero(1).set(Field::titre, "Nana"),
                             FicheBuilder().numero(2).set(Field::titre, "Germinal")});
        QDir(tmp.path()).mkdir("Couvertures");
        QImage cover(600, 900, QImage::Format_RGB32);
        cover.fill(Qt::darkRed);
        QVERIFY(cover.save(tmp.filePath("Couvertures/1.JPG"), "JPEG", 95));
        AppState state(Folder(posixFileSystem(), dir));
        state.data.open();
        FakeServices fake(posixFileSystem(), dir);
        Tformexport w(state, fake.services);
        w.setLentBooks([] { return LentBooks{{"2", {"Paul", "1/2/2025"}}}; });
        auto* covers = w.findChild<QCheckBox*>("ckbvignettes");
        w.setKind(ExportKind::Txt);
        w.show();
        QVERIFY(!covers->isVisible());
        w.hide();
        w.setKind(ExportKind::Pocket);
        w.show();
        QVERIFY(covers->isVisible() && covers->isEnabled());
        QCOMPARE(covers->text(),
                 QString("A&vec les vignettes des couvertures (1 couverture : 4 Ko au plus)"));
        covers->setChecked(true);
        w.findChild<QPushButton*>("Button1")->click();
        QVERIFY(!w.isVisible());
        const QJsonObject data = dataOf(readBytes(tmp.filePath("Q7poche.html").toStdString()));
        const QImage thumbnail = QImage::fromData(
            QByteArray::fromBase64(cell(data, 0, "vignette").toString().toLatin1()), "JPEG");
        QVERIFY(thumbnail.width() <= 60 && thumbnail.height() == 90);
        QCOMPARE(cell(data, 1, "vignette").toString(), QString());
        QCOMPARE(data["loans"].toArray(), QJsonArray({QJsonArray{1, "Paul", "1/2/2025"}}));
    }

    // "Exporter la liste..." with an .html name: the books shown, in the order shown.
    void overviewListAsAPage() {
        AppFixture app(
            {FicheBuilder().numero(1).set(Field::titre, "Germinal").set(Field::auteur, "Zola"),
             FicheBuilder().numero(2).set(Field::titre, "Le Horla"),
             FicheBuilder().numero(3).set(Field::titre, "Nana").set(Field::auteur, "Zola")});
        app.start();
        app.trigger("menuliste"); // P must stay where browsing left it
        const int position = app.state().data.position();
        app.dialogs().files.push_back(app.path("zola.html"));
        app.fakes->modal.script("formvue", [](QDialog& d) {
            typeInto(d.findChild<QLineEdit*>("edtfiltre"), "zola");
            QTest::mouseClick(d.findChild<QPushButton*>("btexporter"), Qt::LeftButton);
        });
        app.trigger("menuvue");
        const QJsonObject data = dataOf(readBytes(app.path("zola.html").toStdString()));
        QCOMPARE(data["books"].toArray().size(), 2);
        QCOMPARE(cell(data, 0, "titre").toString(), QString("Germinal"));
        QCOMPARE(cell(data, 1, "titre").toString(), QString("Nana"));
        QCOMPARE(app.state().data.position(), position);
    }
};

QTEST_MAIN(TestPocket)
#include "tst_pocket.moc"
