// A list of ISBNs in the import window, against a local server replaying the services'
// recorded answers: each ISBN asked once for the trial and the import, the run stopped
// in every way a collector may stop it, and nothing appended then.
#include "app/ImportWindow.h"
#include "ImportWindowProbe.h"
#include "ReplayServer.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {

// Two books known (one by the BnF, one by Open Library), one nobody knows, one that
// never gets an answer.
Reply replay(const QString& t) {
    if (t.contains(u"9782266162777")) return {0, {}, true};
    if (t.startsWith(u"/api/SRU")) {
        if (t.contains(u"unimarcxchange") && t.contains(u"9782824627151"))
            return {200, recorded("bnf-sru-unimarc-9782824627151.xml")};
        return {200, recorded("bnf-sru-unimarc-9789999999999-empty.xml")};
    }
    if (t.contains(u"9782070427796"))
        return {200, recorded("openlibrary-9782070427796-apibooks-data.json")};
    return {200, "{}"};
}

void pointAt(AppFixture& app, const ReplayServer& server) {
    auto& v = app.fakes->settings.values;
    v["Notices/ordre"] = "bnf,openlibrary";
    v["Notices/bnf"] = (server.base() + "/api/SRU").toStdString();
    v["Notices/openlibrary"] = server.base().toStdString();
}

int asked(const ReplayServer& server, const QString& isbn) {
    int n = 0;
    for (const QString& t : server.targets)
        n += t.contains(isbn);
    return n;
}

// What the window let the collector do while the lookup ran.
struct DuringRun {
    QStringList usable; // buttons enabled
    QString line;       // under the report
    QStringList boxes;  // asked of the collector by the record window's commands
};

DuringRun lookAt(AppFixture& app, QDialog& d) {
    DuringRun seen;
    for (const char* b :
         {"btchoisir", "btessai", "btimporter", "btannuler", "btfermer", "btarreter"})
        if (enabled(d, b)) seen.usable << b;
    seen.line = count(d);
    // The record window's commands while the window runs its own event loop.
    const qsizetype before = app.dialogs().boxes().size();
    app.trigger("menuAnnulerImport");
    app.trigger("menuImporter");
    seen.boxes = app.dialogs().boxes().mid(before);
    return seen;
}

} // namespace

