// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

class ReplySource;

// POP3 answers read over the receive buffer. Bytes after the end of an answer stay buffered for
// the next one, so commands may be sent ahead of their answers.

struct StatusLineOptions {
    // A SASL challenge ("+ " and base64) is an answer too.
    bool challenge = false;
};

// A status line, complete only at its CR LF, awaited within one time limit. It must begin with
// "+OK" or "-ERR": anything else cannot be matched to a command and fails the connection, as does
// a line begun but not ended within the time limit (the server is too slow).
// Returns false on a time-out, a failed connection or such a line.
bool readStatusLine(ReplySource& source, QByteArray& line, const StatusLineOptions& options = {});

struct MultiLineReply {
    QByteArray status;   // the status line, CR LF included
    QByteArray body;     // the lines after it, without the final "." line and with dots unstuffed
    qint64 received = 0; // bytes of the body received, stored or not

    bool isOk() const { return status.startsWith("+OK"); }
};

struct MultiLineOptions {
    // The body stops growing once it is this long; the chunk that crosses the limit is kept.
    qsizetype storeLimit = -1;
    // A body longer than this fails the connection: no server sends that much for the command.
    qint64 receiveLimit = -1;
    // About how many bytes the answer holds: it gets the time they need at the source's floor
    // rate on top of the time limit (see ReplySource::answerTimeMs).
    qint64 expectedSize = 64 * 1024;
    // Called after each chunk of the body with the bytes received so far.
    std::function<void(qint64 received)> progress;
    // When set, each line of the body (unstuffed, without CR LF, cut at 4 KB) goes here instead
    // of into the body.
    std::function<void(QByteArrayView line)> onLine;
};

// A multi-line answer: its status line and, after "+OK", the lines up to the one holding only
// ".". An "-ERR" answer has no body. Each chunk of the body is awaited within the time limit, and
// the whole answer within the source's answer time for options.expectedSize: a server that is
// slower than that fails the connection.
bool readMultiLine(ReplySource& source, MultiLineReply& reply,
                   const MultiLineOptions& options = {});
