#include "mailbox/replyreader.h"

#include "mailbox/connection.h"

#include <QCoreApplication>

namespace {

const QByteArray EndOfLine = QByteArrayLiteral("\r\n");
// The line holding only "." that ends a multi-line answer, with the line end before it.
const QByteArray EndMarker = QByteArrayLiteral("\r\n.\r\n");
// POP3 status lines are at most 512 bytes; far more without a line end is no POP3 server.
constexpr qsizetype StatusLineLimit = 64 * 1024;

} // namespace

bool readStatusLine(Connection& connection, QByteArray& line)
{
    const QDeadlineTimer deadline(connection.timeLimitMs());
    QByteArray collected;
    qsizetype end = -1;
    while ((end = collected.indexOf(EndOfLine)) < 0) {
        const bool failed = connection.Wait_Reply(deadline);
        collected += connection.Reply;
        const bool endless = collected.size() > StatusLineLimit && !collected.contains(EndOfLine);
        if (endless) {
            connection.failProtocol(QCoreApplication::translate(
                "Connection", "Der Server sendet eine Antwortzeile ohne Ende."));
        }
        if (failed || endless) {
            line = collected;
            return false;
        }
    }
    connection.unread(collected.mid(end + EndOfLine.size()));
    line = collected.left(end + EndOfLine.size());
    return true;
}

bool readMultiLine(Connection& connection, MultiLineReply& reply, const MultiLineOptions& options)
{
    reply = {};
    if (!readStatusLine(connection, reply.status))
        return false;
    if (!reply.isOk())
        return true;

    // The status line's CR LF opens the stream, so that an empty body ends at once.
    QByteArray tail = EndOfLine;
    bool storing = true;
    for (;;) {
        QByteArray chunk = std::exchange(connection.RecvBuffer, {});
        if (chunk.isEmpty()) {
            if (connection.Wait_Reply())
                return false;
            chunk = connection.Reply;
        }
        const QByteArray window = tail + chunk;
        const qsizetype marker = window.indexOf(EndMarker);
        if (marker >= 0) {
            // The body ends after the CR LF that opens the marker.
            const qsizetype bodyInChunk = marker + EndOfLine.size() - tail.size();
            if (storing && bodyInChunk >= 0)
                reply.body += chunk.left(bodyInChunk);
            else if (storing)
                reply.body.chop(-bodyInChunk);
            reply.received += qMax<qsizetype>(0, bodyInChunk);
            if (options.progress)
                options.progress(reply.received);
            connection.unread(chunk.mid(marker + EndMarker.size() - tail.size()));
            reply.body = undoDotStuffing(reply.body);
            return true;
        }
        if (storing)
            reply.body += chunk;
        storing = options.storeLimit < 0 || reply.body.size() < options.storeLimit;
        reply.received += chunk.size();
        tail = window.right(EndMarker.size() - 1);
        if (options.progress)
            options.progress(reply.received);
    }
}

QByteArray undoDotStuffing(const QByteArray& body)
{
    QByteArray result;
    result.reserve(body.size());
    qsizetype lineStart = 0;
    while (lineStart < body.size()) {
        qsizetype next = body.indexOf(EndOfLine, lineStart);
        next = next < 0 ? body.size() : next + EndOfLine.size();
        const bool stuffed = body.at(lineStart) == '.' && lineStart + 1 < body.size() &&
                             body.at(lineStart + 1) == '.';
        result += QByteArrayView(body).sliced(lineStart + (stuffed ? 1 : 0),
                                              next - lineStart - (stuffed ? 1 : 0));
        lineStart = next;
    }
    return result;
}
