#pragma once

#include "mailbox/receivebuffer.h"

#include <QDeadlineTimer>
#include <QString>

// Where the reply readers take the server's bytes from: the connection, or a test's own feed.
class ReplySource {
public:
    virtual ~ReplySource() = default;

    virtual ReceiveBuffer& receiveBuffer() = 0;
    // Waits until more bytes have arrived, the deadline has passed or the connection failed.
    // Returns true when no more bytes arrived.
    virtual bool Wait_Reply(QDeadlineTimer deadline) = 0;
    virtual int timeLimitMs() const = 0;
    // The server sent something no POP3 server sends; the connection is given up.
    virtual void failProtocol(const QString& reason) = 0;
};
