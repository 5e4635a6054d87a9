// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"

#include "mailbox/capabilitystore.h"
#include "mailbox/commandpipeline.h"
#include "mailbox/connection.h"
#include "mailbox/deletion.h"
#include "mailbox/framebudget.h"
#include "mailbox/listing.h"
#include "mailbox/login.h"
#include "mailbox/mailboxview.h"
#include "mailbox/messageretrieval.h"
#include "mailbox/pop3session.h"
#include "mailbox/previewfetch.h"
#include "mailbox/previewstore.h"
#include "text/textdecoding.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

const QList<QByteArray> ListingCommands = {"stat", "list", "uidl"};

} // namespace

MailboxClient::MailboxClient(MailboxView& view, QObject* parent)
    : MailboxClient(view, std::make_unique<Connection>(), parent)
{
    const auto* connection = static_cast<Connection*>(m_transport.get());
    connect(connection, &Connection::encrypting, this,
            [this] { m_view.setStatus(tr("Sichere Verbindung")); });
}

MailboxClient::MailboxClient(MailboxView& view, std::unique_ptr<Transport> transport,
                             QObject* parent)
    : QObject(parent), m_view(view), m_transport(std::move(transport))
{
}

MailboxClient::~MailboxClient() = default;

void MailboxClient::useDisk(const QString& folder)
{
    m_store = std::make_unique<PreviewStore>(folder);
    m_previews.setStore(m_store.get());
    m_capabilityStore = std::make_unique<CapabilityStore>(folder);
    m_announced = m_capabilityStore->load();
}

void MailboxClient::saveCapabilities()
{
    if (!m_capabilityStore)
        return;
    QHash<QString, Capabilities> kept = m_announced;
    for (const QString& key : std::as_const(m_offDisk))
        kept.remove(key);
    m_capabilityStore->save(kept);
}

void MailboxClient::abort()
{
    m_transport->abort();
}

void MailboxClient::cancel()
{
    if (m_busy)
        m_transport->cancel();
}

QScopeGuard<std::function<void()>> MailboxClient::markBusy()
{
    m_busy = true;
    m_cancelled = false;
    m_view.setBusy(true);
    return qScopeGuard(std::function<void()>([this] {
        m_busy = false;
        m_view.setBusy(false);
    }));
}

bool MailboxClient::Do_Connect(const Account& account, const QList<QByteArray>& ahead,
                               const AccessToken& token)
{
    m_transport->close();
    m_passwordRefused = false;
    m_sentAhead.clear();
    m_session = std::make_unique<Pop3Session>(
        *m_transport, [this](const QString& text) { m_view.setStatus(text); });
    const QString problem = unusableBecause(account);
    if (!problem.isEmpty()) {
        m_view.showNotice({Notice::Title::Application, tr("Fehler bei der Übertragung"), problem});
        m_view.setStatus(QString());
        return false;
    }
    const QString key = account.identity().key();
    if (account.cacheOnDisk)
        m_offDisk.remove(key);
    else
        m_offDisk.insert(key);
    LogIn logIn(*m_session, {account, token, m_announced.value(key), ahead});
    const bool loggedIn = logIn.run();
    if (logIn.announced() && m_announced.value(key).lines() != logIn.announced()->lines()) {
        m_announced.insert(key, *logIn.announced());
        if (account.cacheOnDisk)
            saveCapabilities();
    }
    m_passwordRefused = logIn.passwordRefused();
    m_sentAhead = logIn.sentAhead();
    if (!loggedIn)
        report();
    return loggedIn;
}

void MailboxClient::report()
{
    const std::optional<Notice> notice = m_session->end();
    m_view.setProgress(0);
    m_cancelled = m_session->wasCancelled();
    m_view.setStatus(m_cancelled ? tr("Abgebrochen") : QString());
    if (notice)
        m_view.showNotice(*notice);
}

bool MailboxClient::finish()
{
    QByteArray answer;
    if (m_session->quit(answer)) {
        m_view.setStatus(QString());
        return true;
    }
    report();
    return false;
}

QSet<QByteArray> MailboxClient::listedIds() const
{
    QSet<QByteArray> ids;
    if (m_fetched.hasUsableIds()) {
        for (const FetchedMessage& message : m_fetched.messages)
            ids.insert(message.uid);
    }
    return ids;
}

void MailboxClient::showMismatch()
{
    m_view.showNotice({Notice::Title::WindowCaption,
                       tr("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."),
                       QString()});
}

