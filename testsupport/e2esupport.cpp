// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/e2esupport.h"

#include "testsupport/testmail.h"

#include <QDeadlineTimer>
#include <QSignalSpy>

namespace e2e {

AccountSlot slot(const QString& host, const QString& user, const QString& password,
                 const QString& security, const QString& fingerprint)
{
    AccountSlot slot;
    slot.Title = QStringLiteral("Dovecot");
    slot.Host = host;
    slot.Account = user;
    slot.Password = password;
    slot.Security = security;
    slot.Fingerprint = fingerprint;
    slot.PasswordGiven = true;
    return slot;
}

Account account(const QString& host, const QString& user, const QString& password,
                const QString& security, const QString& fingerprint)
{
    return accountFrom(slot(host, user, password, security, fingerprint));
}

QString loopback(quint16 port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

QByteArray numberedMessage(int number)
{
    TestMail::Message mail;
    mail.subject = "Nachricht " + QByteArray::number(number);
    mail.body = "Text der Nachricht " + QByteArray::number(number) + "\r\n";
    return TestMail::build(mail);
}

bool UserPool::create(DovecotServer& server, int count, const QString& password)
{
    for (int i = m_count + 1; i <= count; ++i) {
        if (!server.addUser(QStringLiteral("user%1").arg(i), password))
            return false;
        m_count = i;
    }
    return true;
}

QString UserPool::take()
{
    return m_taken < m_count ? QStringLiteral("user%1").arg(++m_taken) : QString();
}

QStringList deliverAll(DovecotServer& server, const QString& user,
                       const QList<QByteArray>& messages)
{
    QStringList ids;
    for (const QByteArray& message : messages) {
        const QString id = server.deliver(user, message);
        if (id.isEmpty())
            return {};
        ids.append(id);
    }
    return ids;
}

QByteArray headerBlockAndFirstLines(const QByteArray& message, int lineCount)
{
    const qsizetype blank = message.indexOf("\r\n\r\n");
    if (blank < 0)
        return message;
    qsizetype end = blank + 4;
    for (int line = 0; line < lineCount && end < message.size(); ++line) {
        const qsizetype lineEnd = message.indexOf("\r\n", end);
        end = lineEnd < 0 ? message.size() : lineEnd + 2;
    }
    return message.left(end);
}

QList<QByteArray> logLinesOf(const DovecotServer& server, const QString& user)
{
    // "user=<name>" in log-in and log-in process lines, "(name)" and "(name," in the others.
    const QByteArray name = user.toUtf8();
    QList<QByteArray> lines;
    for (const QByteArray& line : server.log().split('\n')) {
        if (line.contains("user=<" + name + '>') || line.contains('(' + name + ')') ||
            line.contains('(' + name + ','))
            lines.append(line);
    }
    return lines;
}

int loggedOutWith(const DovecotServer& server, const QString& user, const QByteArray& deleted)
{
    int count = 0;
    for (const QByteArray& line : logLinesOf(server, user))
        count += line.contains("Logged out") && line.contains(deleted) ? 1 : 0;
    return count;
}

int countInLog(const DovecotServer& server, const QByteArray& text)
{
    int count = 0;
    for (const QByteArray& line : server.log().split('\n'))
        count += line.contains(text) ? 1 : 0;
    return count;
}

bool PlainPop3::logIn(quint16 port, const QString& user, const QString& password)
{
    m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    QByteArray greeting;
    if (!m_socket.waitForConnected(ReplyTimeoutMs) || !readLine(greeting) ||
        !greeting.startsWith("+OK"))
        return false;
    return command("user " + user.toUtf8()).startsWith("+OK") &&
           command("pass " + password.toUtf8()).startsWith("+OK");
}

QByteArray PlainPop3::command(const QByteArray& line)
{
    m_socket.write(line + "\r\n");
    QByteArray status;
    return readLine(status) ? status : QByteArray();
}

QList<QByteArray> PlainPop3::multiLine(const QByteArray& line)
{
    if (!command(line).startsWith("+OK"))
        return {};
    QList<QByteArray> lines;
    for (;;) {
        QByteArray next;
        if (!readLine(next) || next == ".")
            return lines;
        lines.append(next);
    }
}

QList<qint64> PlainPop3::sizes()
{
    QList<qint64> sizes;
    for (const QByteArray& line : multiLine("list"))
        sizes.append(line.split(' ').value(1).toLongLong());
    return sizes;
}

bool PlainPop3::quit()
{
    if (!command("quit").startsWith("+OK"))
        return false;
    return m_socket.state() == QAbstractSocket::UnconnectedState ||
           m_socket.waitForDisconnected(ReplyTimeoutMs);
}

bool PlainPop3::readLine(QByteArray& line)
{
    const QDeadlineTimer deadline(ReplyTimeoutMs);
    while (!m_socket.canReadLine()) {
        if (deadline.hasExpired() || m_socket.state() != QAbstractSocket::ConnectedState)
            return false;
        m_socket.waitForReadyRead(int(deadline.remainingTime()));
    }
    line = m_socket.readLine();
    if (line.endsWith("\r\n"))
        line.chop(2);
    return true;
}

} // namespace e2e
