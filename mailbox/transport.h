#pragma once

#include "mailbox/replysource.h"
#include "settings/account.h"

#include <QByteArray>
#include <QString>

// The connection one POP3 session runs on: connect, start TLS, send a line, wait for data or the
// time-out (ReplySource), close. Connection is the one that talks to a server.
class Transport : public ReplySource {
public:
    enum class Failure { None, TimedOut, Network, Certificate, Protocol, Cancelled };

    // Connects, with TLS from the first byte for Security::Tls; what an earlier conversation left
    // unread is dropped.
    virtual void open(const ServerAddress& server) = 0;
    // Turns the open plain connection into a TLS one; false when the handshake failed or timed
    // out.
    virtual bool startEncryption() = 0;
    // Sends one command line; CR LF is added.
    virtual void sendLine(const QByteArray& command) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The time limit of a wait, and the longer one for the answer to a password.
    virtual void setTimeLimitMs(int milliseconds) = 0;
    virtual int loginTimeLimitMs() const = 0;

    // Once aborted (the window closes), every wait fails at once and nobody is told.
    virtual bool isAborted() const = 0;
    // What ended the last failed wait, and why, in German, for the user.
    virtual Failure failure() const = 0;
    virtual QString failureReason() const = 0;
};
