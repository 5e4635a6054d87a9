#include "mailbox/commandpipeline.h"
#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/serveraddress.h"
#include "mailbox/topanswer.h"

#include <QSet>

namespace {

// A stored text stops growing at about this many bytes.
constexpr qsizetype StoreLimit = 64000;
// A "top" answer may exceed its message's listed size by this much (line ends, added headers);
// more is a server that does not stop.
constexpr qint64 TopAllowance = 64 * 1024;

} // namespace

void MailboxClient::Emails_abrufen(const AccountSlot& account, qint16 LineCount)
{
    if (m_busy || isAborted())
        return;
    const auto busy = markBusy();
    if (!Do_Connect(account, {"stat", "list", "uidl"}))
        return;

    m_view.clearMessages();
    m_listedAccount = accountKey(account);
    CommandPipeline pipeline(m_connection, pipelineDepth(), sentAhead());
    qint32 count = 0;
    qint32 size = 0;
    FetchedMailbox listing;
    if (!listMailbox(pipeline, count, size, listing))
        return;
    if (count <= 0) {
        m_view.setSummary(count == 0 ? tr("Keine Emails vorhanden") : tr("Fehler"));
        finish();
        return;
    }
    m_fetched = listing;
    MailCount = count;
    showListing(count, size);
    // Servers refuse a negative count of lines: then every preview would stay empty.
    const qint16 lineCount = qMax<qint16>(0, LineCount);
    QList<int> fromServer;
    QByteArray quitAnswer;
    if (fetchPreviews(pipeline, size, lineCount, fromServer) && quit(quitAnswer)) {
        // Only a conversation that ended as POP3 ends vouches for its answers.
        if (quitAnswer.startsWith("+OK"))
            keepPreviews(lineCount, fromServer);
        return;
    }
    // Once answers and commands may have fallen out of step, no text of this conversation can be
    // trusted to belong to its entry.
    for (int k : std::as_const(fromServer)) {
        m_fetched.messages[k].text.clear();
        m_fetched.messages[k].header.clear();
        m_view.messageArrived(k, QString());
    }
    failTransmission();
}

void MailboxClient::showListing(qint32 count, qint32 totalSize)
{
    QList<ListedMessage> entries;
    entries.reserve(m_fetched.messages.size());
    for (const FetchedMessage& message : std::as_const(m_fetched.messages))
        entries.append({tr("%1. Email %2").arg(message.number).arg(message.size), message.uid});
    m_view.appendMessages(entries);
    // A mailbox of empty messages still needs a valid range.
    m_view.setProgressRange(qMax(totalSize, 1));
    m_view.setSummary(tr("%1 Email%2 mit %3 Bytes")
                          .arg(count)
                          .arg(count > 1 ? QStringLiteral("s") : QString())
                          .arg(totalSize));
}

bool MailboxClient::fetchPreviews(CommandPipeline& pipeline, qint32 totalSize, qint16 lineCount,
                                  QList<int>& fromServer)
{
    // Without ids that tell messages apart nothing is kept: a preview could land on another
    // message.
    const bool cached = m_fetched.hasUsableIds();
    const QString scope = PreviewCache::scope(m_listedAccount, lineCount);
    qint64 runningTotal = 0;
    for (int k = 0; k < m_fetched.messages.size(); ++k) {
        FetchedMessage& message = m_fetched.messages[k];
        if (cached && m_previews.find(scope, message)) {
            runningTotal += message.size;
            m_view.messageArrived(k, message.text);
        } else {
            fromServer.append(k);
            pipeline.send("top " + QByteArray::number(message.number) + ' ' +
                          QByteArray::number(lineCount));
        }
    }

    MultiLineOptions options;
    options.storeLimit = StoreLimit;
    options.progress = [&](qint64 received) {
        m_view.setProgress(int(qMin<qint64>(qMax(totalSize, 1), runningTotal + received)));
    };
    for (int k : std::as_const(fromServer)) {
        FetchedMessage& message = m_fetched.messages[k];
        m_view.setStatus(tr("Nachricht %1 abrufen").arg(message.number));
        options.receiveLimit = qint64(message.size) + TopAllowance;
        options.expectedSize = message.size;
        MultiLineReply top;
        if (!readMultiLine(m_connection, top, options))
            return false;
        if (cannotBelongTo(top, message.size)) {
            m_connection.failProtocol(
                tr("Die Antwort des Servers auf „top %1“ gehört nicht zu dieser Nachricht.")
                    .arg(message.number));
            return false;
        }
        pipeline.answered();
        message.header = wholeHeaderBlock(top.body);
        message.text = previewText(top.body);
        m_view.messageArrived(k, message.text);
        runningTotal += message.size;
    }
    m_view.setProgress(0);
    return true;
}

void MailboxClient::keepPreviews(qint16 lineCount, const QList<int>& fromServer)
{
    if (!m_fetched.hasUsableIds())
        return;
    const QString scope = PreviewCache::scope(m_listedAccount, lineCount);
    QSet<QByteArray> listed;
    for (const FetchedMessage& message : std::as_const(m_fetched.messages))
        listed.insert(message.uid);
    m_previews.keepOnly(scope, listed);
    for (int k : fromServer) {
        if (!m_fetched.messages[k].header.isEmpty())
            m_previews.store(scope, m_fetched.messages[k]);
    }
}
