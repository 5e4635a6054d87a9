// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Builds RFC 5322 messages with CR LF line ends for the mailbox tests.
//
//     TestMail::Message mail;
//     mail.subject = TestMail::encodedWord(QStringLiteral("Grüße"), "UTF-8", 'Q');
//     mail.charset = "ISO-8859-1";
//     mail.body = QStringLiteral("Schöne Grüße\n.Punkt\nRegards.\n").toLatin1();
//     mail.attachments.append({"bericht.pdf", "application/pdf", QByteArray(3000, 'x')});
//     server.deliver(user, TestMail::build(mail));
namespace TestMail {

struct Attachment {
    QByteArray fileName;
    QByteArray contentType = "application/octet-stream";
    QByteArray content; // sent base64-encoded
};

struct Message {
    // Header values go out exactly as given: already encoded (RFC 2047) and, if wanted, folded
    // (CR LF followed by a blank). An empty value leaves its header out, e.g. a message without To.
    QByteArray from = "Anna Absender <anna@example.org>";
    QByteArray to = "Bert Empfaenger <bert@example.org>";
    QByteArray subject = "Testnachricht";
    QByteArray date = "Mon, 15 Jan 2024 10:30:00 +0100";
    QList<QPair<QByteArray, QByteArray>> extraHeaders; // after Subject, in this order

    // The text body as bytes in `charset`; LF or CR LF line ends, sent as CR LF. Lines starting
    // with "." stay as they are: dot-stuffing is the server's job.
    QByteArray charset = "UTF-8";
    QByteArray body = "Hallo,\r\n\r\ndies ist ein Test.\r\n";

    // With attachments the message is multipart/mixed: the text part, then one part each.
    QList<Attachment> attachments;

    // When larger than the message, filler lines are added to the end of the text so that the
    // whole message has exactly this many bytes.
    int targetSize = 0;
};

QByteArray build(const Message& message);

// "=?charset?B?...?=" or "=?charset?Q?...?=" for text in UTF-8 or ISO-8859-1.
QByteArray encodedWord(const QString& text, const QByteArray& charset, char encoding);

// Folds a header value at blanks so that no line of it is longer than `width`.
QByteArray fold(const QByteArray& value, int width = 40);

} // namespace TestMail
