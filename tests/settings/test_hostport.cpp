// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/hostport.h"
#include "testsupport/testregistry.h"

#include <QTest>

class TestHostPort : public QObject {
    Q_OBJECT
private slots:
    void splitsHostAndPort_data();
    void splitsHostAndPort();
};

void TestHostPort::splitsHostAndPort_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("valid");
    QTest::newRow("name alone takes the default port")
        << QStringLiteral("pop.example.org") << QStringLiteral("pop.example.org") << 110 << true;
    QTest::newRow("name and port")
        << QStringLiteral("127.0.0.1:2110") << QStringLiteral("127.0.0.1") << 2110 << true;
    QTest::newRow("bracketed IPv6 with port")
        << QStringLiteral("[::1]:2110") << QStringLiteral("::1") << 2110 << true;
    QTest::newRow("bracketed IPv6 without port")
        << QStringLiteral("[::1]") << QStringLiteral("::1") << 110 << true;
    QTest::newRow("bare IPv6") << QStringLiteral("fe80::1") << QStringLiteral("fe80::1") << 110
                               << true;
    QTest::newRow("blanks around")
        << QStringLiteral(" host:995 ") << QStringLiteral("host") << 995 << true;
    QTest::newRow("empty host") << QString() << QString() << 110 << false;
    QTest::newRow("port out of range")
        << QStringLiteral("host:70000") << QStringLiteral("host") << 110 << false;
    QTest::newRow("port not a number")
        << QStringLiteral("host:pop") << QStringLiteral("host") << 110 << false;
    QTest::newRow("port without host") << QStringLiteral(":110") << QString() << 110 << false;
    QTest::newRow("unclosed bracket")
        << QStringLiteral("[::1:110") << QStringLiteral("[::1:110") << 110 << false;
}

void TestHostPort::splitsHostAndPort()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, valid);
    const HostPort result = parseHostPort(text, 110);
    QCOMPARE(result.valid, valid);
    if (!valid)
        return;
    QCOMPARE(result.host, host);
    QCOMPARE(int(result.port), port);
}

TARVOLK_TEST(TestHostPort);
#include "test_hostport.moc"
