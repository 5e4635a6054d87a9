// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/account.h"
#include "testsupport/dovecotserver.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

// Helpers shared by the end-to-end tests, which run the mailbox client against a real dovecot.
namespace e2e {

// Upper bound for one answer of dovecot on loopback; far above what it needs.
constexpr int ReplyTimeoutMs = 5000;

// An account's settings on a dovecot, as the file would give them, and the account read from them.
AccountSlot slot(const QString& host, const QString& user, const QString& password,
                 const QString& security = QString(), const QString& fingerprint = QString());
Account account(const QString& host, const QString& user, const QString& password,
                const QString& security = QString(), const QString& fingerprint = QString());
// "127.0.0.1:<port>", as the settings write a host with a port.
QString loopback(quint16 port);

// Users with empty mailboxes, one for each test function or row. dovecot looks at its user file
// at most once a second, so a user added after the first log-in can be unknown for up to a
// second: a test class adds all its users before it logs in for the first time.
class UserPool {
public:
    // Adds user1 .. user<count> with the password; false when the harness failed.
    bool create(DovecotServer& server, int count, const QString& password);
    // The next user not handed out yet; empty when none is left.
    QString take();

private:
    int m_count = 0;
    int m_taken = 0;
};

// A short message with the subject "Nachricht <number>" and a one-line text.
QByteArray numberedMessage(int number);

// Delivers the messages in order; returns their ids, or an empty list when the harness failed
// (errorString() of the server says why).
QStringList deliverAll(DovecotServer& server, const QString& user,
                       const QList<QByteArray>& messages);

// What "top n lineCount" must yield for a message: its header block with the blank line that ends
// it, then its first lineCount body lines, all with CR LF.
QByteArray headerBlockAndFirstLines(const QByteArray& message, int lineCount);

// dovecot's log lines about one user: its log-ins, its sessions and its failed attempts.
QList<QByteArray> logLinesOf(const DovecotServer& server, const QString& user);
// How many of the user's sessions ended with "quit" and dovecot's "del=<n>/<count>" as given.
int loggedOutWith(const DovecotServer& server, const QString& user, const QByteArray& deleted);
// How many lines of dovecot's log contain the text.
int countInLog(const DovecotServer& server, const QByteArray& text);

// A bare POP3 client on a plain socket, for what another mail program does meanwhile and for
// asking dovecot itself. Every answer is awaited within ReplyTimeoutMs.
class PlainPop3 {
public:
    // Connects, reads the greeting and logs in; false when any step fails.
    bool logIn(quint16 port, const QString& user, const QString& password);
    // Sends a command and returns its status line without CR LF (empty when none came).
    QByteArray command(const QByteArray& line);
    // Sends a command whose answer has several lines; returns the lines between the status line
    // and the "." line, still dot-stuffed, or an empty list when the answer was not "+OK".
    QList<QByteArray> multiLine(const QByteArray& line);
    // The sizes dovecot gives the messages, in message order.
    QList<qint64> sizes();
    // Sends "quit" and waits for the server to close.
    bool quit();

private:
    // One line without its CR LF; false when none came in time.
    bool readLine(QByteArray& line);

    QTcpSocket m_socket;
};

} // namespace e2e
