#include "testsupport/dovecotserver.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTest>

namespace {

constexpr int ReplyTimeoutMs = 5000;

const QString User = QStringLiteral("anna");
const QString Password = QStringLiteral("geheim");

// A bare POP3 client: one line or one multi-line reply at a time, each bounded in time.
class Pop3Probe {
public:
    explicit Pop3Probe(QAbstractSocket& socket) : m_socket(socket) {}

    // One line with its CR LF, or empty when none came in time.
    QByteArray line()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_socket.canReadLine()) {
            const qint64 left = ReplyTimeoutMs - timer.elapsed();
            if (left <= 0 || m_socket.state() != QAbstractSocket::ConnectedState) {
                return {};
            }
            QSignalSpy spy(&m_socket, &QIODevice::readyRead);
            spy.wait(static_cast<int>(left));
        }
        return m_socket.readLine();
    }

    QByteArray command(const QByteArray& command)
    {
        m_socket.write(command + "\r\n");
        return line();
    }

    // Greeting, user and pass, each answered with "+OK".
    bool logIn(const QByteArray& user, const QByteArray& password)
    {
        return line().startsWith("+OK") && command("user " + user).startsWith("+OK") &&
               command("pass " + password).startsWith("+OK");
    }

    // The lines after a status line, up to and with the "." line.
    QByteArray rest()
    {
        QByteArray reply;
        for (;;) {
            const QByteArray next = line();
            reply += next;
            if (next.isEmpty() || next == ".\r\n") {
                return reply;
            }
        }
    }

private:
    QAbstractSocket& m_socket;
};

// The message as a POP3 client receives it in RETR: CR LF lines, dot-stuffed, "." line.
QByteArray asSent(const QByteArray& message)
{
    QByteArray out;
    for (const QByteArray& line : TestMail::toCrLf(message).split('\n')) {
        if (line.isEmpty()) {
            continue; // after the last LF
        }
        out += line.startsWith('.') ? '.' + line : line;
        out += '\n';
    }
    return out + ".\r\n";
}

QByteArray lfOnly()
{
    return "From: lf@example.org\nSubject: nur LF\n\n.eins\n..zwei\nRegards.\n";
}

QByteArray crLfMail()
{
    TestMail::Message message;
    message.body = "Hallo\n";
    return TestMail::build(message);
}

QByteArray bigMail()
{
    TestMail::Message message;
    message.attachments.append({"bild.png", "image/png", QByteArray(5000, 'p')});
    message.targetSize = 200 * 1024;
    return TestMail::build(message);
}

} // namespace

class TestDovecotHarness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void logInRightAndStatCountsTheDeliveredMessages();
    void retrSendsTheStoredMessageWithCrLf();
    void wrongPasswordIsRefusedAtOnceWithoutPenalty();
    void topStatusLineIsOkAlone();
    void deletedMessagesLeaveTheMaildir();
    void userAddedWhileRunningCanLogIn();
    void tlsPortPresentsTheSelfSignedCertificate();
    void stlsOnThePlainPortAndPlainLogInBeside();
    void stopEndsTheServer();

private:
    bool connectPlain(QTcpSocket& socket, quint16 port);
    void startWithMail(DovecotServer& server, const QList<QByteArray>& mails,
                       DovecotServer::Tls tls = DovecotServer::Tls::Off);
    QStringList m_ids;
};

void TestDovecotHarness::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
}

