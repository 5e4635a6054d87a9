// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testmail.h"

namespace TestMail {

namespace {

bool isEightBit(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

void addHeader(QByteArray& out, const char* name, const QByteArray& value)
{
    if (!value.isEmpty()) {
        out += name;
        out += ": ";
        out += value;
        out += "\r\n";
    }
}

QByteArray textPartHeaders(const Message& message)
{
    QByteArray out = "Content-Type: text/plain; charset=" + message.charset + "\r\n";
    out += isEightBit(message.body) ? "Content-Transfer-Encoding: 8bit\r\n"
                                    : "Content-Transfer-Encoding: 7bit\r\n";
    return out;
}

QByteArray base64Lines(const QByteArray& content)
{
    const QByteArray encoded = content.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); i += 76) {
        out += encoded.mid(i, 76);
        out += "\r\n";
    }
    return out;
}

QByteArray buildOnce(const Message& message, const QByteArray& body)
{
    QByteArray out;
    addHeader(out, "Date", message.date);
    addHeader(out, "From", message.from);
    addHeader(out, "To", message.to);
    addHeader(out, "Subject", message.subject);
    for (const auto& header : message.extraHeaders) {
        addHeader(out, header.first.constData(), header.second);
    }
    out += "MIME-Version: 1.0\r\n";
    if (message.attachments.isEmpty()) {
        out += textPartHeaders(message);
        out += "\r\n";
        out += body;
        return out;
    }

    const QByteArray boundary = "=_tarvolk_boundary_0815";
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
    out += "\r\n";
    out += "This is a multi-part message in MIME format.\r\n";
    out += "--" + boundary + "\r\n";
    out += textPartHeaders(message);
    out += "\r\n";
    out += body;
    for (const Attachment& attachment : message.attachments) {
        out += "--" + boundary + "\r\n";
        out += "Content-Type: " + attachment.contentType + "; name=\"" + attachment.fileName +
               "\"\r\n";
        out += "Content-Disposition: attachment; filename=\"" + attachment.fileName + "\"\r\n";
        out += "Content-Transfer-Encoding: base64\r\n";
        out += "\r\n";
        out += base64Lines(attachment.content);
    }
    out += "--" + boundary + "--\r\n";
    return out;
}

// LF and lone CR become CR LF; the result ends with CR LF unless empty.
QByteArray toCrLf(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 32 + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text.at(i + 1) == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    if (!out.isEmpty() && !out.endsWith("\r\n")) {
        out += "\r\n";
    }
    return out;
}

// Exactly `size` bytes of numbered CR LF lines of plain ASCII (`size` 1 gives nothing).
QByteArray filler(int size)
{
    static const QByteArray text =
        " Fuelltext, damit die Nachricht gross wird: the quick brown fox jumps over the lazy dog.";
    QByteArray out;
    int line = 0;
    while (size >= 2) {
        int length = qMin(size, 78);
        if (size - length == 1) {
            --length; // leave two bytes, enough for one more (empty) line
        }
        QByteArray content = QByteArray::number(++line).rightJustified(6, '0') + text;
        content.resize(length - 2, '.');
        out += content;
        out += "\r\n";
        size -= length;
    }
    return out;
}

} // namespace

QByteArray build(const Message& message)
{
    QByteArray body = toCrLf(message.body);
    QByteArray out = buildOnce(message, body);
    const qsizetype missing = message.targetSize - out.size();
    if (missing >= 2) {
        body += filler(static_cast<int>(missing));
        out = buildOnce(message, body);
    }
    return out;
}

QByteArray encodedWord(const QString& text, const QByteArray& charset, char encoding)
{
    const QByteArray bytes = charset.toUpper() == "UTF-8" ? text.toUtf8() : text.toLatin1();
    QByteArray encoded;
    if (encoding == 'B' || encoding == 'b') {
        encoded = bytes.toBase64();
    } else {
        static const QByteArray plain =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!*+-/";
        for (const char c : bytes) {
            if (c == ' ') {
                encoded += '_';
            } else if (plain.contains(c)) {
                encoded += c;
            } else {
                encoded += '=' + QByteArray(1, c).toHex().toUpper();
            }
        }
    }
    return "=?" + charset + '?' + encoding + '?' + encoded + "?=";
}

QByteArray fold(const QByteArray& value, int width)
{
    QByteArray out;
    qsizetype lineStart = 0;
    const QList<QByteArray> words = value.split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0) {
            if (out.size() - lineStart + 1 + words.at(i).size() > width) {
                out += "\r\n";
                lineStart = out.size();
            }
            out += ' ';
        }
        out += words.at(i);
    }
    return out;
}

} // namespace TestMail
