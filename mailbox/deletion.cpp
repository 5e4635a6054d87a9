#include "mailbox/commandpipeline.h"
#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/serveraddress.h"
#include "mailbox/topanswer.h"
#include "settings/textdecoding.h"

#include <QHash>
#include <algorithm>

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

    CommandPipeline pipeline(m_connection, pipelineDepth(), sentAhead());
    qint32 count = 0;
    qint32 size = 0;
    FetchedMailbox now;
    if (!listMailbox(pipeline, count, size, now))
        return;
    QList<qint32> numbers;
    if (count > 0 && !recognise(pipeline, marked, count, now, numbers))
        return;
    if (numbers.isEmpty()) {
        if (finish())
            showMismatch();
        return;
    }
    QStringList refusals;
    QByteArray answer;
    if (!deleteMessages(pipeline, numbers, refusals) || !quit(answer)) {
        failTransmission();
        return;
    }
    // The server removes the messages only now; a refusal here means it removed none of them.
    if (!answer.startsWith("+OK"))
        refusals.append(tr("Beim Beenden: %1").arg(decodeUtf8OrWindows1252(answer).trimmed()));
    if (!refusals.isEmpty()) {
        m_view.showNotice({Notice::Title::WindowCaption,
                           tr("Nicht jede markierte Nachricht wurde gelöscht."),
                           refusals.join(u'\n')});
    }
}

bool MailboxClient::recognise(CommandPipeline& pipeline, const QList<int>& marked, qint32 count,
                              const FetchedMailbox& now, QList<qint32>& numbers)
{
    numbers.clear();
    if (m_fetched.hasUsableIds() && now.hasUsableIds()) {
        // A message keeps its id when others come and go; its number may change.
        QHash<QByteArray, qint32> numberOfId;
        for (const FetchedMessage& message : now.messages)
            numberOfId.insert(message.uid, message.number);
        for (int k : marked) {
            const auto found = numberOfId.constFind(m_fetched.messages[k].uid);
            if (found == numberOfId.constEnd()) {
                numbers.clear();
                return true;
            }
            numbers.append(*found);
        }
        return true;
    }
    // Without ids, a deletion elsewhere and a new arrival keep the count but shift the numbers:
    // a message counts as the one the user saw only when the server sends its whole header
    // block again, byte for byte as stored.
    const bool stored = std::all_of(marked.begin(), marked.end(), [this](int k) {
        return !m_fetched.messages[k].header.isEmpty();
    });
    if (count != MailCount || !stored)
        return true;
    return sameHeaders(pipeline, marked, numbers);
}

bool MailboxClient::sameHeaders(CommandPipeline& pipeline, const QList<int>& marked,
                                QList<qint32>& numbers)
{
    for (int k : marked)
        pipeline.send("top " + QByteArray::number(m_fetched.messages[k].number) + " 0");
    bool same = true;
    MultiLineOptions options;
    options.storeLimit = 64000;
    for (int k : marked) {
        const FetchedMessage& message = m_fetched.messages[k];
        options.receiveLimit = qint64(message.size) + 64 * 1024;
        options.expectedSize = message.size;
        MultiLineReply top;
        if (!readMultiLine(m_connection, top, options)) {
            failTransmission();
            return false;
        }
        if (cannotBelongTo(top, message.size)) {
            m_connection.failProtocol(
                tr("Die Antwort des Servers auf „top %1 0“ gehört nicht zu dieser Nachricht.")
                    .arg(message.number));
            failTransmission();
            return false;
        }
        pipeline.answered();
        same = same && top.isOk() && wholeHeaderBlock(top.body) == message.header;
        numbers.append(message.number);
    }
    if (!same)
        numbers.clear();
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
        if (!readStatusLine(m_connection, reply))
            return false;
        pipeline.answered();
        if (!reply.startsWith("+OK"))
            refusals.append(
                tr("Nachricht %1: %2").arg(number).arg(decodeUtf8OrWindows1252(reply).trimmed()));
    }
    return true;
}
