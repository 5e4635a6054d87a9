// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/replyreader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What the body of an answer to "top" holds: a message's header block and first lines.

// The header block: up to and with the empty line that ends it, exactly as received. Empty when
// the bytes hold no whole header block (cut short, or a server that never ends it).
QByteArray wholeHeaderBlock(QByteArrayView body);

// The text shown for the body: header block and the rest decoded each on its own, UTF-8 when
// valid, else Windows-1252, as a UTF-8 header block often heads a body in another code page.
QString previewText(QByteArrayView body);

class Pop3Session;
struct FetchedMessage;

// Reads the answer to a "top" for the message (the caller sent it, maybe ahead). The answer may
// exceed the listed size a little and is given the time its size needs. An answer that cannot
// belong to the message ends the conversation. False when the conversation ended.
bool readTopAnswer(Pop3Session& session, const FetchedMessage& message, MultiLineOptions options,
                   MultiLineReply& top);

// An answer that cannot be the one for a message of listedSize bytes: a status line where the
// header block must begin (a stray or repeated answer), or far more bytes than the message has.
bool cannotBelongTo(const MultiLineReply& reply, qint32 listedSize);