bool TestDovecotHarness::connectPlain(QTcpSocket& socket, quint16 port)
{
    QSignalSpy connected(&socket, &QAbstractSocket::connected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.state() == QAbstractSocket::ConnectedState || connected.wait(ReplyTimeoutMs);
}

void TestDovecotHarness::startWithMail(DovecotServer& server, const QList<QByteArray>& mails,
                                       DovecotServer::Tls tls)
{
    QVERIFY2(server.addUser(User, Password), qPrintable(server.errorString()));
    m_ids.clear();
    for (const QByteArray& mail : mails) {
        const QString id = server.deliver(User, mail);
        QVERIFY2(!id.isEmpty(), qPrintable(server.errorString()));
        m_ids.append(id);
    }
    QVERIFY2(server.start(tls), qPrintable(server.errorString()));
    QVERIFY(server.port() != 0);
}

void TestDovecotHarness::logInRightAndStatCountsTheDeliveredMessages()
{
    DovecotServer server;
    const QList<QByteArray> mails{crLfMail(), lfOnly(), bigMail()};
    startWithMail(server, mails);
    if (QTest::currentTestFailed()) {
        return;
    }
    QTcpSocket socket;
    QVERIFY(connectPlain(socket, server.port()));
    Pop3Probe pop(socket);
    QVERIFY(pop.line().startsWith("+OK"));
    QVERIFY(pop.command("user anna").startsWith("+OK"));
    QCOMPARE(pop.command("pass geheim"), QByteArray("+OK Logged in.\r\n"));

    // Sizes as the client receives them: LF lines count as CR LF, in delivery order.
    qsizetype total = 0;
    QByteArray list = "+OK 3 messages:\r\n";
    for (int i = 0; i < mails.size(); ++i) {
        const qsizetype size = TestMail::toCrLf(mails.at(i)).size();
        total += size;
        list += QByteArray::number(i + 1) + ' ' + QByteArray::number(size) + "\r\n";
    }
    QCOMPARE(pop.command("stat"), "+OK 3 " + QByteArray::number(total) + "\r\n");
    const QByteArray status = pop.command("list");
    QCOMPARE(status + pop.rest(), list + ".\r\n");
    QVERIFY(pop.command("quit").startsWith("+OK"));
    QTRY_VERIFY_WITH_TIMEOUT(server.log().contains("Login: user=<anna>"), ReplyTimeoutMs);
}

void TestDovecotHarness::retrSendsTheStoredMessageWithCrLf()
{
    DovecotServer server;
    const QList<QByteArray> mails{lfOnly(), bigMail()};
    startWithMail(server, mails);
    if (QTest::currentTestFailed()) {
        return;
    }
    QTcpSocket socket;
    QVERIFY(connectPlain(socket, server.port()));
    Pop3Probe pop(socket);
    QVERIFY(pop.logIn("anna", "geheim"));
    for (int i = 0; i < mails.size(); ++i) {
        const QByteArray expected = asSent(mails.at(i));
        QCOMPARE(pop.command("retr " + QByteArray::number(i + 1)),
                 "+OK " + QByteArray::number(TestMail::toCrLf(mails.at(i)).size()) + " octets\r\n");
        QCOMPARE(pop.rest(), expected);
    }
}

void TestDovecotHarness::wrongPasswordIsRefusedAtOnceWithoutPenalty()
{
    DovecotServer server;
    startWithMail(server, {crLfMail()});
    if (QTest::currentTestFailed()) {
        return;
    }
    QTcpSocket wrong;
    QVERIFY(connectPlain(wrong, server.port()));
    Pop3Probe bad(wrong);
    QVERIFY(bad.line().startsWith("+OK"));
    QVERIFY(bad.command("user anna").startsWith("+OK"));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(bad.command("pass falsch"), QByteArray("-ERR [AUTH] Authentication failed.\r\n"));
    // Up to 0.5 s even without a failure delay; dovecot's default delay would be 2 s.
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    // The connection stays open, still not logged in.
    QCOMPARE(bad.command("stat"), QByteArray("-ERR Unknown command.\r\n"));
    QCOMPARE(wrong.state(), QAbstractSocket::ConnectedState);

    // No per-address penalty: the next right log-in is not held back for seconds.
    QTcpSocket right;
    timer.restart();
    QVERIFY(connectPlain(right, server.port()));
    Pop3Probe good(right);
    QVERIFY(good.line().startsWith("+OK"));
    QVERIFY(good.command("user anna").startsWith("+OK"));
    QCOMPARE(good.command("pass geheim"), QByteArray("+OK Logged in.\r\n"));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(good.command("stat").startsWith("+OK 1 "));
}

void TestDovecotHarness::topStatusLineIsOkAlone()
{
    DovecotServer server;
    const QByteArray mail = lfOnly();
    startWithMail(server, {mail});
    if (QTest::currentTestFailed()) {
        return;
    }
    QTcpSocket socket;
    QVERIFY(connectPlain(socket, server.port()));
    Pop3Probe pop(socket);
    QVERIFY(pop.logIn("anna", "geheim"));
    QCOMPARE(pop.command("top 1 0"), QByteArray("+OK\r\n"));
    QCOMPARE(pop.rest(), QByteArray("From: lf@example.org\r\nSubject: nur LF\r\n\r\n.\r\n"));
    QCOMPARE(pop.command("top 1 2"), QByteArray("+OK\r\n"));
    QCOMPARE(
        pop.rest(),
        QByteArray("From: lf@example.org\r\nSubject: nur LF\r\n\r\n..eins\r\n...zwei\r\n.\r\n"));
    QVERIFY(pop.command("top 2 0").startsWith("-ERR"));
}

void TestDovecotHarness::deletedMessagesLeaveTheMaildir()
{
    DovecotServer server;
    const QList<QByteArray> mails{crLfMail(), lfOnly()};
    startWithMail(server, mails);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(server.messageIds(User), m_ids);
    QTcpSocket socket;
    QVERIFY(connectPlain(socket, server.port()));
    Pop3Probe pop(socket);
    QVERIFY(pop.logIn("anna", "geheim"));
    QVERIFY(pop.command("dele 1").startsWith("+OK"));
    QVERIFY(pop.command("quit").startsWith("+OK"));

    QTRY_COMPARE_WITH_TIMEOUT(server.messageIds(User), QStringList{m_ids.at(1)}, ReplyTimeoutMs);
    QVERIFY(server.messageFile(User, m_ids.at(0)).isEmpty());
    QCOMPARE(server.messageFile(User, m_ids.at(1)), mails.at(1));
}

void TestDovecotHarness::userAddedWhileRunningCanLogIn()
{
    DovecotServer server;
    startWithMail(server, {});
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(server.addUser(QStringLiteral("bert"), QStringLiteral("zweites")));
    QVERIFY(!server.deliver(QStringLiteral("bert"), crLfMail()).isEmpty());
    QTcpSocket socket;
    QVERIFY(connectPlain(socket, server.port()));
    Pop3Probe pop(socket);
    QVERIFY(pop.logIn("bert", "zweites"));
    QCOMPARE(pop.command("stat"), "+OK 1 " + QByteArray::number(crLfMail().size()) + "\r\n");
}

void TestDovecotHarness::tlsPortPresentsTheSelfSignedCertificate()
{
    if (!QSslSocket::supportsSsl()) {
        QFAIL("Qt has no TLS backend here");
    }
    DovecotServer server;
    startWithMail(server, {crLfMail()}, DovecotServer::Tls::On);
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(server.tlsPort() != 0);
    QVERIFY(server.tlsPort() != server.port());
    QFile file(server.certificatePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(file.readAll(), QSsl::Pem);
    QVERIFY(!certificate.isNull());
    QCOMPARE(certificate.subjectInfo(QSslCertificate::CommonName), {QStringLiteral("localhost")});

    // Checked as usual, the handshake fails on the self-signed certificate.
    {
        QSslSocket socket;
        QSignalSpy sslErrors(&socket, &QSslSocket::sslErrors);
        QSignalSpy failed(&socket, &QAbstractSocket::errorOccurred);
        socket.connectToHostEncrypted(QStringLiteral("localhost"), server.tlsPort());
        QVERIFY(failed.wait(ReplyTimeoutMs));
        QVERIFY(!socket.isEncrypted());
        QCOMPARE(sslErrors.size(), 1);
        const auto errors = sslErrors.at(0).at(0).value<QList<QSslError>>();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).error(), QSslError::SelfSignedCertificate);
        QCOMPARE(errors.at(0).certificate(), certificate);
    }

    // Trusting exactly that certificate, POP3 over TLS works.
    QSslSocket socket;
    socket.ignoreSslErrors({QSslError(QSslError::SelfSignedCertificate, certificate)});
    QSignalSpy encrypted(&socket, &QSslSocket::encrypted);
    socket.connectToHostEncrypted(QStringLiteral("localhost"), server.tlsPort());
    QVERIFY(encrypted.wait(ReplyTimeoutMs));
    QCOMPARE(socket.peerCertificate(), certificate);
    Pop3Probe pop(socket);
    QVERIFY(pop.logIn("anna", "geheim"));
    QVERIFY(pop.command("stat").startsWith("+OK 1 "));
}

