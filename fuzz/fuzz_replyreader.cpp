// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The reply readers and the listing parsers behind them, fed a server's bytes in chunks.
//
// The first four bytes steer a run: the longest chunk, a seed for the chunk lengths, the kind of
// each answer read (two bits each) and a limit; the rest is what the server sends. Every answer
// must come out as the plain whole-stream reading in replymodel.h finds it.

#include "fuzz/replymodel.h"
#include "fuzz/require.h"
#include "mailbox/capabilities.h"
#include "mailbox/fetchedmailbox.h"
#include "mailbox/replyreader.h"
#include "testsupport/fedsource.h"

#include <QSet>
#include <cstdint>
#include <random>

namespace {

enum Kind { StatusLine, WholeBody, LimitedBody, ListingLines };

// Lines handed to onLine are cut to this length.
constexpr qsizetype LineCut = 4 * 1024;

// The chunks view the stream: copying happens only into the receive buffer.
QList<QByteArray> chunksOf(QByteArrayView stream, int maxChunk, unsigned seed)
{
    std::minstd_rand lengths(seed);
    QList<QByteArray> chunks;
    for (qsizetype pos = 0; pos < stream.size();) {
        const qsizetype length = qMin<qsizetype>(1 + lengths() % maxChunk, stream.size() - pos);
        chunks.append(QByteArray::fromRawData(stream.data() + pos, length));
        pos += length;
    }
    return chunks;
}

bool checkStatusLine(FedSource& source, QByteArrayView stream, qsizetype& cursor)
{
    const ModelAnswer expected = modelStatusLine(stream, cursor);
    QByteArray line;
    const bool read = readStatusLine(source, line);
    require(read == (expected.outcome == ModelAnswer::Complete),
            "a status line is read when it is whole and begins with +OK or -ERR");
    require(source.failure.isEmpty() == (expected.outcome != ModelAnswer::Rejected),
            "only an unknown status line fails the connection");
    if (read)
        require(line == expected.status, "the status line is the first line, CR LF included");
    return read;
}

void checkMessageNumber(QByteArrayView line)
{
    const qsizetype blank = line.indexOf(' ');
    const QByteArrayView field = blank < 0 ? line : line.first(blank);
    qint32 number = -1;
    if (!parseMessageNumber(field, number))
        return;
    qsizetype zeros = 0;
    while (zeros + 1 < field.size() && field[zeros] == '0')
        ++zeros;
    require(QByteArray::number(number) == field.sliced(zeros), "a message number reads as written");
}

void checkListing(FetchedMailbox& mailbox)
{
    mailbox.finishListing();
    qint32 previous = 0;
    QSet<QByteArray> uids;
    for (const FetchedMessage& message : std::as_const(mailbox.messages)) {
        require(message.number > previous && message.number <= mailbox.countLimit(),
                "listed numbers ascend within the count");
        require(message.size >= 0, "a listed size is a whole number");
        require(message.uid.isEmpty() != mailbox.hasUsableIds(),
                "ids are kept exactly when every message has one of its own");
        previous = message.number;
        uids.insert(message.uid);
    }
    if (mailbox.hasUsableIds())
        require(uids.size() == mailbox.messages.size(), "kept ids are distinct");
}

bool checkMultiLine(FedSource& source, QByteArrayView stream, qsizetype& cursor, Kind kind,
                    quint8 limit)
{
    const ModelAnswer expected = modelMultiLine(stream, cursor);
    MultiLineOptions options;
    qint64 progress = 0;
    qsizetype handedOut = 0;
    FetchedMailbox mailbox(limit);
    Capabilities capabilities;
    if (kind == LimitedBody) {
        options.storeLimit = limit / 2;
        options.receiveLimit = limit * 8;
        options.progress = [&](qint64 received) {
            require(received >= progress, "progress never goes back");
            progress = received;
        };
    } else if (kind == ListingLines) {
        options.onLine = [&](QByteArrayView line) {
            // Whole or not, an answer hands out a beginning of the lines the model finds.
            require(handedOut < expected.lines.size() &&
                        line == expected.lines[handedOut].first(
                                    qMin(LineCut, expected.lines[handedOut].size())),
                    "a line is handed out unstuffed, without CR LF, cut at 4 KB");
            ++handedOut;
            checkMessageNumber(line);
            mailbox.addListLine(line);
            mailbox.addUidLine(line);
            capabilities.addLine(line);
        };
    }
    MultiLineReply reply;
    const bool read = readMultiLine(source, reply, options);
    const bool tooLong = options.receiveLimit >= 0 && expected.received > options.receiveLimit;
    if (expected.outcome == ModelAnswer::Rejected || tooLong) {
        require(!read && !source.failure.isEmpty(), "an unknown or too long answer fails");
        return false;
    }
    if (expected.outcome == ModelAnswer::Incomplete) {
        // Cut off: only the limit, reached before the end, may fail the connection.
        require(!read, "a cut-off answer is not read");
        require(source.failure.isEmpty() || options.receiveLimit >= 0,
                "a cut-off answer within no limit does not fail the connection");
        return false;
    }
    require(read && source.failure.isEmpty(), "a whole answer is read");
    require(reply.status == expected.status, "the status line comes first");
    require(reply.received == expected.received, "received counts the body as sent");
    if (kind == WholeBody)
        require(reply.body == expected.body, "the body is the unstuffed lines before \".\"");
    if (kind == LimitedBody) {
        require(expected.body.startsWith(reply.body) &&
                    reply.body.size() >= qMin(options.storeLimit, expected.body.size()),
                "a limited body is the body's beginning, at least the limit long");
        require(progress == reply.received || !reply.isOk(), "the last progress is the total");
    }
    if (kind == ListingLines) {
        require(reply.body.isEmpty(), "lines handed out are not stored");
        require(handedOut == expected.lines.size(), "each line is handed out once");
        checkListing(mailbox);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Far below the 64 KB a status line may wait for its end, which the model leaves out.
    if (size < 4 || size > 32 * 1024)
        return 0;
    const QByteArrayView stream(reinterpret_cast<const char*>(data) + 4, qsizetype(size) - 4);
    FedSource source(chunksOf(stream, 1 + data[0], data[1] + 1u));
    qsizetype cursor = 0;
    for (int answer = 0;; ++answer) {
        const auto kind = Kind((data[2] >> (2 * (answer % 4))) & 3);
        const bool more = kind == StatusLine
                              ? checkStatusLine(source, stream, cursor)
                              : checkMultiLine(source, stream, cursor, kind, data[3]);
        if (!more)
            return 0;
    }
}
