// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Conversations for the scripted server, written as a server log reads, and whole fetches as
// Tarvolk holds them.

#include "testsupport/scenario.h"

#include <QByteArray>
#include <QList>

namespace pop3test {

// A message as the scripted server holds it: its unique id, its whole text, and the size "list"
// gives when that is not the text's.
struct ServedMail {
    QByteArray uid;
    QByteArray text;
    qint64 size = -1;
};

// A multi-line "+OK" answer: lines starting with "." are stuffed and the "." line ends it.
QByteArray multiLineAnswer(const QByteArray& body, const QByteArray& status = "+OK");

// The answers to "stat", "list" and "uidl" for these mails.
QByteArray statAnswer(const QList<ServedMail>& mails);
QByteArray listAnswer(const QList<ServedMail>& mails);
QByteArray uidlAnswer(const QList<ServedMail>& mails);

// How a server answers "uidl": with each mail's id, with "-ERR", or with one id for all.
enum class Ids { Unique, Refused, Alike };

// Log-in as joe with the password secret, then "stat", "list" and "uidl" of the mails. capa is the
// server's answer to "capa" as transcript lines ("S: +OK\nS: UIDL\nS: .\n"), "-ERR" when empty.
// A server that announces PIPELINING gets the listing with the log-in; the client sends its
// "capa" with them too (early) when it knows the server from an earlier press.
Scenario listing(const QList<ServedMail>& mails, Ids ids = Ids::Unique, const QByteArray& capa = {},
                 bool early = false);

// "top i lineCount" for the messages after the first `skipped`, one at a time, each answered with
// the whole mail.
Scenario previews(const QList<ServedMail>& mails, int lineCount = 10, int skipped = 0);

// After the log-in with a server that announces nothing: the listing of the mails, each preview
// with lineCount lines (the server sends the whole text), and "quit".
Scenario fetchAfterLogin(const QList<ServedMail>& mails, int lineCount = 10);

// Log-in to quit of a fetch.
Scenario fetchConversation(const QList<ServedMail>& mails, int lineCount = 10,
                           const QByteArray& user = "joe", const QByteArray& password = "secret");

} // namespace pop3test
