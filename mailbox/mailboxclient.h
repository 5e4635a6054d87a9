#pragma once

#include "mailbox/connection.h"
#include "settings/accountslots.h"

#include <QList>
#include <QScopeGuard>
#include <QStringList>
#include <functional>

class MailboxView;

// The conversations with the mail server: log-in, fetching the mailbox, deleting marked messages.
// Each takes the account once, when it starts, and only one runs at a time.
class MailboxClient : public QObject {
    Q_OBJECT
public:
    explicit MailboxClient(MailboxView& view, QObject* parent = nullptr);

    // Connects to the account's server and logs in. On false the user has been told why and the
    // connection is closed; on true it is open for the caller's commands.
    bool Do_Connect(const AccountSlot& account);

    // Lists the mailbox and fetches each message's header block and first LineCount body lines.
    void Emails_abrufen(const AccountSlot& account, qint16 LineCount);

    // Deletes the messages marked in the list on the server, when they are still the ones the
    // user saw.
    void DeleteMail(const AccountSlot& account);

    bool isBusy() const { return m_busy; }
    // True when the last Do_Connect failed because the server answered the "pass" line with -ERR.
    bool passwordRefused() const { return m_passwordRefused; }
    // After abort() no conversation starts any more.
    bool isAborted() const { return m_connection.isAborted(); }

    // Ends a running conversation at once, without "quit", so the server deletes nothing.
    void abort();

    Connection& connection() { return m_connection; }

    // Message i's header block and first lines, at index i - 1, for the messages fetched so far.
    QStringList MailTexts;
    // The message count of the last fetch that found messages.
    qint32 MailCount = 0;
    // The server's unique id of each message of the last fetch, at index i - 1; empty when the
    // server has none.
    QList<QByteArray> MailUids;

private:
    // Marks the client busy until the returned guard goes out of scope.
    QScopeGuard<std::function<void()>> markBusy();
    bool askStat(qint32& count, qint32& size);
    bool fetchMessages(qint32 count, qint32 totalSize, qint16 lineCount);
    bool readUids(qint32 count, QList<QByteArray>& uids);
    // refused, when given, is set when the server answered with -ERR.
    bool loginStep(const QString& status, const QByteArray& command, bool* refused = nullptr);
    bool awaitPositive(bool* refused = nullptr);
    bool sendAndRead(const QByteArray& command, QByteArray& reply);
    void failTransmission();
    bool startTls();
    // Ends the conversation politely and tells the user why.
    void refuse(const QString& text, const QString& detail);
    void finish();

    MailboxView& m_view;
    Connection m_connection;
    bool m_busy = false;
    bool m_passwordRefused = false;
};