void MailboxClient::Emails_abrufen(const Account& account, qint16 LineCount,
                                   const AccessToken& token)
{
    if (m_busy || isAborted())
        return;
    const auto busy = markBusy();
    if (!Do_Connect(account, ListingCommands, token))
        return;

    m_view.clearMessages();
    // What the positions of the list on screen named is gone with it.
    FrameBudget().releaseList(m_fetched.messages);
    m_fetched = FetchedMailbox();
    m_listedAccount = account.identity().key();
    CommandPipeline pipeline(*m_transport, m_session->pipelineDepth(), m_sentAhead);
    MailboxListing listing;
    if (!listMailbox(*m_session, pipeline, listing, MostListed)) {
        report();
        return;
    }
    if (listing.count <= 0) {
        m_view.setSummary(listing.count == 0 ? tr("Keine Emails vorhanden") : tr("Fehler"));
        finish();
        return;
    }
    m_fetched = std::move(listing.messages);
    MailCount = listing.count;
    showListing(listing.count, listing.size);
    // The window shows the listing before the previews are asked for: for a large mailbox both
    // together would hold it up for longer than a frame.
    QCoreApplication::processEvents();
    // Servers refuse a negative count of lines: then every preview would stay empty.
    const qint16 lineCount = qMax<qint16>(0, LineCount);
    const QString scope = PreviewCache::scope(m_listedAccount, lineCount);
    m_previews.open(scope, account.cacheOnDisk);
    PreviewFetch previews(*m_session, m_fetched, m_previews, scope, lineCount);
    QByteArray quitAnswer;
    if (!previews.run(pipeline, listing.size, m_view) || !m_session->quit(quitAnswer)) {
        previews.discard(m_view);
        report();
        return;
    }
    m_view.setStatus(QString());
    // Only a conversation that ended as POP3 ends vouches for its answers.
    if (quitAnswer.startsWith("+OK")) {
        previews.keep();
        m_previews.persist(scope);
    }
}

void MailboxClient::showListing(qint32 count, qint32 totalSize)
{
    QList<ListedMessage> entries;
    entries.reserve(m_fetched.messages.size());
    const QString entry = tr("%1. Email %2");
    FrameBudget frame;
    for (const FetchedMessage& message : std::as_const(m_fetched.messages)) {
        entries.append({entry.arg(QString::number(message.number), QString::number(message.size)),
                        message.uid, message.size});
        frame.yieldWhenSpent();
    }
    m_view.appendMessages(entries);
    // A mailbox of empty messages still needs a valid range.
    m_view.setProgressRange(qMax(totalSize, 1));
    m_view.setSummary(tr("%1 Email%2 mit %3 Bytes")
                          .arg(count)
                          .arg(count > 1 ? QStringLiteral("s") : QString())
                          .arg(totalSize));
}

std::unique_ptr<CommandPipeline> MailboxClient::findAgain(const Account& account,
                                                          const QList<int>& positions,
                                                          const AccessToken& token,
                                                          QList<qint32>& numbers)
{
    numbers.clear();
    // The positions belong to the list on screen; on another account's server they would name
    // whatever messages happen to have the same numbers.
    if (account.identity().key() != m_listedAccount || positions.first() < 0 ||
        positions.last() >= m_fetched.messages.size()) {
        showMismatch();
        return nullptr;
    }
    if (!Do_Connect(account, ListingCommands, token))
        return nullptr;
    auto pipeline =
        std::make_unique<CommandPipeline>(*m_transport, m_session->pipelineDepth(), m_sentAhead);
    MailboxListing now;
    if (!listMailbox(*m_session, *pipeline, now) ||
        !Deletion::recognise(*m_session, *pipeline, m_fetched, MailCount, positions, now,
                             numbers)) {
        report();
        return nullptr;
    }
    if (numbers.isEmpty()) {
        if (finish())
            showMismatch();
        return nullptr;
    }
    return pipeline;
}

void MailboxClient::DeleteMail(const Account& account, QList<int> marked, const AccessToken& token)
{
    m_cancelled = false;
    if (m_busy || isAborted() || marked.isEmpty())
        return;
    const auto busy = markBusy();
    std::sort(marked.begin(), marked.end());
    marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
    QList<qint32> numbers;
    const std::unique_ptr<CommandPipeline> pipeline = findAgain(account, marked, token, numbers);
    if (!pipeline)
        return;
    QStringList refusals;
    QByteArray answer;
    if (!Deletion::deleteMessages(*m_session, *pipeline, numbers, refusals) ||
        !m_session->quit(answer)) {
        report();
        return;
    }
    m_view.setStatus(QString());
    // The server removes the messages only now; a refusal here means it removed none of them.
    if (!answer.startsWith("+OK"))
        refusals.append(tr("Beim Beenden: %1").arg(decodeUtf8OrWindows1252(answer).trimmed()));
    if (!refusals.isEmpty()) {
        m_view.showNotice({Notice::Title::WindowCaption,
                           tr("Nicht jede markierte Nachricht wurde gelöscht."),
                           refusals.join(u'\n')});
    }
}

void MailboxClient::fetchWholeMessage(const Account& account, int position,
                                      const AccessToken& token)
{
    m_cancelled = false;
    if (m_busy || isAborted())
        return;
    const auto busy = markBusy();
    const qint32 size = m_fetched.messages.value(position).size;
    if (size > MessageRetrieval::MaxMessageSize) {
        m_view.showNotice({Notice::Title::WindowCaption,
                           tr("Die Nachricht ist größer als 25 MB und wird nicht abgerufen."),
                           QString()});
        return;
    }
    QList<qint32> numbers;
    const std::unique_ptr<CommandPipeline> pipeline =
        findAgain(account, {position}, token, numbers);
    if (!pipeline)
        return;
    QByteArray message;
    QByteArray answer;
    if (!MessageRetrieval::retrieve(*m_session, *pipeline, numbers.first(), size, m_view,
                                    message) ||
        !m_session->quit(answer)) {
        report();
        return;
    }
    m_view.setStatus(QString());
    m_view.wholeMessageArrived(position, message);
}
