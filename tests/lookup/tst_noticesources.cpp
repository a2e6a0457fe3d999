// "Sources de notices...": the window and the settings group it writes.
#include "AppFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestNoticeSources : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sourcesWindow();
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
        const auto edits = d.findChildren<QLineEdit*>();
        edits.at(0)->setText("ma-clé"); // the key
        list->item(2)->setCheckState(Qt::Checked);
        list->setCurrentRow(2);
        for (auto* b : d.findChildren<QPushButton*>())
            if (b->text() == "&Monter") b->click(), b->click();
        edits.at(1)->setText("ftp://miroir"); // refused
        d.accept();
        QVERIFY(d.isVisible());
        edits.at(1)->setText("https://miroir.example/SRU");
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

QTEST_MAIN(TestNoticeSources)
#include "tst_noticesources.moc"
