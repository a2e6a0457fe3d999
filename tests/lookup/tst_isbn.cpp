// ISBN forms, check digits and the range file's groups and ranges.
#include "lookup/Isbn.h"

#include <QTest>

using namespace q7;

class TestIsbn : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valid_data();
    void valid();
    void refused_data();
    void refused();
    void answersInAnyForm_data();
    void answersInAnyForm();
};

void TestIsbn::valid_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("isbn13");
    QTest::addColumn<QString>("isbn10");
    QTest::addColumn<QString>("hyphenated");
    // The recorded answers' books.
    QTest::newRow("BnF") << "9782824627151"
                         << "9782824627151"
                         << "2824627158"
                         << "978-2-8246-2715-1";
    QTest::newRow("ISBN-10 ending in X") << "2-7028-6550-X"
                                         << "9782702865507"
                                         << "270286550X"
                                         << "978-2-7028-6550-7";
    QTest::newRow("lower-case x") << "270286550x"
                                  << "9782702865507"
                                  << "270286550X"
                                  << "978-2-7028-6550-7";
    QTest::newRow("ISBN-10 only") << "2952221707"
                                  << "9782952221702"
                                  << "2952221707"
                                  << "978-2-9522217-0-2";
    QTest::newRow("leading zero") << "0060273224"
                                  << "9780060273224"
                                  << "0060273224"
                                  << "978-0-06-027322-4";
    QTest::newRow("spaces") << " 978 2 07 036002 4 "
                            << "9782070360024"
                            << "2070360024"
                            << "978-2-07-036002-4";
    QTest::newRow("three-digit publisher") << "9782266162777"
                                           << "9782266162777"
                                           << "2266162772"
                                           << "978-2-266-16277-7";
    QTest::newRow("four-digit publisher") << "9782813206596"
                                          << "9782813206596"
                                          << "2813206598"
                                          << "978-2-8132-0659-6";
    // The range file's edges.
    QTest::newRow("978-2 five, first") << "9782350000008"
                                       << "9782350000008"
                                       << "2350000001"
                                       << "978-2-35000-000-8";
    QTest::newRow("978-2 six, first") << "9782487000001"
                                      << "9782487000001"
                                      << "2487000007"
                                      << "978-2-487000-00-1";
    QTest::newRow("978-2 six, last") << "9782494999992"
                                     << "9782494999992"
                                     << "2494999995"
                                     << "978-2-494999-99-2";
    QTest::newRow("979-10 first") << "9791000000008"
                                  << "9791000000008"
                                  << ""
                                  << "979-10-00-00000-8";
    QTest::newRow("979-10 last") << "9791099999993"
                                 << "9791099999993"
                                 << ""
                                 << "979-10-999999-9-3";
    QTest::newRow("five-digit group") << "9789993799993"
                                      << "9789993799993"
                                      << "9993799998"
                                      << "978-99937-999-9-3";
    QTest::newRow("group with holes") << "9786999050004"
                                      << "9786999050004"
                                      << "6999050007"
                                      << "978-69990-50-00-4";
    QTest::newRow("after the hole") << "9786999099409"
                                    << "9786999099409"
                                    << "6999099405"
                                    << "978-69990-994-0-9";
}

void TestIsbn::valid() {
    QFETCH(QString, typed);
    const isbn::Checked c = isbn::check(typed.toStdString());
    QVERIFY2(c.valid, c.message.c_str());
    QTEST(QString::fromStdString(c.isbn13), "isbn13");
    QTEST(QString::fromStdString(c.isbn10), "isbn10");
    QTEST(QString::fromStdString(c.hyphenated), "hyphenated");
}

void TestIsbn::refused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "  "
                           << "Tapez d'abord l'ISBN du livre (10 ou 13 chiffres).";
    QTest::newRow("X on an ISBN-13")
        << "978207036002X"
        << "L'ISBN 978207036002X est incorrect : la clé devrait être 4.";
    QTest::newRow("ISBN-10 key") << "2070360025"
                                 << "L'ISBN 2070360025 est incorrect : la clé devrait être 4.";
    QTest::newRow("ISBN-10 key X") << "2-7028-6550-0"
                                   << "L'ISBN 2702865500 est incorrect : la clé devrait être X.";
    QTest::newRow("letter") << "97820A0360024"
                            << "L'ISBN « 97820A0360024 » ne doit contenir que des chiffres (et X "
                               "comme dernier caractère d'un ISBN à 10 chiffres).";
    QTest::newRow("length") << "12345"
                            << "L'ISBN « 12345 » a 5 caractères : un ISBN en a 10 ou 13.";
    QTest::newRow("not a book")
        << "1234567890128"
        << "L'ISBN 1234567890128 ne commence ni par 978 ni par 979 : ce n'est "
           "pas un ISBN.";
    QTest::newRow("no such group") << "9786990000008"
                                   << "L'ISBN 9786990000008 n'appartient à aucun groupe attribué "
                                      "(table des tranches ISBN du 24/07/2026).";
    QTest::newRow("music, not books") << "9790000000001"
                                      << "L'ISBN 9790000000001 n'appartient à aucun groupe "
                                         "attribué (table des tranches ISBN du 24/07/2026).";
    QTest::newRow("range not in use")
        << "9781060000001"
        << "L'ISBN 9781060000001 tombe dans une tranche non attribuée du "
           "groupe 978-1 (table des tranches ISBN du 24/07/2026).";
    QTest::newRow("whole group unused")
        << "9786110000000"
        << "L'ISBN 9786110000000 tombe dans une tranche non attribuée du "
           "groupe 978-611 (table des tranches ISBN du 24/07/2026).";
    QTest::newRow("979-12 start unused")
        << "9791200000006"
        << "L'ISBN 9791200000006 tombe dans une tranche non attribuée du "
           "groupe 979-12 (table des tranches ISBN du 24/07/2026).";
    QTest::newRow("hole in a group")
        << "9786999000009"
        << "L'ISBN 9786999000009 tombe dans une tranche non attribuée du "
           "groupe 978-69990 (table des tranches ISBN du 24/07/2026).";
}

void TestIsbn::refused() {
    QFETCH(QString, typed);
    const isbn::Checked c = isbn::check(typed.toStdString());
    QVERIFY(!c.valid);
    QTEST(QString::fromStdString(c.message), "message");
}

void TestIsbn::answersInAnyForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");
    QTest::newRow("hyphenated 13") << "978-2-8246-2715-1"
                                   << "9782824627151";
    QTest::newRow("hyphenated 10") << "2-7028-6551-8"
                                   << "9782702865514";
    QTest::newRow("wrong key") << "2-7028-6551-9"
                               << "";
    QTest::newRow("not an ISBN") << "Code à barres"
                                 << "";
    QTest::newRow("EAN of another kind") << "3760123456786"
                                         << "";
}

void TestIsbn::answersInAnyForm() {
    QFETCH(QString, text);
    QTEST(QString::fromStdString(isbn::digits13(text.toStdString())), "digits");
}

QTEST_GUILESS_MAIN(TestIsbn)
#include "tst_isbn.moc"
