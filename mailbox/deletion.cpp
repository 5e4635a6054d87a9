#include "mailbox/commandpipeline.h"
#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/serveraddress.h"
#include "settings/textdecoding.h"

#include <QHash>
#include <algorithm>

namespace {

// The header block of a stored text: up to and with the empty line that ends it.
QString headerBlock(const QString& text)
{
    const qsizetype end = text.indexOf(QStringLiteral("\r\n\r\n"));
    return end < 0 ? text : text.left(end + 4);
}

} // namespace

void MailboxClient::DeleteMail(const AccountSlot& account, QList<int> marked)
{
    if (m_busy || isAborted() || marked.isEmpty())
        return;
    const auto busy = markBusy();
    std::sort(marked.begin(), marked.end());
    marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
    // The marks belong to the list on screen; on another account's server they would hit
    // whatever messages happen to have the same numbers.
    if (accountKey(account) != m_listedAccount || marked.first() < 0 ||
        marked.last() >= m_fetched.messages.size()) {
        showMismatch();
        return;
    }
    if (!Do_Connect(account, {"stat", "list", "uidl"}))
        return;

    CommandPipeline pipeline(m_connection, pipelineDepth(), sentAhead() ? 3 : 0);
    qint32 count = 0;
    qint32 size = 0;
    FetchedMailbox now;
    if (!listMailbox(pipeline, count, size, now))
        return;
    if (count <= 0) {
        showMismatch();
        finish();
        return;
    }
    QList<qint32> numbers;
    QStringList refusals;
    if (!sameMessages(pipeline, marked, count, now, numbers) ||
        !deleteMessages(pipeline, numbers, refusals))
        return;
    finish();
    if (!refusals.isEmpty()) {
        m_view.showNotice({Notice::Title::WindowCaption,
                           tr("Nicht jede markierte Nachricht wurde gelöscht."),
                           refusals.join(u'\n')});
    }
}

bool MailboxClient::sameMessages(CommandPipeline& pipeline, const QList<int>& marked, qint32 count,
                                 const FetchedMailbox& now, QList<qint32>& numbers)
{
    numbers.clear();
    bool same = true;
    if (m_fetched.hasUsableIds() && now.hasUsableIds()) {
        // A message keeps its id when others come and go; its number may change.
        QHash<QByteArray, qint32> numberOfId;
        for (const FetchedMessage& message : now.messages)
            numberOfId.insert(message.uid, message.number);
        for (int k : marked) {
            const auto found = numberOfId.constFind(m_fetched.messages[k].uid);
            same = same && found != numberOfId.constEnd();
            if (same)
                numbers.append(*found);
        }
    } else {
        // Without ids, each marked message's header block must still be the one the user saw:
        // a deletion elsewhere and a new arrival keep the count but shift the numbers.
        same = count == MailCount;
        if (same && !sameHeaders(pipeline, marked, same))
            return false;
        for (int k : marked)
            numbers.append(m_fetched.messages[k].number);
    }
    if (!same) {
        numbers.clear();
        showMismatch();
    }
    return true;
}

bool MailboxClient::sameHeaders(CommandPipeline& pipeline, const QList<int>& marked, bool& same)
{
    for (int k : marked)
        pipeline.send("top " + QByteArray::number(m_fetched.messages[k].number) + " 0");
    MultiLineOptions options;
    for (int k : marked) {
        const FetchedMessage& message = m_fetched.messages[k];
        options.receiveLimit = qint64(message.size) + 64 * 1024;
        options.expectedSize = message.size;
        options.storeLimit = 64000;
        MultiLineReply top;
        if (!readMultiLine(m_connection, top, options)) {
            failTransmission();
            return false;
        }
        pipeline.answered();
        const QString stored = headerBlock(message.text);
        same = same && top.isOk() &&
               headerBlock(decodeUtf8OrWindows1252(top.body)).left(stored.size()) == stored;
    }
    return true;
}

bool MailboxClient::deleteMessages(CommandPipeline& pipeline, const QList<qint32>& numbers,
                                   QStringList& refusals)
{
    for (qint32 number : numbers)
        pipeline.send("dele " + QByteArray::number(number));
    for (qint32 number : numbers) {
        m_view.setStatus(tr("Nachricht %1 löschen").arg(number));
        QByteArray reply;
        if (!readStatusLine(m_connection, reply)) {
            failTransmission();
            return false;
        }
        pipeline.answered();
        if (!reply.startsWith("+OK"))
            refusals.append(
                tr("Nachricht %1: %2").arg(number).arg(decodeUtf8OrWindows1252(reply).trimmed()));
    }
    return true;
}
