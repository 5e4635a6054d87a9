// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/listing.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/pop3session.h"
#include "mailbox/replyparser.h"
#include "mailbox/responsecode.h"
#include "text/textdecoding.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

// A server that is busy or broken says so in a code.
bool hasKnownCode(const QByteArray& reply)
{
    const ResponseCode code = responseCodeOf(reply);
    return code != ResponseCode::None && code != ResponseCode::Other;
}

bool readStat(Pop3Session& session, CommandPipeline& pipeline, MailboxListing& listing)
{
    session.showStatus(Texts::tr("Postfach prüfen"));
    QByteArray reply;
    if (!session.readStatus(reply))
        return false;
    pipeline.answered();
    // Without a code, an error means no mail.
    if (hasKnownCode(reply))
        return session.refuseWithReason(reply);
    Parse_Reply(reply, listing.count, listing.size);
    return true;
}

bool readListAndUids(Pop3Session& session, CommandPipeline& pipeline, FetchedMailbox& messages)
{
    // About 100 bytes a message are far more than any server writes; a listing beyond that is
    // endless, and is not collected past a size that a mailbox of a few hundred thousand
    // messages needs.
    const qint64 limit =
        qMin<qint64>(100LL * messages.countLimit() + 64 * 1024, 32LL * 1024 * 1024);
    MultiLineOptions options;
    options.receiveLimit = limit;
    options.expectedSize = limit;
    // The status line names the message being listed now and then: a hundred thousand texts
    // for a line that shows a few a second would hold up the window.
    QElapsedTimer shown;
    options.onLine = [&](QByteArrayView line) {
        const qsizetype before = messages.messages.size();
        messages.addListLine(line);
        if (messages.messages.size() > before && (!shown.isValid() || shown.elapsed() >= 50)) {
            shown.start();
            session.showStatus(
                Texts::tr("Nachricht %1 erfassen").arg(messages.messages.constLast().number));
        }
    };
    MultiLineReply list;
    if (!session.readMultiLine(list, options))
        return false;
    if (!list.isOk()) {
        if (hasKnownCode(list.status))
            return session.refuseWithReason(list.status);
        return session.refuse(Texts::tr("Fehler bei der Übertragung"),
                              decodeUtf8OrWindows1252(list.status).trimmed());
    }
    pipeline.answered();
    options.onLine = [&](QByteArrayView line) {
        messages.addUidLine(line);
    };
    MultiLineReply uids;
    if (!session.readMultiLine(uids, options))
        return false;
    pipeline.answered();
    messages.finishListing();
    return true;
}

// The answers to "list" and "uidl" that went ahead of an empty or broken mailbox's "stat".
bool skipListing(Pop3Session& session, CommandPipeline& pipeline)
{
    MultiLineOptions options;
    options.receiveLimit = 64 * 1024;
    options.onLine = [](QByteArrayView) {
    };
    for (int answer = 0; answer < 2; ++answer) {
        MultiLineReply reply;
        if (!session.readMultiLine(reply, options))
            return false;
        pipeline.answered();
    }
    return true;
}

} // namespace

bool listMailbox(Pop3Session& session, CommandPipeline& pipeline, MailboxListing& listing,
                 qint32 mostMessages)
{
    // What went ahead is never sent again: its answers are on their way, whatever the server
    // announces now.
    const bool listAhead = pipeline.isPending("list") || session.pipelineDepth() > 1;
    if (!pipeline.isPending("stat"))
        pipeline.send("stat");
    if (listAhead && !pipeline.isPending("list")) {
        pipeline.send("list");
        pipeline.send("uidl");
    }
    if (!readStat(session, pipeline, listing))
        return false;
    if (listing.count <= 0)
        return !listAhead || skipListing(session, pipeline);
    if (listing.count > mostMessages) {
        return session.refuse(
            Texts::tr("Zu viele E-Mails"),
            Texts::tr("Das Postfach enthält %1 E-Mails; Tarvolk zeigt höchstens %2.")
                .arg(listing.count)
                .arg(mostMessages));
    }
    if (!listAhead) {
        pipeline.send("list");
        pipeline.send("uidl");
    }
    listing.messages = FetchedMailbox(listing.count);
    return readListAndUids(session, pipeline, listing.messages);
}
