// Screen readers: every control of the secondary windows can be found and told apart by
// its name, taken from the label beside it where there is one.
#include "AccessibleNames.h"
#include "AppFixture.h"
#include "lookup/NoticeReview.h"
#include "lookup/NoticeSources.h"
#include "maint/Q7graph.h"
#include "store/Cp1252.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <initializer_list>

namespace {

// The record window, or one of the windows it owns, by object name.
QWidget* window(AppFixture& app, const QString& name) {
    if (app.w().objectName() == name) return &app.w();
    // The windows made when they are asked for.
    if (name == "formgraph") return new Tformgraph(app.state(), app.fakes->services, &app.w());
    if (name == "NoticeSources") return new NoticeSources(app.dialogs(), &app.w());
    if (name == "NoticeReview") {
        auto* review = new NoticeReview(&app.w());
        review->setContent("Source : BnF", {{"Titre", "", "Nadja", true}}, {"Remarque"});
        return review;
    }
    auto* w = app.w().findChild<QDialog*>(name);
    if (!w) qFatal("no window %s", qPrintable(name));
    return w;
}

const char* const windows[] = {
    "Tformprin",  "carnetform",  "FindDialog",   "aproposform",  "Formliste",     "formoption",
    "forminfo",   "TFormrecmot", "formfic",      "Tformnote",    "formanciennum", "formaide",
    "TFormetiq",  "Tformexport", "TFormresume",  "formpreter",   "formprets",     "formvue",
    "formimport", "formgraph",   "NoticeReview", "NoticeSources"};

} // namespace

