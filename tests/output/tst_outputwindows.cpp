// The export and labels windows and the two record commands, driven as a user would,
// with fake dialogs and printer, checking the widgets and the files on disk.
#include "AppFixture.h"
#include "FakeServices.h"
#include "FicheBuilder.h"
#include "output/Q7etiq.h"
#include "output/Q7export.h"
#include "record/AppState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace q7;

Q_DECLARE_METATYPE(q7::ExportKind)

namespace {

// A working folder with a catalogue, the program's state on it and fake services.
struct Session {
    QTemporaryDir tmp;
    std::string dir = tmp.path().toStdString();
    std::unique_ptr<AppState> state;
    std::unique_ptr<FakeServices> fake;

    explicit Session(int records) {
        std::vector<Fiche> all;
        for (int i = 1; i <= records; ++i)
            all.push_back(FicheBuilder().set(Field::titre, "Livre " + std::to_string(i)).numero(i));
        writeCatalogue(dir, all);
        state = std::make_unique<AppState>(Folder(posixFileSystem(), dir));
        state->data.open();
        fake = std::make_unique<FakeServices>(posixFileSystem(), dir);
    }
    Services& services() { return fake->services; }
    bool exists(const QString& name) const { return QFile::exists(tmp.filePath(name)); }
    QByteArray file(const QString& name) const {
        QFile f(tmp.filePath(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

template <class T> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(name);
    if (!c) qFatal("no control %s", name);
    return c;
}

const QString noPrinter = QStringLiteral("error:Aucune imprimante n'est installée.");

// Counts the paintings of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

class TestOutputWindows : public QObject {
    Q_OBJECT

    QTemporaryDir config;

private Q_SLOTS:
    void initTestCase() {
        // The user's documents folder comes from the XDG user directories.
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }

    void kindSetsTheCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<bool>("tableShown");
        QTest::newRow("txt") << "Exporter en TXT" << ExportKind::Txt << false;
        QTest::newRow("sql") << "Exporter en SQL" << ExportKind::Sql << true;
        QTest::newRow("csv") << "Exporter en CSV" << ExportKind::Csv << false;
        QTest::newRow("html") << "Exporter en HTML" << ExportKind::Html << false;
    }
    void kindSetsTheCaption() {
        QFETCH(QString, caption);
        QFETCH(ExportKind, kind);
        QFETCH(bool, tableShown);
        Session s(1);
        Tformexport w(*s.state, s.services());
        w.setKind(ExportKind::Sql);
        w.show();
        w.hide();
        w.setKind(kind);
        w.show();
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(w.kind(), kind);
        QCOMPARE(child<QLineEdit>(w, "edtnomtab")->isVisible(), tableShown);
        QCOMPARE(child<QLabel>(w, "lblnom")->isVisible(), tableShown);
        QCOMPARE(child<QProgressBar>(w, "Gauge1")->value(), 0);
    }

    void exportWritesTheFileAndCloses_data() {
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lines");
        QTest::newRow("txt") << ExportKind::Txt << "Q7impres.txt" << 24 * 3;
        QTest::newRow("sql") << ExportKind::Sql << "Q7export.sql" << 2 * 3;
        QTest::newRow("csv") << ExportKind::Csv << "Q7export.csv" << 3;
    }
    void exportWritesTheFileAndCloses() {
        QFETCH(ExportKind, kind);
        QFETCH(QString, file);
        QFETCH(int, lines);
        Session s(3);
        Tformexport w(*s.state, s.services());
        w.setKind(kind);
        w.show();
        if (kind == ExportKind::Sql) QTest::keyClicks(child<QLineEdit>(w, "edtnomtab"), "livres");
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(s.fake->dialogs.log, QStringList());
        QCOMPARE(int(s.file(file).count("\r\n")), lines);
        const QProgressBar* gauge = child<QProgressBar>(w, "Gauge1");
        QCOMPARE(gauge->maximum(), 3);
        QCOMPARE(gauge->value(), 3);
        QCOMPARE(s.fake->cursor.maxDepth, 1);
        QCOMPARE(s.fake->cursor.depth, 0);
        QCOMPARE(s.state->data.position(), 3);
    }

    void emptyCatalogueIsRefused_data() {
        QTest::addColumn<ExportKind>("kind");
        for (auto k : {ExportKind::Txt, ExportKind::Sql, ExportKind::Csv, ExportKind::Html})
            QTest::newRow(qPrintable(Tformexport::caption(k))) << k;
    }
    void emptyCatalogueIsRefused() {
        QFETCH(ExportKind, kind);
        Session s(0);
        Tformexport w(*s.state, s.services());
        w.setKind(kind);
        w.show();
        QTest::keyClicks(child<QLineEdit>(w, "edtnomtab"), "t");
        child<QPushButton>(w, "Button1")->click();
        QCOMPARE(s.fake->dialogs.log,
                 QStringList({"beep", "message:Le fichier Q7.dat est vide !"}));
        QVERIFY(w.isVisible());
        for (const char* name : {"Q7impres.txt", "Q7export.sql", "Q7export.csv", "Q7export.html"})
            QVERIFY(!s.exists(name));
    }

    void tableNameRules() {
        Session s(2);
        Tformexport w(*s.state, s.services());
        w.setKind(ExportKind::Sql);
        w.show();
        QLineEdit* name = child<QLineEdit>(w, "edtnomtab");
        QCOMPARE(name->maxLength(), 100);
        child<QPushButton>(w, "Button1")->setFocus();
        child<QPushButton>(w, "Button1")->click();
        QCOMPARE(s.fake->dialogs.log, QStringList({"beep", "message:Le champs TABLE est vide !"}));
        QCOMPARE(w.focusWidget(), name);
        QVERIFY(w.isVisible());
        QVERIFY(!s.exists("Q7export.sql"));
        QCOMPARE(s.fake->cursor.depth, 0);

        // A name of one space is a name; a quote in it is doubled.
        QTest::keyClicks(name, " ");
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(!w.isVisible());
        QVERIFY(s.file("Q7export.sql").startsWith("INSERT INTO' '\r\nVALUES('Livre 1',"));

        w.show();
        QCOMPARE(name->text(), QString(" ")); // kept between openings
        name->setText("l'été");
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(s.file("Q7export.sql").startsWith("INSERT INTO'l''\xE9t\xE9'\r\n"));
    }

    void htmlLeavesBrowsingWhereItWas() {
        Session s(4);
        // Browsing shows the second record.
        s.state->data.seek(0);
        s.state->data.read(s.state->buffer);
        s.state->data.read(s.state->buffer);
        Tformexport w(*s.state, s.services());
        w.setKind(ExportKind::Html);
        w.show();
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(!w.isVisible());
        QVERIFY(s.file("Q7export.html").contains("<TD WIDTH=\"50%\">Livre 2</TD>\r\n"));
        QCOMPARE(child<QProgressBar>(w, "Gauge1")->value(), 0);
        QCOMPARE(s.state->buffer.text(Field::titre), std::string("Livre 2"));
        // The next step of browsing shows the third record.
        s.state->data.read(s.state->buffer);
        QCOMPARE(s.state->buffer.text(Field::titre), std::string("Livre 3"));
    }

    void documentsFolder() {
        Session s(2);
        const QString docs = s.tmp.filePath("Mes docs");
        QFile dirs(config.filePath("user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly | QIODevice::Truncate));
        dirs.write("XDG_DOCUMENTS_DIR=\"" + docs.toUtf8() + "\"\n");
        dirs.close();
        QCOMPARE(Tformexport::documentsFolder(), docs);

        Tformexport w(*s.state, s.services());
        w.setKind(ExportKind::Csv);
        w.show();
        child<QRadioButton>(w, "rbdoc")->click();

        // A folder that cannot be made (a file has its name): named, the window stays open.
        writeBytes(docs.toStdString(), "x");
        child<QPushButton>(w, "Button1")->click();
        QCOMPARE(s.fake->dialogs.boxes(),
                 QStringList({"error:Le dossier des documents « " + docs +
                              " » n'existe pas et ne peut pas être créé."}));
        QVERIFY(w.isVisible());
        QCOMPARE(s.fake->cursor.depth, 0);

        // A missing one is made: it is the user's standard folder.
        QVERIFY(QFile::remove(docs));
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(docs + "/Q7export.csv"));
        QVERIFY(!s.exists("Q7export.csv"));

        // The choice survives closing the window.
        w.setKind(ExportKind::Txt);
        w.show();
        QVERIFY(child<QRadioButton>(w, "rbdoc")->isChecked());
        child<QRadioButton>(w, "rbcourant")->click();
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(s.exists("Q7impres.txt"));
        QVERIFY(!QFile::exists(docs + "/Q7impres.txt"));
    }

    // Shown to its end, but painted at most about 30 times a second: a paint at every
    // percent cost more than the file work of a small catalogue.
    void gaugePaintsAtMostThirtyTimesASecond() {
        Session s(1000);
        Tformexport w(*s.state, s.services());
        w.setKind(ExportKind::Csv);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QProgressBar* gauge = child<QProgressBar>(w, "Gauge1");
        PaintCounter counter;
        gauge->installEventFilter(&counter);
        int lastSeen = -1, repeats = 0;
        connect(gauge, &QProgressBar::valueChanged, gauge, [&](int v) {
            const int percent = v * 100 / gauge->maximum();
            repeats += percent == lastSeen;
            lastSeen = percent;
        });
        QElapsedTimer clock;
        clock.start();
        child<QPushButton>(w, "Button1")->click();
        const qint64 ms = clock.elapsed();
        QCOMPARE(lastSeen, 100);
        QCOMPARE(gauge->value(), 1000);
        QCOMPARE(repeats, 0);
        QVERIFY2(counter.paints >= 1 && counter.paints <= 2 + ms / 33,
                 qPrintable(QStringLiteral("%1 paints in %2 ms").arg(counter.paints).arg(ms)));
    }

    void escapeCloses() {
        Session s(1);
        Tformexport w(*s.state, s.services());
        w.setKind(ExportKind::Sql);
        w.show();
        QTest::keyClick(child<QLineEdit>(w, "edtnomtab"), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(!s.exists("Q7export.sql"));

        TFormetiq labels(*s.state, s.services());
        labels.show();
        QTest::keyClick(child<QLineEdit>(labels, "edtajout"), Qt::Key_Escape);
        QVERIFY(!labels.isVisible());
    }

    void labelCapacity() {
        Session s(0);
        TFormetiq w(*s.state, s.services());
        QCOMPARE(w.windowTitle(), QString("Etiquettes"));
        for (int i = 0; i < 69; ++i)
            QVERIFY(w.addReference(QString::number(i)));
        QLineEdit* edit = child<QLineEdit>(w, "edtajout");
        QCOMPARE(edit->maxLength(), 8);
        edit->setText("DERNIER");
        child<QPushButton>(w, "btajouter")->click(); // the 70th
        QCOMPARE(edit->text(), QString("DERNIER"));
        QCOMPARE(w.references().size(), 70);
        QCOMPARE(s.fake->dialogs.log, QStringList());

        QVERIFY(!w.addReference("R71"));
        child<QPushButton>(w, "btajouter")->click();
        QCOMPARE(w.references().size(), 70);
        QCOMPARE(w.references().last(), QString("DERNIER"));
        const QStringList refusal = {"beep", "message:70 étiquetes maximun par feuilles A4"};
        QCOMPARE(s.fake->dialogs.log, refusal + refusal);
    }

    void removeButtonRules() {
        Session s(0);
        TFormetiq w(*s.state, s.services());
        w.show();
        QPushButton* remove = child<QPushButton>(w, "btretirer");
        QListWidget* list = child<QListWidget>(w, "lbliste");
        QVERIFY(remove->isEnabled());
        w.addReference("A1");
        w.addReference("A1"); // duplicates are labels too
        w.addReference("B2");
        QCOMPARE(w.references(), QStringList({"A1", "A1", "B2"}));

        list->clearSelection();
        remove->click(); // no selection: nothing removed
        QCOMPARE(w.references().size(), 3);
        list->item(2)->setSelected(true);
        remove->click();
        QCOMPARE(w.references(), QStringList({"A1", "A1"}));
        for (int i = 0; i < 2; ++i) {
            list->item(0)->setSelected(true);
            remove->click();
        }
        QCOMPARE(w.references(), QStringList());
        QVERIFY(!remove->isEnabled());

        // Adding from the record window leaves the button off; the window's own button
        // turns it on.
        w.addReference("C3");
        QVERIFY(!remove->isEnabled());
        child<QPushButton>(w, "btajouter")->click();
        QVERIFY(remove->isEnabled());
        QCOMPARE(w.references(), QStringList({"C3", ""}));
    }

    void printingTheSheet() {
        Session s(0);
        TFormetiq w(*s.state, s.services());
        for (int i = 1; i <= 8; ++i)
            w.addReference(QString("REF%1").arg(i));
        w.show();
        child<QPushButton>(w, "btimprimer")->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(s.fake->printer.pages.size(), std::size_t(1));
        const auto& page = s.fake->printer.pages[0];
        QCOMPARE(page.size(), std::size_t(24));
        for (const DrawnText& d : page)
            QVERIFY(d.bold);
        QCOMPARE(page[22].x, 140); // the eighth label opens the second row
        QCOMPARE(page[22].y, 620);
        QCOMPARE(page[22].text, QString("| ref8     |"));
        QCOMPARE(page[21].y, 530);
        QCOMPARE(s.fake->cursor.depth, 0);
        QCOMPARE(s.fake->cursor.maxDepth, 1);
        QCOMPARE(w.references().size(), 8); // printing keeps the list

        // An empty list: one empty page, the window closes.
        TFormetiq empty(*s.state, s.services());
        empty.show();
        child<QPushButton>(empty, "btimprimer")->click();
        QCOMPARE(s.fake->printer.pages.size(), std::size_t(2));
        QVERIFY(s.fake->printer.pages[1].empty());
        QVERIFY(!empty.isVisible());

        // No printer: the error box, the window stays.
        s.fake->printer.failOnBegin = true;
        w.show();
        child<QPushButton>(w, "btimprimer")->click();
        QCOMPARE(s.fake->dialogs.boxes(), QStringList({noPrinter}));
        QVERIFY(w.isVisible());
        QCOMPARE(s.fake->cursor.depth, 0);
    }

    // Through the record window: what it shows is printed, the record buffer goes to
    // Q7fiche.txt, and both carry the data file's position.
    void recordCommandsUseThePosition() {
        std::vector<Fiche> records;
        for (int i = 1; i <= 3; ++i)
            records.push_back(
                FicheBuilder().set(Field::titre, "Livre " + std::to_string(i)).numero(i));
        AppFixture app(records);
        app.start();
        app.trigger("menuliste");
        app.ui().spbsuivant->click();
        app.ui().spbsuivant->click();
        app.dialogs().log.clear();
        app.ui().cbtitre->setEditText("Titre vu");
        app.ui().edtisbn->setText("978");
        FakePrinter& printer = app.fakes->printer;
        app.trigger("menuimprimerfiche");
        const auto& page = printer.pages.at(0);
        QCOMPARE(page.size(), std::size_t(27));
        QCOMPARE(page[0].text, QString("=== Fiche n°3 ==="));
        QCOMPARE(page[0].color, QColor(255, 0, 0));
        QCOMPARE(page[0].points, 10);
        QVERIFY(!page[0].bold);
        QCOMPARE(page[1].text, QString("Titre  =Titre vu"));
        QCOMPARE(page[1].color, QColor(0, 0, 0));
        QCOMPARE(page[11].color, QColor(255, 0, 0));
        QCOMPARE(page[12].color, QColor(0, 0, 0));

        app.trigger("menuimpfiche");
        QFile text(app.path("Q7fiche.txt"));
        QVERIFY(text.open(QIODevice::ReadOnly));
        QVERIFY(text.readAll().startsWith("=== Fiche n\xB0"
                                          "3 ===\r\nTitre     = Livre 3\r\n"));
        QCOMPARE(app.state().data.position(), 3);
        QCOMPARE(app.fakes->cursor.depth, 0);
        QCOMPARE(app.fakes->cursor.maxDepth, 1);
        QCOMPARE(app.dialogs().log, QStringList());

        printer.failOnBegin = true;
        app.trigger("menuimprimerfiche");
        QCOMPARE(app.dialogs().boxes(), QStringList({noPrinter}));
        QCOMPARE(app.fakes->cursor.depth, 0);
    }
};

QTEST_MAIN(TestOutputWindows)
#include "tst_outputwindows.moc"
