// List files at their limits: very many lines, very long lines, unreadable files and
// failing writes, through the record window and the list manager.
#include "ListTestSupport.h"

#include <unistd.h>

class TestListFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hundredThousandLines() {
        AppFixture app;
        std::string file;
        QStringList expected;
        for (int i = 0; i < 100000; ++i) {
            const std::string v = "v" + std::to_string(100000 + (i * 7919) % 100000);
            file += v + (i % 2 ? "\n" : "\r\n");
        }
        writeBytes(app.dir() + "/Q7sujet.lst", file);
        app.start();
        app.trigger("menuNouvelle");
        const QStringList offered = app.ui().cbsujet->values();
        QCOMPARE(offered.size(), 100000);
        QCOMPARE(offered.first(), QString("v100000"));
        QCOMPARE(offered.last(), QString("v199999"));
        app.trigger("menuRetour");
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            choose(u, 2);
            QCOMPARE(u.lstbliste->count(), 100000);
            u.btenregistrer->click();
        });
        std::string saved;
        for (int i = 0; i < 100000; ++i)
            saved += "v" + std::to_string(100000 + i) + "\r\n";
        QVERIFY(readBytes(app.dir() + "/Q7sujet.lst") == saved);
    }

    void oneLineOfAMegabyte() {
        AppFixture app;
        const std::string line(1 << 20, 'x');
        writeBytes(app.dir() + "/Q7titre.lst", line + "\r\nb");
        app.start();
        app.trigger("menuNouvelle");
        QCOMPARE(app.ui().cbtitre->count(), 2);
        QCOMPARE(app.ui().cbtitre->itemText(1).size(), qsizetype(1 << 20));
        app.ui().cbtitre->setEditText("a");
        app.trigger("institre");
        QVERIFY(readBytes(app.dir() + "/Q7titre.lst") == "a\r\nb\r\n" + line + "\r\n");
        QCOMPARE(app.ui().cbtitre->count(), 3);
    }

    void highBytesShownAsTheirCharacters() {
        AppFixture app;
        std::string value;
        for (int b = 0x80; b <= 0x9F; ++b)
            value += char(b);
        writeBytes(app.dir() + "/Q7imprimeur.lst", value + "\r\n");
        app.start();
        app.trigger("menuNouvelle");
        const QString shown = app.ui().cbimprimeur->itemText(0);
        QCOMPARE(shown.size(), 32);
        QCOMPARE(shown.left(3), QString::fromUtf8("€\u0081‚"));
        QCOMPARE(shown.right(1), QString::fromUtf8("Ÿ"));
        app.ui().cbimprimeur->setEditText(shown);
        app.trigger("insImprimeurs");
        QVERIFY(readBytes(app.dir() + "/Q7imprimeur.lst") == value + "\r\n" + value + "\r\n");
    }

    // Values after a NUL are not offered, but rewriting the list keeps those bytes, as
    // they were, after the values written.
    void bytesAfterANulSurviveARewrite_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("inManager"); // else "Inserer dans liste" with "Hugo"
        QTest::addColumn<QByteArray>("written");
        const QByteArray hidden("\0Balzac\r\nSand\r\n", 15);
        QTest::newRow("insert") << QByteArray("Zola\r\n") + hidden << false
                                << QByteArray("Hugo\r\nZola\r\n") + hidden;
        QTest::newRow("list manager")
            << QByteArray("Zola\r\n") + hidden << true << QByteArray("Zola\r\n") + hidden;
        QTest::newRow("NUL first") << hidden << false << QByteArray("Hugo\r\n") + hidden;
        QTest::newRow("line cut by the NUL") << QByteArray("Zola\r\nVer") + hidden << false
                                             << QByteArray("Hugo\r\nVer\r\nZola\r\n") + hidden;
        QTest::newRow("NUL last") << QByteArray("Zola\0", 5) << false
                                  << QByteArray("Hugo\r\nZola\r\n\0", 13);
    }
    void bytesAfterANulSurviveARewrite() {
        QFETCH(QByteArray, file);
        QFETCH(bool, inManager);
        QFETCH(QByteArray, written);
        AppFixture app;
        writeBytes(app.dir() + "/Q7auteur.lst", file.toStdString());
        app.start();
        if (inManager) {
            inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
                choose(u, 1);
                u.btenregistrer->click();
            });
        } else {
            app.trigger("menuNouvelle");
            app.ui().cbauteur->setEditText(QStringLiteral("Hugo"));
            app.trigger("insauteur");
            QVERIFY(!app.ui().cbauteur->values().contains(QStringLiteral("Balzac")));
        }
        QCOMPARE(QByteArray::fromStdString(readBytes(app.dir() + "/Q7auteur.lst")), written);
        QCOMPARE(app.dialogs().boxes(), QStringList());
    }

    // A list that cannot be read stops the command with the error box; nothing else.
    void unreadableList_data() {
        QTest::addColumn<bool>("realPermission");
        QTest::newRow("no read permission") << true;
        QTest::newRow("failing read") << false;
    }
    void unreadableList() {
        QFETCH(bool, realPermission);
        if (realPermission && ::geteuid() == 0) QSKIP("root reads any file");
        AppFixture app;
        writeBytes(app.dir() + "/Q7auteur.lst", "Zola\r\n");
        app.start();
        if (realPermission)
            QFile::setPermissions(app.path("Q7auteur.lst"), QFileDevice::WriteOwner);
        else {
            app.fs.onlyFor("Q7auteur.lst");
            app.fs.failNth(FaultyFileSystem::Op::Read, 1, 13 /* EACCES */);
        }
        inListManager(app, [](TFormliste&, Ui::TFormliste& u) {
            choose(u, 1);
            QCOMPARE(u.lstbliste->count(), 0);
            u.btenregistrer->click(); // nothing loaded: refused, the file stays
        });
        if (!realPermission) app.fs.failNth(FaultyFileSystem::Op::Read, 1, 13);
        app.ui().cbauteur->setEditText("Hugo");
        app.trigger("menuNouvelle");
        app.fs.reset();
        QFile::setPermissions(app.path("Q7auteur.lst"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(app.dialogs().boxes(),
                 QStringList({"error:Accès refusé.",
                              "message:Aucune liste n'est chargée : choisissez d'abord une liste "
                              "avec « Choisir ».",
                              "error:Accès refusé."}));
        QCOMPARE(readBytes(app.dir() + "/Q7auteur.lst"), std::string("Zola\r\n"));
    }

    // Saving in the list manager never leaves the list empty or cut short.
    void failedSaveKeepsTheFile_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("create") << int(FaultyFileSystem::Op::Open) << false;
        QTest::newRow("write") << int(FaultyFileSystem::Op::Write) << false;
        QTest::newRow("sync") << int(FaultyFileSystem::Op::Sync) << false;
        QTest::newRow("rename") << int(FaultyFileSystem::Op::Rename) << false;
        QTest::newRow("disk full") << 0 << true;
    }
    void failedSaveKeepsTheFile() {
        QFETCH(int, op);
        QFETCH(bool, diskFull);
        AppFixture app;
        writeBytes(app.dir() + "/Q7pos1.lst", "Cave\r\nGrenier\r\n");
        app.start();
        inListManager(app, [&](TFormliste&, Ui::TFormliste& u) {
            choose(u, 11);
            insertValue(u, "Salon");
            app.fs.onlyFor("Q7pos1.lst");
            if (diskFull)
                app.fs.diskFullAfter(10);
            else
                app.fs.failNth(FaultyFileSystem::Op(op), 1);
            u.btenregistrer->click();
            app.fs.reset();
            QVERIFY(u.btenregistrer->isEnabled()); // the user can try again
            QCOMPARE(lines(u.lstbliste), QStringList({"Cave", "Grenier", "Salon"}));
            QCOMPARE(readBytes(app.dir() + "/Q7pos1.lst"), std::string("Cave\r\nGrenier\r\n"));
            u.btenregistrer->click();
        });
        QCOMPARE(app.dialogs().boxes(),
                 QStringList{diskFull ? "error:Disque plein." : "error:Erreur E/S 5."});
        QCOMPARE(readBytes(app.dir() + "/Q7pos1.lst"), std::string("Cave\r\nGrenier\r\nSalon\r\n"));
        QVERIFY(!QFile::exists(app.path("Q7pos1.lst.tmp")));
    }
};

QTEST_MAIN(TestListFiles)
#include "tst_listfiles.moc"
