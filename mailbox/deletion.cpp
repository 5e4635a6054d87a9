// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/deletion.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/listing.h"
#include "mailbox/pop3session.h"
#include "mailbox/topanswer.h"
#include "text/textdecoding.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>

namespace Deletion {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

// A message keeps its id when others come and go; its number may change.
void findByIds(const FetchedMailbox& seen, const QList<int>& marked, const FetchedMailbox& now,
               QList<qint32>& numbers)
{
    QHash<QByteArray, qint32> numberOfId;
    for (const FetchedMessage& message : now.messages)
        numberOfId.insert(message.uid, message.number);
    for (int k : marked) {
        const auto found = numberOfId.constFind(seen.messages[k].uid);
        if (found == numberOfId.constEnd()) {
            numbers.clear();
            return;
        }
        numbers.append(*found);
    }
}

bool compareHeaders(Pop3Session& session, CommandPipeline& pipeline, const FetchedMailbox& seen,
                    const QList<int>& marked, QList<qint32>& numbers)
{
    for (int k : marked)
        pipeline.send("top " + QByteArray::number(seen.messages[k].number) + " 0");
    bool same = true;
    MultiLineOptions options;
    options.storeLimit = 64000;
    for (int k : marked) {
        const FetchedMessage& message = seen.messages[k];
        MultiLineReply top;
        if (!readTopAnswer(session, message, options, top))
            return false;
        pipeline.answered();
        same = same && top.isOk() && wholeHeaderBlock(top.body) == message.header;
        numbers.append(message.number);
    }
    if (!same)
        numbers.clear();
    return true;
}

} // namespace

bool recognise(Pop3Session& session, CommandPipeline& pipeline, const FetchedMailbox& seen,
               qint32 seenCount, const QList<int>& marked, const MailboxListing& now,
               QList<qint32>& numbers)
{
    numbers.clear();
    if (now.count <= 0)
        return true;
    if (seen.hasUsableIds() && now.messages.hasUsableIds()) {
        findByIds(seen, marked, now.messages, numbers);
        return true;
    }
    // Without ids, a deletion elsewhere and a new arrival keep the count but shift the numbers.
    const bool stored = std::all_of(marked.begin(), marked.end(),
                                    [&seen](int k) { return !seen.messages[k].header.isEmpty(); });
    if (now.count != seenCount || !stored)
        return true;
    return compareHeaders(session, pipeline, seen, marked, numbers);
}

bool deleteMessages(Pop3Session& session, CommandPipeline& pipeline, const QList<qint32>& numbers,
                    QStringList& refusals)
{
    for (qint32 number : numbers)
        pipeline.send("dele " + QByteArray::number(number));
    for (qint32 number : numbers) {
        session.showStatus(Texts::tr("Nachricht %1 löschen").arg(number));
        QByteArray reply;
        if (!session.readStatus(reply))
            return false;
        pipeline.answered();
        if (!reply.startsWith("+OK"))
            refusals.append(Texts::tr("Nachricht %1: %2")
                                .arg(number)
                                .arg(decodeUtf8OrWindows1252(reply).trimmed()));
    }
    return true;
}

} // namespace Deletion
