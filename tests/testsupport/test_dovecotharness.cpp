// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/dovecotserver.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int ReplyTimeoutMs = 5000;

// One line of a bare POP3 conversation with its CR LF, or empty when none came in time.
QByteArray line(QTcpSocket& socket)
{
    while (!socket.canReadLine()) {
        if (socket.state() == QAbstractSocket::UnconnectedState ||
            !QSignalSpy(&socket, &QIODevice::readyRead).wait(ReplyTimeoutMs))
            return {};
    }
    return socket.readLine();
}

QByteArray command(QTcpSocket& socket, const QByteArray& text)
{
    socket.write(text + "\r\n");
    return line(socket);
}

// A dovecot master with the configuration in the folder is still running.
bool dovecotRunsIn(const QString& folder)
{
    const QByteArray config = QFile::encodeName(folder) + "/dovecot.conf";
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(config))
            return true;
    }
    return false;
}

bool refused(quint16 port)
{
    QTcpSocket socket;
    QSignalSpy failed(&socket, &QAbstractSocket::errorOccurred);
    socket.connectToHost(QHostAddress::LocalHost, port);
    return (failed.count() > 0 || failed.wait(ReplyTimeoutMs)) &&
           socket.error() == QAbstractSocket::ConnectionRefusedError;
}

} // namespace

// What the other tests rely on without seeing it: a started server is ready, and none stays
// behind, however its test ends.
class TestDovecotHarness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void servesTheDeliveredMessagesInOrder();
    void stopsTheServerEvenWithoutItsPidFile();
    void stopsTheServerOfAProcessThatDied();
};

void TestDovecotHarness::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
}

void TestDovecotHarness::servesTheDeliveredMessagesInOrder()
{
    DovecotServer server;
    QVERIFY2(server.addUser(QStringLiteral("anna"), QStringLiteral("geheim")),
             qPrintable(server.errorString()));
    TestMail::Message big;
    big.targetSize = 20 * 1024;
    const QList<QByteArray> mails{TestMail::build({}), TestMail::build(big)};
    for (const QByteArray& mail : mails)
        QVERIFY2(!server.deliver(QStringLiteral("anna"), mail).isEmpty(),
                 qPrintable(server.errorString()));
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    // Started means ready: no test waits for the listener.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(line(socket).startsWith("+OK"));
    QVERIFY(command(socket, "user anna").startsWith("+OK"));
    QVERIFY(command(socket, "pass geheim").startsWith("+OK"));
    QCOMPARE(command(socket, "list 1"), "+OK 1 " + QByteArray::number(mails[0].size()) + "\r\n");
    QCOMPARE(command(socket, "list 2"), "+OK 2 " + QByteArray::number(mails[1].size()) + "\r\n");
    QVERIFY(command(socket, "quit").startsWith("+OK"));
}

// As after a test that failed before its server wrote the pid file.
void TestDovecotHarness::stopsTheServerEvenWithoutItsPidFile()
{
    QString folder;
    quint16 port = 0;
    {
        DovecotServer server;
        QVERIFY2(server.start(), qPrintable(server.errorString()));
        folder = server.directory();
        port = server.port();
        QVERIFY(dovecotRunsIn(folder));
        QVERIFY(QFile::remove(folder + QStringLiteral("/run/master.pid")));
    }
    QVERIFY(!dovecotRunsIn(folder));
    QVERIFY(refused(port));
}

// As after a test that crashed or was killed on its time-out: no destructor ran.
void TestDovecotHarness::stopsTheServerOfAProcessThatDied()
{
    QTemporaryDir folder;
    QProcess owner;
    owner.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    QVERIFY(owner.waitForStarted());
    QProcess harness;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARVOLK_DOVECOT_OWNER"), QString::number(owner.processId()));
    harness.setProcessEnvironment(environment);
    const quint16 port = pop3test::ScriptedServer::unusedPort();
    harness.start(QStringLiteral("bash"), {DovecotServer::scriptPath(), QStringLiteral("start"),
                                           folder.path(), QString::number(port)});
    QVERIFY(harness.waitForFinished(20000) && harness.exitCode() == 0);
    QVERIFY(dovecotRunsIn(folder.path()));

    owner.kill();
    QVERIFY(owner.waitForFinished());

    QTRY_VERIFY_WITH_TIMEOUT(!dovecotRunsIn(folder.path()), 10000);
    QVERIFY(refused(port));
}

TARVOLK_TEST(TestDovecotHarness);
#include "test_dovecotharness.moc"
