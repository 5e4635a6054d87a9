#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyparser.h"
#include "mailbox/replyreader.h"
#include "settings/textdecoding.h"

namespace {

// A stored text stops growing at about this many characters.
constexpr qsizetype StoreLimit = 64000;

} // namespace

void MailboxClient::Emails_abrufen(const AccountSlot& account, qint16 LineCount)
{
    if (m_busy || isAborted())
        return;
    const auto busy = markBusy();
    if (!Do_Connect(account))
        return;

    m_view.clearMessages();
    qint32 count = 0;
    qint32 size = 0;
    if (!askStat(count, size))
        return;
    if (count == 0)
        m_view.setSummary(tr("Keine Emails vorhanden"));
    else if (count < 0)
        m_view.setSummary(tr("Fehler"));
    else if (!fetchMessages(count, size, LineCount))
        return;
    finish();
}

bool MailboxClient::fetchMessages(qint32 count, qint32 totalSize, qint16 lineCount)
{
    QList<QByteArray> uids;
    if (!readUids(count, uids))
        return false;
    MailCount = count;
    // Each text is added as it arrives: a count the server inflates costs no memory up front.
    MailTexts.clear();
    MailUids = uids;
    // A mailbox of empty messages still needs a valid range.
    m_view.setProgressRange(qMax(totalSize, 1));
    m_view.setSummary(tr("%1 Email%2 mit %3 Bytes")
                          .arg(count)
                          .arg(count > 1 ? QStringLiteral("s") : QString())
                          .arg(totalSize));

    qint64 runningTotal = 0;
    qint32 size = totalSize;
    MultiLineOptions options;
    options.storeLimit = StoreLimit;
    options.progress = [&](qint64 received) {
        m_view.setProgress(int(qMin<qint64>(m_view.progressMaximum(), runningTotal + received)));
    };
    for (qint32 i = 1; i <= count; ++i) {
        m_view.setStatus(tr("Nachricht %1 erfassen").arg(i));
        QByteArray reply;
        if (!sendAndRead("list " + QByteArray::number(i), reply))
            return false;
        qint32 number = 0;
        Parse_Reply(reply, number, size);
        m_view.appendMessages({tr("%1. Email %2").arg(i).arg(size)});

        m_connection.sendLine("top " + QByteArray::number(i) + ' ' + QByteArray::number(lineCount));
        m_view.setStatus(tr("Nachricht %1 abrufen").arg(i));
        MultiLineReply top;
        const bool complete = readMultiLine(m_connection, top, options);
        MailTexts.append(decodeUtf8OrWindows1252(top.body));
        m_view.messageArrived(i - 1, MailTexts.last());
        if (!complete) {
            failTransmission();
            return false;
        }
        runningTotal += size;
    }
    m_view.setProgress(0);
    return true;
}
