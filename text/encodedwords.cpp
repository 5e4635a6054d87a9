// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text/encodedwords.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

namespace {

struct EncodedWord {
    QByteArray charset;
    QByteArray bytes;
};

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::optional<QByteArray> decodeQ(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            bytes += ' ';
        } else if (text[i] == '=') {
            // Two hex digits exactly: toInt alone would also take a sign or a blank.
            if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))
                return std::nullopt;
            bytes += char(QByteArrayView(text).sliced(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::optional<EncodedWord> decodeWord(const QRegularExpressionMatch& match)
{
    // A charset may name a language after "*" (RFC 2231); only the charset matters here.
    QByteArray charset = match.captured(1).toLatin1().toLower();
    charset.truncate(charset.indexOf('*') < 0 ? charset.size() : charset.indexOf('*'));
    if (!QStringDecoder(charset.constData()).isValid())
        return std::nullopt;
    const QByteArray text = match.captured(3).toLatin1();
    if (match.captured(2).compare(u"q", Qt::CaseInsensitive) == 0) {
        const auto bytes = decodeQ(text);
        return bytes ? std::optional<EncodedWord>({charset, *bytes}) : std::nullopt;
    }
    const auto base64 =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!base64)
        return std::nullopt;
    return EncodedWord{charset, *base64};
}

} // namespace

QString decodeEncodedWords(const QString& value)
{
    static const QRegularExpression word(QStringLiteral(R"(=\?([^?\s]+)\?([BbQq])\?([^?\s]*)\?=)"));
    QString result;
    // Bytes of adjacent words in one charset are decoded together, so that a character split
    // between two words comes out whole.
    EncodedWord pending;
    const auto flush = [&] {
        // Stateless: a character cut off at the end shows as a replacement, not as nothing.
        if (!pending.charset.isEmpty())
            result += QStringDecoder(pending.charset.constData(), QStringDecoder::Flag::Stateless)
                          .decode(pending.bytes);
        pending = {};
    };
    qsizetype position = 0;
    bool afterWord = false;
    for (const QRegularExpressionMatch& match : word.globalMatch(value)) {
        const QString gap = value.mid(position, match.capturedStart() - position);
        position = match.capturedEnd();
        const std::optional<EncodedWord> decoded = decodeWord(match);
        const bool joinsPrevious = afterWord && decoded && gap.trimmed().isEmpty();
        if (!joinsPrevious || decoded->charset != pending.charset)
            flush();
        if (!joinsPrevious)
            result += gap;
        afterWord = decoded.has_value();
        if (!decoded) {
            result += match.captured(0);
            continue;
        }
        pending.charset = decoded->charset;
        pending.bytes += decoded->bytes;
    }
    flush();
    result += value.mid(position);
    return result;
}
