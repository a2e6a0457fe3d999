// Browsing, the criterion search and the word search, driven through the record window.
#include "AppFixture.h"
#include "search/Match.h"
#include "search/Q7recmot.h"
#include "ui_Q7recmot.h"

#include <QMenu>
#include <QRadioButton>
#include <QTest>

using q7::Field;

namespace {
FicheBuilder rec(int n, const char* titre = "", const char* auteur = "") {
    FicheBuilder b;
    b.numero(n)
        .set(Field::titre, titre)
        .set(Field::auteur, auteur)
        .set(Field::prix, "1")
        .set(Field::nbpage, "10");
    return b;
}
// Near the left edge: a radio button reacts on its indicator and caption only.
void click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}
} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wordMatch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("match");
        QTest::newRow("inside, other case") << "Un Roman"
                                            << "roman" << true;
        QTest::newRow("plural capitals") << "ROMANS"
                                         << "roman" << true;
        QTest::newRow("lower") << "le roman noir"
                               << "ROMAN" << true;
        QTest::newRow("accents not folded") << "L'été"
                                            << "ete" << false;
        QTest::newRow("accented capitals not folded") << "L'ÉTÉ"
                                                      << "été" << false;
        QTest::newRow("same accent") << "L'été"
                                     << "ÉTÉ" << false;
        QTest::newRow("whole text") << "abc"
                                    << "ABC" << true;
        QTest::newRow("longer than text") << "abc"
                                          << "abcd" << false;
        QTest::newRow("empty word") << "abc"
                                    << "" << false;
        QTest::newRow("empty text") << ""
                                    << "a" << false;
        QTest::newRow("at the very end") << QString(250, u'x') + "fin!!"
                                         << "fin!!" << true;
        QTest::newRow("repeated prefix") << "aaab"
                                         << "aab" << true;
        QTest::newRow("almost") << "abcabd"
                                << "abcabe" << false;
        QTest::newRow("one letter") << "xyz"
                                    << "Y" << true;
        QTest::newRow("bytes above 0x7F") << "Œuvre"
                                          << "œUVRE" << false;
        // Past 255 letters the skips must still never jump over a place (fuzzing found it).
        const QString longWord = QString(254, u'a') + u'b' + QString(5, u'a');
        QTest::newRow("word longer than 255") << QString(10, u'c') + longWord << longWord << true;
    }
    void wordMatch() {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(bool, match);
        const std::string t = q7::utf8ToCp1252(text.toStdString());
        const std::string w = q7::utf8ToCp1252(word.toStdString());
        QCOMPARE(q7::wordOccurs(t, w), match);
    }

    // The fast matcher agrees with the plain definition on many random texts and words.
    void wordMatchAgreesWithThePlainDefinition() {
        std::uint32_t seed = 7;
        auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
        const char alphabet[] = "aAbBzZ{`@[\xE9\xC9 ";
        for (int round = 0; round < 20000; ++round) {
            std::string text(next() % 256, ' '), word(1 + next() % 6, ' ');
            for (char& c : text)
                c = alphabet[next() % (sizeof alphabet - 1)];
            for (char& c : word)
                c = alphabet[next() % (sizeof alphabet - 1)];
            if (next() % 3 == 0 && text.size() >= word.size()) // plant it, maybe at the end
                text.replace(next() % (text.size() - word.size() + 1), word.size(), word);
            const std::string t = q7::foldAsciiUpper(text), w = q7::foldAsciiUpper(word);
            const bool expected = !text.empty() && t.find(w) != std::string::npos;
            QVERIFY2(q7::wordOccurs(text, word) == expected, (text + " / " + word).c_str());
            // In place in a record, with stray bytes after the text that must not count.
            q7::Fiche f;
            for (auto& b : f.bytes)
                b = static_cast<unsigned char>(alphabet[next() % (sizeof alphabet - 1)]);
            const q7::Field field = text.size() <= 55 ? Field::titre : Field::notes;
            f.setText(field, text);
            QVERIFY2(q7::WordMatcher(word)(f, field) == (expected && text.size() <= 255),
                     (text + " / " + word).c_str());
        }
    }

    void browsingOneRecord() {
        AppFixture app({rec(1, "Seul")});
        app.start();
        auto& u = app.ui();
        app.trigger("menuliste");
        QCOMPARE(u.edtnbfiche->text(), QString("1/1"));
        QCOMPARE(u.lblinfo->text(), QString("Recherche par liste"));
        QCOMPARE(u.cbtitre->currentText(), QString("Seul"));
        QCOMPARE(app.state().criterion, q7::Criterion::ListBrowsing);
        const struct {
            QAbstractButton* b;
            const char* box;
        } steps[] = {
            {u.spbsuivant, "information:Fin de la liste"},
            {u.spbprecedent, "information:Debut de la liste"},
            {u.spbdebut, "information:Debut de la liste"},
            {u.spbfin, "information:Fin de la liste"},
        };
        for (const auto& s : steps) {
            app.dialogs().clear();
            click(s.b);
            QCOMPARE(app.dialogs().log, QStringList({"info-sound", s.box}));
            QCOMPARE(u.edtnbfiche->text(), QString("1/1"));
            QCOMPARE(app.state().data.position(), 1);
        }
    }

    void previousFromTheSecond() {
        AppFixture app({rec(1, "A"), rec(2, "B"), rec(3, "C")});
        app.start();
        app.trigger("menuliste");
        click(app.ui().spbsuivant);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("2/3"));
        click(app.ui().spbprecedent);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("1/3"));
        QCOMPARE(app.ui().cbtitre->currentText(), QString("A"));
        QVERIFY(app.dialogs().log.isEmpty());
    }

    void threeMatchesThenTheEnd() {
        AppFixture app({rec(1, "", "Zola"), rec(2, "", "Hugo"), rec(3, "", "Hugo"),
                        rec(4, "", "Sand"), rec(5, "", "Hugo"), rec(6, "", "Dumas")});
        app.fakes->settings.set("confirmemod", "0");
        app.start();
        auto& u = app.ui();
        app.trigger("Auteur");
        QCOMPARE(u.lblinfo->text(), QString("Recherche par auteur"));
        QVERIFY(u.cbauteur->isEnabled() && u.lblauteur->isEnabled() && !u.cbtitre->isEnabled());
        QVERIFY(u.spbsuivant->isEnabled() && !u.spbprecedent->isEnabled());
        u.cbauteur->setEditText("Hugo");
        const QStringList positions = {"2/6", "3/6", "5/6"};
        for (int i = 0; i < 3; ++i) {
            click(i == 0 ? static_cast<QAbstractButton*>(u.btbchercher) : u.spbsuivant);
            QCOMPARE(u.edtnbfiche->text(), positions[i]);
            QCOMPARE(u.edtcptfiche->text(), QString::number(i + 1));
            QVERIFY(!u.btbchercher->isEnabled());
        }
        QVERIFY(app.dialogs().log.isEmpty());
        click(u.spbsuivant);
        QCOMPARE(app.dialogs().log, QStringList({"beep", "information:Pas ou plus  d'occurance"}));
        QCOMPARE(u.edtcptfiche->text(), QString("3"));
        QCOMPARE(u.edtnbfiche->text(), QString("5/6"));
        QCOMPARE(app.state().data.position(), 5);
        QVERIFY(u.menuChercher->isEnabled()); // still search mode
        // A save now writes the shown record back in its own place.
        u.cbtitre->setEditText("Les Misérables");
        app.trigger("menuEnregistrer");
        const auto records = app.records();
        QCOMPARE(records.size(), std::size_t(6));
        QCOMPARE(records[4].text(Field::titre), q7::lit("Les Misérables"));
        QCOMPARE(records[4].text(Field::numero), std::string("5"));
        QCOMPARE(records[5].text(Field::titre), std::string());
    }

    void criteria_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("found"); // references found, in order
        QTest::newRow("subject is whole and case-sensitive") << "Sujet"
                                                             << "cbsujet"
                                                             << "roman"
                                                             << "Recherche par sujet"
                                                             << "1";
        QTest::newRow("empty control finds empty fields") << "Sujet"
                                                          << "cbsujet"
                                                          << ""
                                                          << "Recherche par sujet"
                                                          << "4";
        QTest::newRow("origin of 42 matches nothing")
            << "menuorigine"
            << "cborigine" << QString(42, u'o') << "Recherche par mot clés"
            << "";
        QTest::newRow("origin of 35")
            << "menuorigine"
            << "cborigine" << QString(35, u'o') << "Recherche par mot clés"
            << "3";
        QTest::newRow("reference") << "Numero"
                                   << "edtnumero"
                                   << "2"
                                   << "Recherche par reference"
                                   << "2";
        QTest::newRow("isbn") << "ISBN"
                              << "edtisbn"
                              << "978"
                              << "Recherche par ISBN"
                              << "2";
        QTest::newRow("user text") << "menutxtutil"
                                   << "cbutilisateur"
                                   << "clé"
                                   << "Recherche par Mots clés"
                                   << "3";
        QTest::newRow("position 2") << "pos2"
                                    << "cbpos2"
                                    << "B"
                                    << "Recherche par position 2"
                                    << "1,2";
        QTest::newRow("check ticked") << "menucocheutil"
                                      << "ckbutilisateur"
                                      << "1"
                                      << "Recherche par Annoté"
                                      << "2";
        QTest::newRow("check clear") << "menucocheutil"
                                     << "ckbutilisateur"
                                     << "0"
                                     << "Recherche par Annoté"
                                     << "1,4"; // a byte of 2 is neither
        QTest::newRow("multi positions") << "menumulpos"
                                         << "cbpos1"
                                         << "A"
                                         << "Recherche par mutlti position"
                                         << "3";
        QTest::newRow("oversized length byte")
            << "Titres"
            << "cbtitre" << QString(55, u't') << "Recherche par titre"
            << "4";
    }
    void criteria() {
        QFETCH(QString, item);
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(QString, status);
        QFETCH(QString, found);
        std::vector<q7::Fiche> records = {
            rec(1)
                .set(Field::sujet, "roman")
                .set(Field::pos2, "B")
                .set(Field::pos1, "A")
                .set(Field::pos3, "x"),
            rec(2)
                .set(Field::sujet, "Roman")
                .set(Field::isbn, "978")
                .set(Field::pos2, "B")
                .flag(q7::Flag::cocheutil),
            rec(3)
                .set(Field::sujet, "roman policier")
                .set(Field::origine, std::string(35, 'o'))
                .set(Field::txtutil, "clé")
                .set(Field::pos1, "A")
                .flag(q7::Flag::cocheutil, 2),
            rec(4).set(Field::titre, std::string(60, 't')),
        };
        records[3].bytes[0] = 200; // a length byte beyond the field
        AppFixture app(records);
        app.start();
        app.trigger(item.toLatin1().constData());
        QCOMPARE(app.ui().lblinfo->text(), status);
        QWidget* c = app.w().findChild<QWidget*>(control);
        QVERIFY(c->isEnabled());
        QCOMPARE(QApplication::focusWidget() == c || c->isAncestorOf(QApplication::focusWidget()),
                 true);
        if (auto* cb = qobject_cast<QComboBox*>(c)) cb->setEditText(value);
        if (auto* e = qobject_cast<QLineEdit*>(c)) e->setText(value);
        if (auto* k = qobject_cast<QCheckBox*>(c)) k->setChecked(value == "1");
        if (item == "menumulpos") {
            QVERIFY(app.ui().cbpos4->isEnabled() && app.ui().lblpos4->isEnabled());
            for (auto* cb : {app.ui().cbpos2, app.ui().cbpos3, app.ui().cbpos4})
                cb->setEditText("");
        }
        QStringList refs;
        for (int guard = 0; guard < 10; ++guard) {
            app.dialogs().clear();
            app.trigger("menuChercher");
            if (app.ui().edtcptfiche->text().toInt() > refs.size())
                refs << app.ui().edtnumero->text();
            if (!app.dialogs().log.isEmpty()) break;
        }
        QCOMPARE(refs.join(','), found);
        QCOMPARE(app.ui().lblinfo->text() == "Menu principal", found.isEmpty());
    }

    void onlyMatchIsTheLast() {
        AppFixture app({rec(1, "a"), rec(2, "b")});
        app.start();
        app.trigger("Titres");
        app.ui().cbtitre->setEditText("b");
        app.trigger("menuChercher");
        QCOMPARE(app.ui().edtcptfiche->text(), QString("1"));
        QCOMPARE(app.ui().edtnbfiche->text(), QString("2/2"));
        QCOMPARE(app.dialogs().boxes(), QStringList{"information:Pas ou plus  d'occurance"});
        QVERIFY(app.ui().menuChercher->isEnabled());
    }

    void rank_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("box");
        QTest::newRow("1") << "1"
                           << "1/3"
                           << "";
        QTest::newRow("N") << "3"
                           << "3/3"
                           << "information:Pas ou plus  d'occurance";
        QTest::newRow("N+1") << "4"
                             << "0"
                             << "information:Pas ou plus  d'occurance";
        QTest::newRow("0") << "0"
                           << "0"
                           << "information:Pas ou plus  d'occurance";
        QTest::newRow("over-long") << "99999999999"
                                   << "99999999999"
                                   << "error:'99999999999' n'est pas une valeur entière correcte.";
        QTest::newRow("empty") << ""
                               << ""
                               << "error:'' n'est pas une valeur entière correcte.";
    }
    void rank() {
        QFETCH(QString, typed);
        QFETCH(QString, counter);
        QFETCH(QString, box);
        AppFixture app({rec(1), rec(2), rec(3)});
        app.start();
        auto& u = app.ui();
        app.trigger("menuRang");
        QCOMPARE(u.edtnbfiche->text(), QString("1"));
        QVERIFY(!u.edtnbfiche->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(u.edtnbfiche));
        u.edtnbfiche->clear();
        typeText(u.edtnbfiche, "a");
        QCOMPARE(app.dialogs().log, QStringList{"beep"});
        QCOMPARE(u.edtnbfiche->text(), QString());
        app.dialogs().clear();
        u.edtnbfiche->setText(typed);
        app.trigger("menuChercher");
        QCOMPARE(u.edtnbfiche->text(), counter);
        QCOMPARE(app.dialogs().boxes().join('|'), box);
        QVERIFY(u.edtnbfiche->isReadOnly());
        if (typed == "1") QVERIFY(!u.spbsuivant->isEnabled());
        if (typed == "4" || typed == "0") QCOMPARE(u.lblinfo->text(), QString("Menu principal"));
    }

    // Tab reaches the field buttons at the ticked one only, whichever it is.
    void tabReachesTheTickedField_data() {
        QTest::addColumn<QString>("ticked");
        for (const char* name : {"rbtitre", "rbnotes", "rbutilisateur"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void tabReachesTheTickedField() {
        QFETCH(QString, ticked);
        AppFixture app;
        app.start();
        auto* dialog = app.program->windows().recmot;
        dialog->show();
        click(dialog->findChild<QRadioButton*>(ticked));
        dialog->ui().edtrecmot->setFocus(Qt::OtherFocusReason);
        QSet<QString> radios;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            if (auto* rb = qobject_cast<QRadioButton*>(dialog->focusWidget()))
                radios << rb->objectName();
        }
        QCOMPARE(radios, QSet<QString>{ticked});
        QTest::keyClick(dialog->ui().edtrecmot, Qt::Key_Backtab);
        QCOMPARE(dialog->focusWidget()->objectName(), ticked);
        dialog->hide();
    }

    void wordSearchThroughTheDialog() {
        AppFixture app({rec(1, "Un Roman"), rec(2, "L'été").set(Field::notes, "roman"),
                        rec(3, "le roman noir")});
        app.start();
        auto* dialog = app.program->windows().recmot;
        app.fakes->modal.script("TFormrecmot", [&](QDialog&) {
            QVERIFY(dialog->ui().rbtitre->isChecked());
            dialog->ui().edtrecmot->setText("ROMAN");
            click(dialog->ui().btcherchermot);
        });
        app.trigger("menumot");
        QCOMPARE(app.ui().lblinfo->text(), QString("Recherche par mot"));
        QCOMPARE(app.state().criterion, q7::Criterion::Word);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("1/3"));
        QVERIFY(!dialog->isVisible());
        QTest::keyClick(&app.w(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(app.ui().edtnbfiche->text(), QString("3/3"));
        QCOMPARE(app.ui().edtcptfiche->text(), QString("2"));
        // The notes, chosen by their button; the word stays typed for the next use.
        app.fakes->modal.script("TFormrecmot", [&](QDialog&) {
            QCOMPARE(dialog->ui().edtrecmot->text(), QString("ROMAN"));
            click(dialog->ui().rbnotes);
            click(dialog->ui().btcherchermot);
        });
        app.trigger("menumot");
        QCOMPARE(app.ui().edtnbfiche->text(), QString("2/3"));
        // Escape closes without searching; an empty word finds nothing.
        app.fakes->modal.script("TFormrecmot",
                                [&](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
        app.trigger("menumot");
        QCOMPARE(app.state().criterion, q7::Criterion::Word);
        app.fakes->modal.script("TFormrecmot", [&](QDialog&) {
            dialog->ui().edtrecmot->clear();
            click(dialog->ui().btcherchermot);
        });
        app.dialogs().clear();
        app.trigger("menumot");
        QCOMPARE(app.dialogs().boxes(), QStringList{"information:Pas ou plus  d'occurance"});
        QCOMPARE(app.ui().lblinfo->text(), QString("Menu principal"));
    }

    // The dialog's keys act before the event loop runs again: nothing waits on a timer.
    void dialogKeysActAtOnce_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("searched");
        QTest::newRow("Alt+C, the button's letter")
            << int(Qt::Key_C) << int(Qt::AltModifier) << true;
        QTest::newRow("Return, the default button") << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("Alt+A cancels") << int(Qt::Key_A) << int(Qt::AltModifier) << false;
        QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << 0 << false;
    }
    void dialogKeysActAtOnce() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, searched);
        AppFixture app({rec(1, "Un Roman")});
        app.start();
        auto* dialog = app.program->windows().recmot;
        bool hidden = false;
        QStringList boxes;
        app.fakes->modal.script("TFormrecmot", [&](QDialog& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            dialog->ui().edtrecmot->setText("introuvable");
            dialog->ui().edtrecmot->setFocus();
            QTest::keyClick(&d, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            hidden = !d.isVisible();
            boxes = app.dialogs().boxes();
        });
        app.trigger("menumot");
        QVERIFY(hidden);
        QCOMPARE(boxes,
                 searched ? QStringList{"information:Pas ou plus  d'occurance"} : QStringList{});
        QCOMPARE(app.state().criterion, searched ? q7::Criterion::Word : q7::Criterion::None);
        QCOMPARE(app.ui().lblinfo->text(), QString("Menu principal"));
        // The same letter for two buttons only moves the focus between them.
        if (key != Qt::Key_C) return;
        dialog->ui().btannuler->setText("&Cacher");
        app.dialogs().clear();
        app.fakes->modal.script("TFormrecmot", [&](QDialog& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier);
            QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier);
            hidden = !d.isVisible();
        });
        app.trigger("menumot");
        QVERIFY(!hidden);
        QVERIFY(app.dialogs().boxes().isEmpty());
    }

    void emptyCatalogueClosesTheSearchMenu() {
        AppFixture app;
        app.start();
        Q_EMIT app.ui().menuChercherpar->aboutToShow();
        QVERIFY(!app.ui().menuChercherpar->menuAction()->isEnabled());
        app.trigger("menuliste"); // even when reached: nothing is read
        QVERIFY(app.dialogs().boxes().isEmpty());
    }

    // How long it takes is measured by the window benchmark.
    void fruitlessStepOverAFullCatalogueReadsToTheEnd() {
        AppFixture app;
        std::string bytes;
        bytes.reserve(std::size_t(q7::maxRecords) * q7::ficheSize);
        for (int i = 0; i < q7::maxRecords; ++i) {
            const q7::Fiche f =
                rec(i + 1, "Un titre", "Hugo").set(Field::notes, std::string(200, 'n'));
            bytes.append(f.bytes.begin(), f.bytes.end());
        }
        writeBytes(app.dir() + "/Q7.dat", bytes);
        app.start();
        for (const char* criterion : {"Auteur", "menumot"}) {
            app.dialogs().clear();
            if (QByteArray(criterion) == "menumot") {
                app.state().word = {q7::Field::notes, "introuvable"};
                app.fakes->modal.script("TFormrecmot", [&](QDialog&) {
                    app.program->windows().recmot->ui().edtrecmot->setText("introuvable");
                    click(app.program->windows().recmot->ui().rbnotes);
                    click(app.program->windows().recmot->ui().btcherchermot);
                });
                app.trigger("menumot");
            } else {
                app.trigger(criterion);
                app.ui().cbauteur->setEditText("Zola");
                app.trigger("menuChercher");
            }
            // Read to the end: the last record was looked at, nothing was shown.
            QCOMPARE(app.dialogs().boxes(), QStringList{"information:Pas ou plus  d'occurance"});
            QVERIFY(app.state().data.atEnd());
            QCOMPARE(app.ui().lblinfo->text(), QString("Menu principal"));
        }
    }

    void searchButtonWhileBrowsingReadsToTheEnd() {
        AppFixture app({rec(1), rec(2)});
        app.start();
        app.trigger("menuliste");
        app.trigger("spdbchercher");
        QCOMPARE(app.dialogs().boxes(), QStringList{"information:Pas ou plus  d'occurance"});
        QCOMPARE(app.ui().lblinfo->text(), QString("Menu principal"));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