class TestImportWindowIsbn : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The trial asks each ISBN once; "Importer" appends those very books without asking
    // again; the report names the source of each, or why none had it; the undo takes
    // them back.
    void trialThenImportAsksOnce() {
        ReplayServer server(replay);
        AppFixture app({FicheBuilder().numero(1).set(q7::Field::titre, "Nadja")});
        pointAt(app, server);
        writeBytes(app.dir() + "/scan.txt", "ISBN\r\n9782824627151\r\n978207036002X\r\n"
                                            "978-2-07-042779-6\r\n9782070360024\r\n");
        app.start();
        app.fakes->dialogs.files.push_back(app.path("scan.txt"));
        std::optional<DuringRun> during;
        int sent = 0;
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            d.show();
            QTimer::singleShot(300, &d, [&] { during = lookAt(app, d); });
            click(d, "btchoisir");
            for (const char* said :
                 {"Format : liste d'ISBN", "ligne 2 : 9782824627151 trouvé par BnF",
                  "ligne 3 : L'ISBN 978207036002X est incorrect : la clé devrait être 4.",
                  "ligne 4 : 9782070427796 trouvé par Open Library",
                  "ligne 5 : Aucune notice pour l'ISBN 9782070360024 (BnF, Open Library).",
                  "Fiches importées : 2"})
                QVERIFY2(pane(d).contains(QString::fromUtf8(said)),
                         qPrintable(said + ("\n" + pane(d))));
            QCOMPARE(app.records().size(), std::size_t(1));
            QVERIFY(enabled(d, "btimporter"));
            sent = int(server.targets.size());
            for (const char* isbn : {"9782824627151", "9782070427796", "9782070360024"})
                QVERIFY2(asked(server, isbn) >= 1, isbn);

            click(d, "btimporter");
            QCOMPARE(int(server.targets.size()), sent);
            QCOMPARE(app.records().size(), std::size_t(3));
            QCOMPARE(count(d), QString("Le catalogue compte 3 fiches."));
            QCOMPARE(reports(app).size(), 1);
            QVERIFY2(pane(d).contains("trouvé par Open Library"), qPrintable(pane(d)));

            click(d, "btannuler");
            QCOMPARE(app.records().size(), std::size_t(1));
            QCOMPARE(count(d), QString("Le catalogue compte 1 fiche."));
            d.hide();
        });
        app.trigger("menuImporter");
        QCOMPARE(app.state().data.count(), 1);
        QVERIFY(during);
        QCOMPARE(during->usable, QStringList{"btarreter"});
        QVERIFY2(during->line.startsWith("ISBN 1 sur 3 : ") ||
                     during->line.startsWith("ISBN 2 sur 3 : "),
                 qPrintable(during->line));
        QVERIFY2(during->boxes.isEmpty(), qPrintable(during->boxes.join('|')));
    }

    // The file changed after its trial: its ISBNs are looked up again, the new one asked.
    void changedFileLookedUpAgain() {
        ReplayServer server(replay);
        AppFixture app({FicheBuilder().numero(1)});
        pointAt(app, server);
        writeBytes(app.dir() + "/scan.txt", "9782824627151\n");
        app.start();
        app.fakes->dialogs.files.push_back(app.path("scan.txt"));
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            click(d, "btchoisir");
            QCOMPARE(asked(server, "9782070427796"), 0);
            writeBytes(app.dir() + "/scan.txt", "9782824627151\n9782070427796\n");
            click(d, "btimporter");
            QVERIFY(asked(server, "9782070427796") >= 1);
            QVERIFY2(pane(d).contains("a changé depuis l'essai"), qPrintable(pane(d)));
            QVERIFY2(pane(d).contains("Fiches importées : 2"), qPrintable(pane(d)));
        });
        app.trigger("menuImporter");
        QCOMPARE(app.records().size(), std::size_t(3));
    }

    // Stopped while a source keeps it waiting: at once, nothing appended, the window
    // usable again (or closed, when that is how it was stopped).
    void stoppedAppendsNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Arrêter") << "button";
        QTest::newRow("Échap") << "escape";
        QTest::newRow("fenêtre fermée") << "close";
        QTest::newRow("programme quitté") << "quit";
    }
    void stoppedAppendsNothing() {
        QFETCH(QString, how);
        QDialog* shown = nullptr;
        ReplayServer server([&](const QString& t) {
            if (t.contains(u"9782266162777") && !t.contains(u"dublincore")) {
                QTimer::singleShot(50, [&] {
                    QDialog* d = shown;
                    if (how == "button") click(*d, "btarreter");
                    if (how == "escape") QTest::keyClick(d->focusWidget(), Qt::Key_Escape);
                    if (how == "close") d->close();
                    if (how == "quit") QCoreApplication::exit(0);
                });
            }
            return replay(t);
        });
        AppFixture app({FicheBuilder().numero(1)});
        pointAt(app, server);
        writeBytes(app.dir() + "/scan.txt", "9782824627151\n");
        app.start();
        app.fakes->dialogs.files.push_back(app.path("scan.txt"));
        QElapsedTimer clock;
        bool visible = true;
        app.fakes->modal.script("formimport", [&](QDialog& d) {
            shown = &d;
            d.show();
            click(d, "btchoisir");
            writeBytes(app.dir() + "/scan.txt", "9782824627151\n9782266162777\n9782070427796\n");
            clock.start();
            click(d, "btimporter");
            QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
            QVERIFY2(pane(d).contains("Recherche arrêtée après 1 ISBN sur 3 : rien n'est ajouté"),
                     qPrintable(pane(d)));
            QCOMPARE(asked(server, "9782070427796"), 0);
            for (const char* b : {"btchoisir", "btessai", "btannuler", "btfermer"})
                QVERIFY2(enabled(d, b), b);
            QVERIFY(!enabled(d, "btimporter"));
            QVERIFY(!enabled(d, "btarreter"));
            QCOMPARE(count(d), QString("Le catalogue compte 1 fiche."));
            QApplication::processEvents();
            visible = d.isVisible();
            d.hide();
        });
        app.trigger("menuImporter");
        QCOMPARE(visible, how != "close");
        QCOMPARE(app.records().size(), std::size_t(1));
        QVERIFY(reports(app).isEmpty());
        if (how == "quit") {
            // The test goes on as a program would not: its event loops usable again.
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            QCoreApplication::exec();
        }
    }
};

QTEST_MAIN(TestImportWindowIsbn)
#include "tst_importwindowisbn.moc"
