// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/fetchedmailbox.h"

#include <limits>

class CommandPipeline;
class Pop3Session;

// What "stat", "list" and "uidl" of one conversation tell: the message count, the total size and,
// when the mailbox has messages, each message's number, size and id.
struct MailboxListing {
    qint32 count = 0;
    qint32 size = 0;
    FetchedMailbox messages;
};

// Asks for the listing after the log-in. "list" and "uidl" go with "stat" to a server that takes
// commands ahead, and are never sent again when they went ahead with the log-in. With a count
// of 0 or less (an empty or broken mailbox) the messages stay empty. A mailbox of more than
// mostMessages is refused before its listing is read. False when the conversation ended; the
// session knows why.
bool listMailbox(Pop3Session& session, CommandPipeline& pipeline, MailboxListing& listing,
                 qint32 mostMessages = std::numeric_limits<qint32>::max());
