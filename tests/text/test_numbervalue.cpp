// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"
#include "text/numbervalue.h"

#include <QTest>

class TestNumberValue : public QObject {
    Q_OBJECT
private slots:
    void readsTheLeadingNumber_data();
    void readsTheLeadingNumber();
    void roundsHalfToEvenAndClamps();
};

void TestNumberValue::readsTheLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain digits") << QStringLiteral("20") << 20.0;
    QTest::newRow("letters end the number") << QStringLiteral("12abc") << 12.0;
    QTest::newRow("no number gives 0") << QStringLiteral("abc") << 0.0;
    QTest::newRow("empty text gives 0") << QString() << 0.0;
    QTest::newRow("blank between digits is skipped") << QStringLiteral("2 5") << 25.0;
    QTest::newRow("tab and line feed are skipped") << QStringLiteral("\t1\n0") << 10.0;
    QTest::newRow("carriage return ends it") << QStringLiteral("32\r\n0") << 32.0;
    QTest::newRow("decimal point") << QStringLiteral("2.5") << 2.5;
    QTest::newRow("second point ends it") << QStringLiteral("1.5.7") << 1.5;
    QTest::newRow("negative") << QStringLiteral("-3") << -3.0;
    QTest::newRow("blank after sign") << QStringLiteral("- 3") << -3.0;
    QTest::newRow("exponent") << QStringLiteral("15E2") << 1500.0;
    QTest::newRow("negative exponent") << QStringLiteral("15e-1x") << 1.5;
    QTest::newRow("exponent without digits") << QStringLiteral("7E") << 7.0;
    // Beyond a double's range: the place of the first digit tells too small from too large.
    const QString zeros(400, u'0');
    QTest::newRow("far below one") << QStringLiteral("0.%1"
                                                     "1")
                                          .arg(zeros)
                                   << 0.0;
    QTest::newRow("far below one, negative") << QStringLiteral("-0.%1"
                                                               "7")
                                                    .arg(zeros)
                                             << 0.0;
    QTest::newRow("many digits, shrunk by the exponent")
        << QStringLiteral("1%1e-1").arg(zeros) << qInf();
    QTest::newRow("huge exponent") << QStringLiteral("2e99999999999999999999") << qInf();
    QTest::newRow("tiny exponent") << QStringLiteral("2e-99999999999999999999") << 0.0;
    QTest::newRow("exponent of many zeros") << QStringLiteral("0.%1"
                                                              "2e%1")
                                                   .arg(zeros)
                                            << 0.0;
    QTest::newRow("hexadecimal") << QStringLiteral("&H10") << 16.0;
    QTest::newRow("hexadecimal letters") << QStringLiteral("&hff") << 255.0;
    QTest::newRow("octal") << QStringLiteral("&O17") << 15.0;
    QTest::newRow("ampersand alone") << QStringLiteral("&X1") << 0.0;
    QTest::newRow("word before number") << QStringLiteral("POP3 ") << 0.0;
    QTest::newRow("non-ASCII digits are no digits") << QStringLiteral("\u0663") << 0.0;
}

void TestNumberValue::readsTheLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(numberValue(text), expected);
}

void TestNumberValue::roundsHalfToEvenAndClamps()
{
    QCOMPARE(roundHalfEven<qint16>(2.5), qint16(2));
    QCOMPARE(roundHalfEven<qint16>(3.5), qint16(4));
    QCOMPARE(roundHalfEven<qint16>(-2.5), qint16(-2));
    QCOMPARE(roundHalfEven<qint16>(2.51), qint16(3));
    QCOMPARE(roundHalfEven<qint16>(40000), qint16(32767));
    QCOMPARE(roundHalfEven<qint16>(-40000), qint16(-32768));
    QCOMPARE(roundHalfEven<qint32>(1e300), qint32(2147483647));
    QCOMPARE(roundHalfEven<qint32>(numberValue(u"1E999")), qint32(2147483647));
    QCOMPARE(roundHalfEven<qint32>(std::nan("")), qint32(0));
}

TARVOLK_TEST(TestNumberValue);
#include "test_numbervalue.moc"
