// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// A whole message as the user reads it: the text a mail program shows, then what is attached.
struct ReadableMessage {
    struct Attachment {
        QString name;    // the file name the sender gave, else the content type; one plain line
        qint64 size = 0; // decoded
    };
    static constexpr qsizetype MaxAttachments = 100;

    // The text part with its transfer encoding and charset decoded: the first text/plain part
    // that is no attachment, else the first such text/html part as plain text (htmltext.h).
    QString text;
    // Every other part, in the message's order, the first MaxAttachments of them.
    QList<Attachment> attachments;
    qsizetype moreAttachments = 0;
};

// Reads a message as "retr" gives it, any bytes. Parts nested deeper than a mail program nests
// them are left out.
ReadableMessage readMessage(QByteArrayView message);

// The text, then a line with the name and size of each attachment.
QString readableText(const ReadableMessage& message);
