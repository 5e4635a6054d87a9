// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/messageretrieval.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/mailboxview.h"
#include "mailbox/pop3session.h"
#include "mailbox/topanswer.h"
#include "text/textdecoding.h"

#include <QCoreApplication>

namespace MessageRetrieval {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

} // namespace

bool retrieve(Pop3Session& session, CommandPipeline& pipeline, qint32 number, qint32 size,
              MailboxView& view, QByteArray& message)
{
    session.showStatus(Texts::tr("Nachricht %1 vollständig abrufen").arg(number));
    pipeline.send("retr " + QByteArray::number(number));
    const qint32 range = qMax(size, 1);
    view.setProgressRange(range);
    MultiLineOptions options;
    options.expectedSize = size;
    options.storeLimit = MaxMessageSize;
    // As much as an answer for a message of this size can hold (see cannotBelongTo).
    options.receiveLimit = 2 * qint64(qMax(size, 0)) + 1024;
    options.progress = [&view, range](qint64 received) {
        view.setProgress(int(qMin<qint64>(range, received)));
    };
    MultiLineReply reply;
    if (!session.readMultiLine(reply, options))
        return false;
    pipeline.answered();
    view.setProgress(0);
    if (!reply.isOk())
        return session.refuse(Texts::tr("Der Server hat die Nachricht nicht gesandt."),
                              decodeUtf8OrWindows1252(reply.status).trimmed());
    if (cannotBelongTo(reply, size))
        return session.fail(
            Texts::tr("Die Antwort des Servers auf „retr %1“ gehört nicht zu dieser "
                      "Nachricht.")
                .arg(number));
    message = reply.body;
    return true;
}

} // namespace MessageRetrieval
