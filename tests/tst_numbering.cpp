// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "numbering.h"
#include "testutil.h"

#include <vector>

class TestNumbering : public QObject
{
    Q_OBJECT
private slots:
    void checkDigit_data();
    void checkDigit();
    void checkDigitMatchesIndependentLuhn();
    void toInt_data();
    void toInt();
    void toInt64Range();
    void focusAdvance_data();
    void focusAdvance();
    void completeness();
};

static std::vector<int> digitsOf(const QString &s)
{
    std::vector<int> d;
    for (QChar c : s)
        d.push_back(c.unicode() - '0');
    return d;
}

void TestNumbering::checkDigit_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("expected");
    QTest::newRow("wagon 21 80 2345 123") << "21802345123" << 8;
    QTest::newRow("wagon zeros") << "00000000000" << 0;
    QTest::newRow("wagon nines") << "99999999999" << 1;
    QTest::newRow("wagon 51 54 0000 001") << "51540000001" << 1;
    QTest::newRow("loco 754 001") << "754001" << 6;
    QTest::newRow("loco 750 001 sum ten") << "750001" << 0;
    QTest::newRow("loco 163 001") << "163001" << 1;
    QTest::newRow("loco 999 999") << "999999" << 6;
    QTest::newRow("loco zeros") << "000000" << 0;
    QTest::newRow("run 754002") << "754002" << 4;
    QTest::newRow("run 754003") << "754003" << 2;
    QTest::newRow("run 21802345001") << "21802345001" << 6;
    QTest::newRow("run 21802345002") << "21802345002" << 4;
    QTest::newRow("run 21802345003") << "21802345003" << 2;
}

void TestNumbering::checkDigit()
{
    QFETCH(QString, digits);
    QFETCH(int, expected);
    const std::vector<int> d = digitsOf(digits);
    QCOMPARE(numbering::kontrolni_cislice(d), expected);
    QCOMPARE(numbering::checkDigitOf(digits), expected);
}

// The Luhn rule written the textbook way: the number with its check digit
// appended must sum to a multiple of ten.
void TestNumbering::checkDigitMatchesIndependentLuhn()
{
    for (const QString prefix : {QStringLiteral("754"), QStringLiteral("31540087")}) {
        for (int serial = 0; serial < 1000; ++serial) {
            const QString digits = prefix + QStringLiteral("%1").arg(serial, 3, 10, QLatin1Char('0'));
            const int check = numbering::kontrolni_cislice(digitsOf(digits));
            const QString full = digits + QString::number(check);
            int sum = 0;
            for (int i = 0; i < full.size(); ++i) {
                int v = full[full.size() - 1 - i].unicode() - '0';
                if (i % 2 == 1) {
                    v *= 2;
                    if (v > 9)
                        v = v / 10 + v % 10;
                }
                sum += v;
            }
            QVERIFY2(sum % 10 == 0, qPrintable(full));
        }
    }
}

void TestNumbering::toInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << "21" << true << 21;
    QTest::newRow("leading zero") << "05" << true << 5;
    QTest::newRow("leading blanks") << "  12" << true << 12;
    QTest::newRow("minus") << "-12" << true << -12;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank only") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
    QTest::newRow("letter") << "7a4" << false << 0;
    QTest::newRow("placeholder") << "XX" << false << 0;
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("underflow") << "-2147483649" << false << 0;
    QTest::newRow("huge") << "99999999999999999999999" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("arabic-indic digit") << QString::fromUtf16(u"\u0661\u0662") << false << 0;
    QTest::newRow("two signs") << "--1" << false << 0;
    QTest::newRow("tab") << "\t1" << false << 0;
}

void TestNumbering::toInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::optional<int> result = numbering::toInt(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void TestNumbering::toInt64Range()
{
    QCOMPARE(numbering::toInt64(QStringLiteral("99999999999")).value_or(-1), Q_INT64_C(99999999999));
    QCOMPARE(numbering::toInt64(QStringLiteral("9223372036854775807")).value_or(-1),
             std::numeric_limits<qint64>::max());
    QVERIFY(!numbering::toInt64(QStringLiteral("9223372036854775808")));
    QVERIFY(!numbering::toInt64(QStringLiteral("Databáze vo")));
}

void TestNumbering::focusAdvance_data()
{
    using numbering::Advance;
    using numbering::Field;
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("vozy");
    QTest::addColumn<int>("target");
    QTest::newRow("rezim 2 vozy") << int(Field::Rezim) << 2 << true << int(Advance::Vlastnik);
    QTest::newRow("rezim 2 loko") << int(Field::Rezim) << 2 << false << int(Advance::None);
    QTest::newRow("rezim 3 loko") << int(Field::Rezim) << 3 << false << int(Advance::Vlastnik);
    QTest::newRow("rezim 3 vozy") << int(Field::Rezim) << 3 << true << int(Advance::None);
    QTest::newRow("vlastnik 2 vozy") << int(Field::Vlastnik) << 2 << true << int(Advance::Charakteristika);
    QTest::newRow("vlastnik 3 loko") << int(Field::Vlastnik) << 3 << false << int(Advance::Zadano);
    QTest::newRow("vlastnik 1") << int(Field::Vlastnik) << 1 << true << int(Advance::None);
    QTest::newRow("charakteristika 4") << int(Field::Charakteristika) << 4 << true << int(Advance::Evidence);
    QTest::newRow("charakteristika 5") << int(Field::Charakteristika) << 5 << true << int(Advance::None);
    QTest::newRow("evidence 3") << int(Field::Evidence) << 3 << true << int(Advance::Zadano);
    QTest::newRow("evidence 2") << int(Field::Evidence) << 2 << true << int(Advance::None);
}

void TestNumbering::focusAdvance()
{
    QFETCH(int, field);
    QFETCH(int, length);
    QFETCH(bool, vozy);
    QFETCH(int, target);
    QCOMPARE(int(numbering::focusAdvance(numbering::Field(field), length, vozy)), target);
}

void TestNumbering::completeness()
{
    QVERIFY(!numbering::locomotiveFieldComplete(QStringLiteral("12"), 12));
    QVERIFY(numbering::locomotiveFieldComplete(QStringLiteral("007"), 7));
    QVERIFY(numbering::locomotiveFieldComplete(QStringLiteral("-12"), -12)); // three characters
    QVERIFY(!numbering::wagonFieldComplete(QStringLiteral("5"), 5, 10));
    QVERIFY(numbering::wagonFieldComplete(QStringLiteral("05"), 5, 10));
    QVERIFY(numbering::wagonFieldComplete(QStringLiteral("0"), 0, 10));
    QVERIFY(!numbering::wagonFieldComplete(QStringLiteral("123"), 123, 1000));
    QVERIFY(numbering::wagonFieldComplete(QStringLiteral("012"), 12, 1000));
}

TRAKVID_TEST_MAIN(TestNumbering)
#include "tst_numbering.moc"
