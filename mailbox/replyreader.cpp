// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/replyreader.h"

#include "mailbox/framebudget.h"
#include "mailbox/replysource.h"

#include <QCoreApplication>

namespace {

const QByteArray EndOfLine = QByteArrayLiteral("\r\n");
// POP3 status lines are at most 512 bytes; far more without a line end is no POP3 server.
constexpr qsizetype StatusLineLimit = 64 * 1024;
// Lines handed to a line reader are cut here: listings and capabilities have short lines.
constexpr qsizetype ReadLineLimit = 4 * 1024;
// Lines of a body are begun in one go up to here: a megabyte of a listing at once would hold up
// the window.
constexpr qsizetype SliceSize = 64 * 1024;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Connection)
};

// Reads the lines of a multi-line body as they arrive, taking each from the buffer once read.
class BodyReader {
public:
    BodyReader(MultiLineReply& reply, const MultiLineOptions& options)
        : m_reply(reply), m_options(options)
    {
    }

    enum class Step { NeedsMore, Paused, Ended };

    // Takes what the buffer holds, or pauses after a slice of it: Ended once the line holding
    // only "." has been taken.
    Step consume(ReceiveBuffer& buffer)
    {
        const QByteArrayView bytes = buffer.unread();
        qsizetype pos = 0;
        bool ended = false;
        while (pos < bytes.size() && pos < SliceSize) {
            if (m_atLineStart) {
                const QByteArrayView rest = bytes.sliced(pos);
                if (rest.startsWith('.') && rest.size() < 3)
                    break; // too few bytes to tell the end from a stuffed line
                if (rest.startsWith(".\r\n")) {
                    pos += 3;
                    ended = true;
                    break;
                }
                if (rest.startsWith(".."))
                    ++pos;
            }
            const qsizetype end = bytes.indexOf(EndOfLine, pos);
            if (end < 0) {
                // A partial line is taken, all but a last byte that may begin the line end.
                const qsizetype keep = bytes.size() - 1;
                if (keep > pos) {
                    add(bytes.sliced(pos, keep - pos), false);
                    pos = keep;
                }
                break;
            }
            add(bytes.sliced(pos, end + EndOfLine.size() - pos), true);
            pos = end + EndOfLine.size();
        }
        const bool paused = !ended && pos >= SliceSize && pos < bytes.size();
        buffer.take(pos);
        m_reply.received += ended ? pos - 3 : pos;
        return ended ? Step::Ended : paused ? Step::Paused : Step::NeedsMore;
    }

private:
    void add(QByteArrayView piece, bool endsLine)
    {
        m_atLineStart = endsLine;
        if (m_options.onLine) {
            // The line end goes before the cut, or a line just below it would keep its CR.
            const QByteArrayView text = endsLine ? piece.chopped(EndOfLine.size()) : piece;
            if (m_line.size() < ReadLineLimit)
                m_line += text.first(qMin(text.size(), ReadLineLimit - m_line.size()));
            if (endsLine) {
                m_options.onLine(m_line);
                m_line.clear();
            }
        } else if (m_options.storeLimit < 0 || m_reply.body.size() < m_options.storeLimit) {
            m_reply.body += piece;
        }
    }

    MultiLineReply& m_reply;
    const MultiLineOptions& m_options;
    bool m_atLineStart = true;
    QByteArray m_line;
};

// How long a whole answer may take, and when that time is up.
struct AnswerTime {
    explicit AnswerTime(qint64 ms) : allowedMs(ms), deadline(ms, Qt::PreciseTimer) {}
    qint64 allowedMs;
    QDeadlineTimer deadline;
};

// Waits for more of an answer: each time at most the time limit, and never past the answer's
// deadline. False when no more came; the source then knows why, unless the deadline ended an
// answer already begun: that server is too slow, however steadily it trickles.
bool awaitMore(ReplySource& source, const AnswerTime& answer, bool begun)
{
    if (!answer.deadline.hasExpired()) {
        const QDeadlineTimer silence(source.timeLimitMs(), Qt::PreciseTimer);
        if (!source.Wait_Reply(qMin(silence, answer.deadline)))
            return true;
        if (!answer.deadline.hasExpired() || !begun)
            return false;
    }
    source.failProtocol(
        Texts::tr("Der Server antwortet zu langsam: seine Antwort war nach %1 Sekunden "
                  "noch nicht vollständig.")
            .arg(double(answer.allowedMs) / 1000.0));
    return false;
}

} // namespace

bool readStatusLine(ReplySource& source, QByteArray& line, const StatusLineOptions& options)
{
    const AnswerTime answer(source.timeLimitMs());
    ReceiveBuffer& buffer = source.receiveBuffer();
    qsizetype searchFrom = 0;
    qsizetype end = -1;
    while ((end = buffer.unread().indexOf(EndOfLine, searchFrom)) < 0) {
        if (buffer.size() > StatusLineLimit) {
            source.failProtocol(Texts::tr("Der Server sendet eine Antwortzeile ohne Ende."));
            return false;
        }
        searchFrom = qMax<qsizetype>(0, buffer.size() - 1);
        if (!awaitMore(source, answer, buffer.size() > 0))
            return false;
    }
    line = buffer.unread().first(end + EndOfLine.size()).toByteArray();
    buffer.take(line.size());
    const bool challenge = options.challenge && (line.startsWith("+ ") || line == "+\r\n");
    if (!line.startsWith("+OK") && !line.startsWith("-ERR") && !challenge) {
        source.failProtocol(Texts::tr("Unerwartete Antwort des Servers: „%1“")
                                .arg(QString::fromLatin1(line.trimmed().left(200))));
        return false;
    }
    return true;
}

bool readMultiLine(ReplySource& source, MultiLineReply& reply, const MultiLineOptions& options)
{
    reply = {};
    const AnswerTime answer(source.answerTimeMs(options.expectedSize));
    if (!readStatusLine(source, reply.status))
        return false;
    if (!reply.isOk())
        return true;

    BodyReader body(reply, options);
    FrameBudget frame;
    for (;;) {
        const BodyReader::Step step = body.consume(source.receiveBuffer());
        if (options.receiveLimit >= 0 && reply.received > options.receiveLimit) {
            source.failProtocol(Texts::tr("Die Antwort des Servers ist zu lang."));
            return false;
        }
        if (options.progress)
            options.progress(reply.received);
        if (step == BodyReader::Step::Ended)
            return true;
        // The window gets its turn only here, where no view into the buffer is held.
        if (step == BodyReader::Step::Paused) {
            frame.yieldWhenSpent();
            continue;
        }
        if (!awaitMore(source, answer, true))
            return false;
    }
}
