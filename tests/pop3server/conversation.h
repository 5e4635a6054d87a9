#pragma once

// Whole conversations as Tarvolk holds them with a server that announces no capabilities, for
// tests that care about what the client shows rather than about each command.

#include "pop3server/scriptedserver.h"

#include <QByteArray>
#include <QList>

namespace pop3test {

// A message as the scripted server holds it: its unique id and its whole text.
struct ServedMail {
    QByteArray uid;
    QByteArray text;
};

// A multi-line "+OK" answer: lines starting with "." are stuffed and the "." line ends it.
QByteArray multiLineAnswer(const QByteArray& body, const QByteArray& status = "+OK");

// After the log-in: the listing of the mails, each preview with lineCount lines (the server
// sends the whole text), and "quit".
Scenario fetchAfterLogin(const QList<ServedMail>& mails, int lineCount = 10);

// Log-in to quit of a fetch.
Scenario fetchConversation(const QList<ServedMail>& mails, int lineCount = 10,
                           const QByteArray& user = "joe", const QByteArray& password = "secret");

} // namespace pop3test
