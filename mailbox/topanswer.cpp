// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/topanswer.h"

#include "mailbox/fetchedmailbox.h"
#include "mailbox/pop3session.h"
#include "text/textdecoding.h"

#include <QCoreApplication>

namespace {

// How far an answer may exceed the listed size: servers that store bare LF add a CR to every
// line and stuffing adds a dot to some, which at most doubles a message of one-character lines.
// Listed sizes of some servers are estimates; this stays well clear of them.
qint64 mostBytesFor(qint32 listedSize)
{
    return 2 * qint64(qMax(listedSize, 0)) + 1024;
}

bool startsWithStatusLine(QByteArrayView body)
{
    for (const QByteArrayView status : {QByteArrayView("+OK"), QByteArrayView("-ERR")}) {
        if (!body.startsWith(status))
            continue;
        const QByteArrayView rest = body.sliced(status.size());
        if (rest.isEmpty() || rest.startsWith(' ') || rest.startsWith("\r\n"))
            return true;
    }
    return false;
}

// A "top" answer may exceed its message's listed size by this much before it is cut off as
// endless; whether it can belong to the message is judged once it is complete.
constexpr qint64 TopAllowance = 64 * 1024;

} // namespace

bool readTopAnswer(Pop3Session& session, const FetchedMessage& message, MultiLineOptions options,
                   MultiLineReply& top)
{
    options.receiveLimit = qint64(message.size) + TopAllowance;
    options.expectedSize = message.size;
    if (!session.readMultiLine(top, options))
        return false;
    if (!cannotBelongTo(top, message.size))
        return true;
    return session.fail(QCoreApplication::translate(
                            "MailboxClient", "Die Antwort des Servers auf „top %1“ gehört nicht "
                                             "zu dieser Nachricht.")
                            .arg(message.number));
}

QByteArray wholeHeaderBlock(QByteArrayView body)
{
    if (body.startsWith("\r\n"))
        return body.first(2).toByteArray();
    const qsizetype end = body.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : body.first(end + 4).toByteArray();
}

QString previewText(QByteArrayView body)
{
    const qsizetype headerSize = wholeHeaderBlock(body).size();
    if (headerSize == 0)
        return decodeUtf8OrWindows1252(body);
    return decodeUtf8OrWindows1252(body.first(headerSize)) +
           decodeUtf8OrWindows1252(body.sliced(headerSize));
}

bool cannotBelongTo(const MultiLineReply& reply, qint32 listedSize)
{
    return reply.isOk() &&
           (startsWithStatusLine(reply.body) || reply.received > mostBytesFor(listedSize));
}
