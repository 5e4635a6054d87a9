#pragma once

#include <QByteArray>
#include <functional>

class Connection;

// POP3 answers read over the connection's receive buffer. Bytes after the end of an answer stay
// buffered for the next one, so commands may be sent ahead of their answers.

// A single-line answer, complete only at its CR LF, awaited within one time limit.
// Returns false on a time-out or a failed connection.
bool readStatusLine(Connection& connection, QByteArray& line);

struct MultiLineReply {
    QByteArray status;   // the status line, CR LF included
    QByteArray body;     // the lines after it, without the final "." line and with dots unstuffed
    qint64 received = 0; // bytes of the body received, stored or not

    bool isOk() const { return status.startsWith("+OK"); }
};

struct MultiLineOptions {
    // The body stops growing once it is this long; the chunk that crosses the limit is kept.
    qsizetype storeLimit = -1;
    // Called after each chunk of the body with the bytes received so far.
    std::function<void(qint64 received)> progress;
};

// A multi-line answer: its status line and, after "+OK", the lines up to the one holding only
// ".". An "-ERR" answer has no body. Each chunk of the body is awaited within the time limit.
bool readMultiLine(Connection& connection, MultiLineReply& reply,
                   const MultiLineOptions& options = {});

// Undoes the byte-stuffing of a multi-line answer: a line that begins with ".." loses one ".".
QByteArray undoDotStuffing(const QByteArray& body);