void TestDovecotHarness::stlsOnThePlainPortAndPlainLogInBeside()
{
    DovecotServer server;
    startWithMail(server, {crLfMail()}, DovecotServer::Tls::On);
    if (QTest::currentTestFailed()) {
        return;
    }
    // Plain log-in stays allowed on the plain port.
    {
        QTcpSocket socket;
        QVERIFY(connectPlain(socket, server.port()));
        Pop3Probe pop(socket);
        QVERIFY(pop.logIn("anna", "geheim"));
    }

    QFile file(server.certificatePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(file.readAll(), QSsl::Pem);
    QSslSocket socket;
    QSignalSpy connected(&socket, &QAbstractSocket::connected);
    socket.connectToHost(QStringLiteral("localhost"), server.port());
    QVERIFY(connected.wait(ReplyTimeoutMs));
    Pop3Probe pop(socket);
    QVERIFY(pop.line().startsWith("+OK"));
    QCOMPARE(pop.command("capa"), QByteArray("+OK\r\n"));
    QVERIFY(pop.rest().contains("\r\nSTLS\r\n"));
    QCOMPARE(pop.command("stls"), QByteArray("+OK Begin TLS negotiation now.\r\n"));
    socket.ignoreSslErrors({QSslError(QSslError::SelfSignedCertificate, certificate)});
    QSignalSpy encrypted(&socket, &QSslSocket::encrypted);
    socket.startClientEncryption();
    QVERIFY(encrypted.wait(ReplyTimeoutMs));
    QCOMPARE(socket.peerCertificate(), certificate);
    QVERIFY(pop.command("user anna").startsWith("+OK"));
    QVERIFY(pop.command("pass geheim").startsWith("+OK"));
    QVERIFY(pop.command("stat").startsWith("+OK 1 "));
}

void TestDovecotHarness::stopEndsTheServer()
{
    DovecotServer server;
    startWithMail(server, {});
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(server.isRunning());
    QVERIFY(QFile::exists(server.directory() + QStringLiteral("/run/master.pid")));
    server.stop();
    QVERIFY(!server.isRunning());
    QVERIFY(!QFile::exists(server.directory() + QStringLiteral("/run/master.pid")));

    QTcpSocket socket;
    QSignalSpy failed(&socket, &QAbstractSocket::errorOccurred);
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(failed.count() > 0 || failed.wait(ReplyTimeoutMs));
    QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);
    server.stop(); // a second stop is harmless
}

TARVOLK_TEST(TestDovecotHarness);
#include "test_dovecotharness.moc"
