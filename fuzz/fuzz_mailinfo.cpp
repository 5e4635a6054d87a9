// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The header search of a stored message and the decoding of encoded words ("=?utf-8?q?...?=")
// in its values. The input is taken as the text of a message, and as the bytes of a header
// value that is encoded here and must decode to itself.

#include "fuzz/require.h"
#include "text/encodedwords.h"
#include "text/mailinfo.h"

#include <cstdint>
#include <optional>
#include <random>

namespace {

// The value of a hex digit, or -1.
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The "Q" reading: "_" is a blank, "=" and two hex digits a byte; nothing when an "=" has no
// two hex digits after it.
std::optional<QByteArray> decodedQ(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            if (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0)
                return std::nullopt;
            bytes += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i] == '_' ? ' ' : text[i];
        }
    }
    return bytes;
}

// Appended byte by byte: this runs for every byte of every input.
void appendEncodedQ(QByteArray& text, QByteArrayView bytes)
{
    static constexpr char HexDigits[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            text += c;
        } else {
            text += '=';
            text += HexDigits[uchar(c) >> 4];
            text += HexDigits[uchar(c) & 15];
        }
    }
}

// The bytes in words of one to sixteen bytes, so that characters fall apart between words,
// alternately "B" and "Q", parted by a blank or by folding.
QString encodedWords(const QByteArray& bytes, unsigned seed)
{
    std::minstd_rand lengths(seed);
    QByteArray value;
    value.reserve(4 * bytes.size());
    for (qsizetype pos = 0, word = 0; pos < bytes.size(); ++word) {
        const qsizetype length = qMin<qsizetype>(1 + lengths() % 16, bytes.size() - pos);
        const QByteArray piece = QByteArray::fromRawData(bytes.constData() + pos, length);
        pos += length;
        if (word > 0)
            value += word % 3 == 0 ? "\r\n\t" : " ";
        if (word % 2 == 0) {
            value += "=?UTF-8?B?";
            value += piece.toBase64();
        } else {
            value += "=?utf-8?q?";
            appendEncodedQ(value, piece);
        }
        value += "?=";
    }
    return QString::fromLatin1(value);
}

void checkQWord(const QByteArray& bytes)
{
    // What fits in a word: no "?" and no white space.
    QByteArray text;
    for (const char c : bytes) {
        if (c > ' ' && c < 127 && c != '?')
            text += c;
    }
    const QString word = QStringLiteral("=?utf-8?q?%1?=").arg(QString::fromLatin1(text));
    const std::optional<QByteArray> decoded = decodedQ(text);
    require(decodeEncodedWords(word) == (decoded ? QString::fromUtf8(*decoded) : word),
            "a Q word decodes to its bytes, a malformed one stays as it stands");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    readMailInfo(text);
    if (!text.contains(QStringLiteral("=?")))
        require(decodeEncodedWords(text) == text, "text without encoded words stays");

    // One line: up to the first line end of either kind.
    qsizetype end = text.indexOf(u'\r');
    const qsizetype lineFeed = text.indexOf(u'\n');
    if (lineFeed >= 0 && (end < 0 || lineFeed < end))
        end = lineFeed;
    const QString value = text.left(end);
    // A header of its own after it, so that the text cannot continue it as a folded line.
    const MailInfo info =
        readMailInfo(QStringLiteral("\r\nSubject: %1\r\nX-Next: 1\r\n").arg(value) + text);
    require(info.values[2] == decodeEncodedWords(value), "the first header is found and decoded");

    const QString words = encodedWords(text.toUtf8(), size + 1u);
    const QString around = QStringLiteral("Re: %1 (2)");
    require(decodeEncodedWords(around.arg(words)) == around.arg(text),
            "encoded words decode to what was encoded, characters split between words whole");
    checkQWord(bytes);
    return 0;
}
