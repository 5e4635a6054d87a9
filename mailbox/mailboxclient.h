#pragma once

#include "mailbox/capabilities.h"
#include "mailbox/connection.h"
#include "mailbox/fetchedmailbox.h"
#include "mailbox/previewcache.h"
#include "settings/accountslots.h"

#include <QList>
#include <QScopeGuard>
#include <QStringList>
#include <functional>

class CommandPipeline;
class MailboxView;
struct ServerAddress;

// The conversations with the mail server: log-in, fetching the mailbox, deleting marked messages.
// Each takes the account once, when it starts, and only one runs at a time.
class MailboxClient : public QObject {
    Q_OBJECT
public:
    explicit MailboxClient(MailboxView& view, QObject* parent = nullptr);

    // Connects to the account's server and logs in. On false the user has been told why and the
    // connection is closed; on true it is open for the caller's commands. When the server takes
    // commands ahead of their answers, `ahead` goes out right after the password (sentAhead()
    // tells) and its answers are the caller's to read.
    bool Do_Connect(const AccountSlot& account, const QList<QByteArray>& ahead = {});
    const QList<QByteArray>& sentAhead() const { return m_sentAhead; }

    // Lists the mailbox and fetches each message's header block and first LineCount body lines,
    // except those fetched before in this run of the program.
    void Emails_abrufen(const AccountSlot& account, qint16 LineCount);

    // Deletes on the server the messages at the marked positions of the last listing, when they
    // are still the ones the user saw. No marks, no conversation.
    void DeleteMail(const AccountSlot& account, QList<int> marked);

    bool isBusy() const { return m_busy; }
    // After abort() no conversation starts any more.
    bool isAborted() const { return m_connection.isAborted(); }

    // Ends a running conversation at once, without "quit", so the server deletes nothing.
    void abort();
    // The same at the user's request: no box, the status line says so, later presses work.
    void cancel();
    // The last conversation was ended by cancel().
    bool wasCancelled() const { return m_cancelled; }

    Connection& connection() { return m_connection; }
    // What the server announced in the last conversation.
    const Capabilities& capabilities() const { return m_capabilities; }
    // The last log-in failed because the server refused the password or the access token.
    bool passwordRefused() const { return m_passwordRefused; }

    // The messages of the last fetch that found messages, in list order.
    const FetchedMailbox& fetched() const { return m_fetched; }
    // The stored text of the entry at position, empty when it has not arrived.
    QString MailText(int position) const { return m_fetched.messages.value(position).text; }
    QStringList MailTexts() const { return m_fetched.MailTexts(); }
    QList<QByteArray> MailUids() const { return m_fetched.MailUids(); }
    // The message count of the last fetch that found messages.
    qint32 MailCount = 0;

private:
    // Marks the client busy until the returned guard goes out of scope.
    QScopeGuard<std::function<void()>> markBusy();
    int pipelineDepth() const;
    bool askCapabilities();
    bool readStat(CommandPipeline& pipeline, qint32& count, qint32& size);
    // "stat", and "list" and "uidl" when the mailbox has messages or they went ahead. False when
    // the conversation ended; with a count of 0 or less the listing stays empty.
    bool listMailbox(CommandPipeline& pipeline, qint32& count, qint32& size,
                     FetchedMailbox& listing);
    bool readListing(CommandPipeline& pipeline, FetchedMailbox& listing);
    bool skipListing(CommandPipeline& pipeline);
    void showListing(qint32 count, qint32 totalSize);
    // Sends "top" for every message not kept from before and reads the answers. fromServer gets
    // the positions asked for. False when the conversation failed; the caller reports it.
    bool fetchPreviews(CommandPipeline& pipeline, qint32 totalSize, qint16 lineCount,
                       QList<int>& fromServer);
    // Keeps the previews that came from the server, for messages with usable ids.
    void keepPreviews(qint16 lineCount, const QList<int>& fromServer);
    // The numbers under which the server now holds the marked messages, when every one of them is
    // provably the message the user saw; else numbers stays empty. False when the conversation
    // failed (and the user has been told).
    bool recognise(CommandPipeline& pipeline, const QList<int>& marked, qint32 count,
                   const FetchedMailbox& now, QList<qint32>& numbers);
    bool sameHeaders(CommandPipeline& pipeline, const QList<int>& marked, QList<qint32>& numbers);
    bool deleteMessages(CommandPipeline& pipeline, const QList<qint32>& numbers,
                        QStringList& refusals);
    static bool takesCommandsAhead(const Capabilities& capabilities);
    static bool wantsPlain(const QString& auth, const Capabilities& capabilities);
    void sendUser(const AccountSlot& account, const QList<QByteArray>& ahead);
    bool awaitUserAndPassword(const AccountSlot& account);
    bool readCapabilities();
    bool logInWithPlain(const AccountSlot& account);
    bool logInWithToken(const AccountSlot& account, const ServerAddress& server);
    // Sends AUTH with the response on its line or, when it must not or cannot go there, after the
    // server's "+ "; false when the conversation ended meanwhile.
    bool sendAuth(const QByteArray& mechanism, const QByteArray& response,
                  bool initialResponse = true);
    // The answer to a password or AUTH, which servers may delay on purpose.
    bool readLogInAnswer(QByteArray& reply);
    // A refused password or token is reported unless quietWhenRefused: the caller tries again.
    bool awaitLogIn(bool quietWhenRefused = false);
    bool refuseWithReason(const QByteArray& reply);
    bool awaitPositive();
    bool sendAndRead(const QByteArray& command, QByteArray& reply);
    void failTransmission();
    bool startTls();
    // Ends the conversation politely and tells the user why.
    void refuse(const QString& text, const QString& detail);
    void quitQuietly();
    void showMismatch();
    // Sends "quit" and awaits its answer and the server's close. False, without a box, when the
    // conversation failed or the server sent more than the answer.
    bool quit(QByteArray& answer);
    // The same, telling the user of a failure; true when the conversation ended cleanly.
    bool finish();

    MailboxView& m_view;
    Connection m_connection;
    bool m_busy = false;
    bool m_cancelled = false;
    Capabilities m_capabilities;
    // What each account's server announced in this run of the program.
    QHash<QString, Capabilities> m_announced;
    bool m_passwordRefused = false;
    QList<QByteArray> m_sentAhead;
    FetchedMailbox m_fetched;
    PreviewCache m_previews;
    // The account whose list is on screen: marks of one account's list must never delete on
    // another's server.
    QString m_listedAccount;
};
