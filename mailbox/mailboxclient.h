// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/capabilities.h"
#include "mailbox/fetchedmailbox.h"
#include "mailbox/previewcache.h"
#include "mailbox/transport.h"
#include "settings/account.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QScopeGuard>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

class CapabilityStore;
class CommandPipeline;
class MailboxView;
class Pop3Session;
class PreviewStore;

// The conversations the window starts: log-in, fetching the mailbox, deleting marked messages.
// Each runs as a Pop3Session of its own; this keeps what lasts between them (the listing on
// screen, the previews of this run, what each server announced) and tells the user once how each
// one ended. Each takes the account once, when it starts, and only one runs at a time.
class MailboxClient : public QObject {
    Q_OBJECT
public:
    // The most messages a fetch lists: twice the hundred thousand the window is measured with.
    // A larger mailbox is refused with a box; its list would take the memory by the gigabyte.
    static constexpr qint32 MostListed = 200000;

    // Talks to servers over a Connection of its own.
    explicit MailboxClient(MailboxView& view, QObject* parent = nullptr);
    // Talks over the given transport, for example one that a test feeds.
    MailboxClient(MailboxView& view, std::unique_ptr<Transport> transport,
                  QObject* parent = nullptr);
    ~MailboxClient() override;

    // Connects to the account's server and logs in. On false the user has been told why and the
    // connection is closed; on true it is open for the caller's commands. When the server takes
    // commands ahead of their answers, `ahead` goes out right after the password (sentAhead()
    // tells) and its answers are the caller's to read.
    bool Do_Connect(const Account& account, const QList<QByteArray>& ahead = {},
                    const AccessToken& token = {});
    const QList<QByteArray>& sentAhead() const { return m_sentAhead; }

    // Lists the mailbox and fetches each message's header block and first LineCount body lines,
    // except those fetched before in this run of the program.
    void Emails_abrufen(const Account& account, qint16 LineCount, const AccessToken& token = {});

    // Deletes on the server the messages at the marked positions of the last listing, when they
    // are still the ones the user saw. No marks, no conversation.
    void DeleteMail(const Account& account, QList<int> marked, const AccessToken& token = {});

    // Fetches the whole message at the position of the last listing, when the server still holds
    // it, recognised as a deletion recognises it, and shows it in the view.
    void fetchWholeMessage(const Account& account, int position, const AccessToken& token = {});

    // Keeps previews and what servers announced in the folder across runs of the program, but
    // nothing of an account whose settings say Cache=no.
    void useDisk(const QString& folder);

    bool isBusy() const { return m_busy; }
    // After abort() no conversation starts any more.
    bool isAborted() const { return m_transport->isAborted(); }
    // Ends a running conversation at once, without "quit", so the server deletes nothing.
    void abort();
    // The same at the user's request: no box, the status line says so, later presses work.
    void cancel();
    // The last conversation that ran was ended by cancel().
    bool wasCancelled() const { return m_cancelled; }

    Transport& connection() { return *m_transport; }
    // The last log-in failed because the server refused the password or the access token.
    bool passwordRefused() const { return m_passwordRefused; }

    // The messages of the last fetch that found messages, in list order.
    const FetchedMailbox& fetched() const { return m_fetched; }
    // The stored text of the entry at position, empty when it has not arrived.
    QString MailText(int position) const { return m_fetched.messages.value(position).text; }
    QStringList MailTexts() const { return m_fetched.MailTexts(); }
    QList<QByteArray> MailUids() const { return m_fetched.MailUids(); }
    // The ids of the last listing, when the server gives usable ids.
    QSet<QByteArray> listedIds() const;
    // The message count of the last fetch that found messages.
    qint32 MailCount = 0;

private:
    // Marks the client busy until the returned guard goes out of scope.
    QScopeGuard<std::function<void()>> markBusy();
    // Writes what servers announced, but for the accounts kept off disk.
    void saveCapabilities();
    // Tells the user how the session ended, once, after closing its connection.
    void report();
    // Ends the session with "quit"; a failure is told.
    bool finish();
    void showListing(qint32 count, qint32 totalSize);
    void showMismatch();
    // Logs in and finds the messages at the sorted positions of the last listing on the server
    // again (Deletion::recognise), giving their numbers now. Null when the conversation ended or
    // a message was not found; the user has been told.
    std::unique_ptr<CommandPipeline> findAgain(const Account& account, const QList<int>& positions,
                                               const AccessToken& token, QList<qint32>& numbers);

    MailboxView& m_view;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<Pop3Session> m_session;
    bool m_busy = false;
    bool m_cancelled = false;
    // What each account's server announced in this run of the program.
    QHash<QString, Capabilities> m_announced;
    // Accounts whose settings say Cache=no: nothing of them goes to disk.
    QSet<QString> m_offDisk;
    bool m_passwordRefused = false;
    QList<QByteArray> m_sentAhead;
    FetchedMailbox m_fetched;
    PreviewCache m_previews;
    std::unique_ptr<PreviewStore> m_store;
    std::unique_ptr<CapabilityStore> m_capabilityStore;
    // The account whose list is on screen: marks of one account's list must never delete on
    // another's server.
    QString m_listedAccount;
};