class TestAccessible : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyControlCanBeToldApart_data() {
        QTest::addColumn<QString>("window");
        for (const char* w : windows)
            QTest::newRow(w) << QString::fromLatin1(w);
    }
    void everyControlCanBeToldApart() {
        QFETCH(QString, window);
        AppFixture app;
        app.start();
        QWidget* w = ::window(app, window);
        int focusable = 0;
        for (const auto& [object, c] : accessibleControls(w))
            focusable += c.focusable;
        QVERIFY2(focusable >= 1, "the walk found no control");
        QCOMPARE(unnamedControls(w), QStringList());
    }

    // Names as a screen reader says them, the labels tied to the fields, and the
    // descriptions that repeat what the tool-tips show.
    void namesAndLabels_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("description");
        auto row = [](const char* w, const char* c, const char* name,
                      std::initializer_list<const char*> labels = {},
                      const char* description = "") {
            QStringList labelTexts;
            for (const char* l : labels)
                labelTexts << QString::fromUtf8(l);
            QTest::addRow("%s %s", w, c)
                << QString::fromLatin1(w) << QString::fromLatin1(c) << QString::fromUtf8(name)
                << labelTexts << QString::fromUtf8(description);
        };
        row("forminfo", "edtnbfiche", "Nombre de fiches", {"Nombre de fiches"});
        row("forminfo", "edtmoyenprix", "Moyene prix/livres", {"Moyene prix/livres"});
        row("forminfo", "cblstinfo", "Nombre d'entrées pour:", {"Nombre d'entrées pour:"},
            "Choisissez dans la liste");
        row("forminfo", "edtrep", "Repertoire de travail", {"Repertoire de travail"});
        row("TFormrecmot", "edtrecmot", "Mot ou texte à chercher", {"Mot ou texte à chercher"});
        row("formpreter", "cbemprunteur", "Emprunteur", {"Emprunteur"},
            "Choisissez un emprunteur ou tapez un nouveau nom");
        row("formpreter", "edtdate", "Date du prêt", {"Date du prêt"});
        row("formprets", "cbemprunteur", "Emprunteur :", {"Emprunteur :"},
            "Ne montrer que les prêts d'un emprunteur");
        row("formprets", "tblprets", "Livres prêtés");
        row("TFormrecmot", "rbnotes", "Notes", {"Champs de la recherche"});
        row("FindDialog", "edttexte", "Rechercher :", {"Rechercher :"});
        row("formoption", "edttxtutil", "Texte ", {"Texte ", "Utilisateur"});
        row("formoption", "edtdevise", "Devise", {"Devise"});
        row("formoption", "edtext2", "Géstion", {"Géstion", "Applications externes"});
        row("formoption", "btext1", "Parcourir (Manipulations)", {"Applications externes"});
        row("formoption", "btext2", "Parcourir (Géstion)", {"Applications externes"});
        row("Tformexport", "edtnomtab", "Nom de la table ", {"Nom de la table "});
        row("Tformexport", "rbdoc", "Mes documents", {"Exporter vers"});
        row("Tformexport", "Gauge1", "Progression de l'exportation");
        row("formfic", "cbsujet", "Sujet à placer en tête", {"Trier par"});
        row("formfic", "Gauge1", "Progression du tri");
        row("formaide", "cblisteaide", "Chapitre de l'aide");
        row("formaide", "memoaide", "Texte de l'aide");
        row("Formliste", "cbactiveliste", "Liste à modifier");
        row("Formliste", "lstbliste", "Valeurs de la liste");
        row("Formliste", "edtinserer", "Valeur à insérer");
        row("formanciennum", "listnum", "Anciennes références");
        row("formanciennum", "lblchoix", "", {}, "Référence choisie");
        row("TFormetiq", "edtajout", "Référence à ajouter");
        row("TFormetiq", "lbliste", "Liste des étiquettes");
        row("TFormetiq", "btretirer", "Retirer", {}, "Retirerde la liste");
        row("carnetform", "memcarnet", "Carnet de notes");
        row("carnetform", "btdate", "Date", {}, "Inserrer la date du jour");
        row("Tformnote", "memonotes", "Notes");
        row("TFormresume", "memoresume", "Résumé");
        row("aproposform", "Label3", Q7_CONTACT, {}, "Écrire aux auteurs");
        row("aproposform", "Image1", "Icône de Lirabel 3");
        // The record window: fields named after their captions, which are tied to them.
        row("Tformprin", "cbtitre", "Titre", {"Titre"});
        row("Tformprin", "cbutilisateur", "Mots clés", {"Mots clés"});
        // The label tied to the field says its whole name: screen readers read it first.
        row("Tformprin", "cbpos1", "Position 1", {"Position 1", "Positions"});
        row("Tformprin", "cbpos4", "Position 4", {"Position 4", "Positions"});
        row("Tformprin", "edtjour", "Jour", {"Date enregistrement"});
        row("Tformprin", "edtannee", "Année", {"Date enregistrement"});
        row("Tformprin", "edtprix", "Prix", {"Prix "});
        row("Tformprin", "edtanedition", "Année d'edition", {"Année d'edition"});
        row("Tformprin", "edtnbpage", "Nombre de pages", {"Nombre de pages"});
        row("Tformprin", "edtisbn", "ISBN", {"ISBN"});
        row("Tformprin", "edtnumero", "Reference", {"Reference"});
        row("Tformprin", "btbretour", "Retour au menu principal", {}, "Retour au menu principal");
        row("Tformprin", "edtnbfiche", "Nombre de fiches pour cette recherche", {},
            "Nombre de fiches pour cette recherche");
        row("Tformprin", "edtcptfiche", "Rang de la fiche", {}, "Rang de la fiche");
        row("Tformprin", "spbsuivant", "Fiche suivante");
    }
    void namesAndLabels() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QStringList, labels);
        QFETCH(QString, description);
        AppFixture app;
        app.start();
        const auto controls = accessibleControls(::window(app, window));
        const auto it = controls.find(control);
        QVERIFY2(it != controls.end(), qPrintable(control));
        QCOMPARE(it->second.name, name);
        QCOMPARE(it->second.labels, labels);
        QCOMPARE(it->second.description, description);
    }

    // Every button of the record window's tool bar says what it does, Qt's own button
    // for the tools that do not fit included (it is checkable: unnamed, a screen reader
    // says "case à cocher" and nothing else).
    void toolBarButtonsAreNamed() {
        AppFixture app;
        app.start();
        auto* bar = app.w().findChild<QToolBar*>(QStringLiteral("toolbar"));
        QVERIFY(bar);
        QCOMPARE(QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name),
                 QStringLiteral("Barre d'outils"));
        QStringList names;
        for (QToolButton* b : bar->findChildren<QToolButton*>()) {
            const QString name = QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(b->objectName()));
            names << name;
        }
        QCOMPARE(names.size(), 15);
        QVERIFY(names.contains(QStringLiteral("Autres outils")));
        QVERIFY(names.contains(QStringLiteral("Vue d'ensemble")));
        QVERIFY(names.contains(QStringLiteral("Nouvelle fiche")));
    }

    // The user field's caption is the collector's: the word search's radio button is
    // named after it, and follows it when it changes.
    // Qt's button that empties the overview's filter shows once something is typed there.
    void filterClearButtonIsNamed() {
        AppFixture app;
        app.start();
        QWidget* vue = ::window(app, "formvue");
        vue->findChild<QLineEdit*>("edtfiltre")->setText("zola");
        const auto controls = accessibleControls(vue);
        QVERIFY(controls.count("QLineEditIconButton de edtfiltre"));
        QCOMPARE(unnamedControls(vue), QStringList());
    }

    void userCaptionNamesTheWordSearchField() {
        AppFixture app;
        app.fakes->settings.set("textutilisateur", q7::utf8ToCp1252("Thèmes"));
        app.start();
        QWidget* recmot = window(app, QStringLiteral("TFormrecmot"));
        QCOMPARE(accessibleControls(recmot).at("rbutilisateur").name, QStringLiteral("Thèmes"));
        app.fakes->settings.set("textutilisateur", q7::utf8ToCp1252("Salle & co"));
        app.program->settings().run(QStringLiteral("lec"));
        QCOMPARE(accessibleControls(recmot).at("rbutilisateur").name, QStringLiteral("Salle & co"));
        QCOMPARE(accessibleControls(&app.w()).at("cbutilisateur").name,
                 QStringLiteral("Salle & co"));
    }

    // The red caption of "&Notes" and "&Resumé" is also said in words.
    void filledMemosAreSaidInWords() {
        AppFixture app({FicheBuilder().numero(1).set(q7::Field::notes, "lu en 1998"),
                        FicheBuilder().numero(2).set(q7::Field::resume, "une enquête")});
        app.start();
        auto said = [&](const char* button) {
            return accessibleControls(&app.w()).at(QString::fromLatin1(button)).description;
        };
        app.trigger("menuliste");
        QCOMPARE(said("btbnotes"), QStringLiteral("contient des notes"));
        QCOMPARE(said("btbresume"), QString());
        app.ui().spbsuivant->click();
        QCOMPARE(said("btbnotes"), QString());
        QCOMPARE(said("btbresume"), QStringLiteral("contient un résumé"));
        QCOMPARE(app.ui().btbresume->toolTip(), QStringLiteral("contient un résumé"));
        app.trigger("menuRetour");
        QCOMPARE(said("btbresume"), QString());
    }
};

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
