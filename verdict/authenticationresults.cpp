// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/authenticationresults.h"

namespace {

struct Token {
    enum Kind { Word, Equals, Semicolon } kind;
    QByteArray text;
};

// Skips a comment, nested ones within it and quoted pairs too; returns the position after it.
qsizetype skipComment(QByteArrayView value, qsizetype pos)
{
    int depth = 0;
    for (; pos < value.size(); ++pos) {
        if (value[pos] == '\\')
            ++pos;
        else if (value[pos] == '(')
            ++depth;
        else if (value[pos] == ')' && --depth == 0)
            return pos + 1;
    }
    return pos;
}

// Reads a quoted string from its opening quote; returns the position after it.
qsizetype readQuoted(QByteArrayView value, qsizetype pos, QByteArray& text)
{
    for (++pos; pos < value.size() && value[pos] != '"'; ++pos) {
        if (value[pos] == '\\' && pos + 1 < value.size())
            ++pos;
        text += value[pos];
    }
    return pos + 1;
}

QList<Token> tokens(QByteArrayView value)
{
    static constexpr QByteArrayView wordEnds(" \t\r\n(\";=");
    QList<Token> list;
    for (qsizetype pos = 0; pos < value.size();) {
        const char c = value[pos];
        if (c == '(') {
            pos = skipComment(value, pos);
        } else if (c == '"') {
            list.append(Token{Token::Word, {}});
            pos = readQuoted(value, pos, list.last().text);
        } else if (c == ';' || c == '=') {
            list.append(Token{c == ';' ? Token::Semicolon : Token::Equals, {}});
            ++pos;
        } else if (wordEnds.contains(c)) {
            ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < value.size() && !wordEnds.contains(value[pos]))
                ++pos;
            list.append(Token{Token::Word, value.sliced(start, pos - start).toByteArray()});
        }
    }
    return list;
}

bool isPairAt(const QList<Token>& list, qsizetype i)
{
    return i + 2 < list.size() && list[i].kind == Token::Word &&
           list[i + 1].kind == Token::Equals && list[i + 2].kind == Token::Word;
}

// One "method=result" with the "key=value" pairs after it, up to the next semicolon. Returns the
// position of that semicolon (or the end).
qsizetype readResult(const QList<Token>& list, qsizetype i, QList<AuthenticationResult>& results)
{
    AuthenticationResult result;
    for (; i < list.size() && list[i].kind != Token::Semicolon; ++i) {
        if (!isPairAt(list, i))
            continue;
        const QString key = QString::fromUtf8(list[i].text).toLower();
        const QString text = QString::fromUtf8(list[i + 2].text);
        if (result.method.isEmpty()) {
            result.method = key.left(key.indexOf(u'/')).trimmed();
            result.result = text.toLower();
        } else if (!result.properties.contains(key)) {
            result.properties.insert(key, text);
        }
        i += 2;
    }
    if (!result.method.isEmpty())
        results.append(result);
    return i;
}

} // namespace

AuthenticationResults readAuthenticationResults(QByteArrayView value)
{
    const QList<Token> list = tokens(value);
    AuthenticationResults header;
    qsizetype i = 0;
    // The id, with an optional version number after it, comes before the first semicolon.
    if (!list.isEmpty() && list[0].kind == Token::Word && !isPairAt(list, 0)) {
        header.hasAuthServId = true;
        header.authServId = QString::fromUtf8(list[0].text);
        while (i < list.size() && list[i].kind != Token::Semicolon)
            ++i;
    }
    while (i < list.size()) {
        if (list[i].kind == Token::Semicolon)
            ++i;
        else
            i = readResult(list, i, header.results);
    }
    return header;
}
