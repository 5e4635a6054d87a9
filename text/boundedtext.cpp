// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text/boundedtext.h"

namespace plaintext {

namespace {

constexpr char16_t Ellipsis = u'…';

bool turnsTextRound(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool breaksLine(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 ||
           c == 0x2029;
}

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// The sign that shows a control character: its picture where Unicode has one.
char16_t visibleSign(char16_t c)
{
    if (c < 0x20)
        return char16_t(0x2400 + c);
    if (c == 0x7F)
        return char16_t(0x2421);
    return char16_t(0xFFFD);
}

// Cleans the text up to the limits; reads no further than it needs, so a text of megabytes
// costs no more than one of a few lines.
QString cleaned(const QString& text, bool keepLines, qsizetype limit, int maxLines)
{
    QString shown;
    shown.reserve(qMin(text.size(), limit));
    int lineCount = 1;
    bool cut = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (turnsTextRound(c))
            continue;
        char16_t sign = c;
        if (keepLines && breaksLine(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            sign = u'\n';
            if (++lineCount > maxLines) {
                cut = i + 1 < text.size();
                break;
            }
        } else if (c == u'\t') {
            sign = u' ';
        } else if (isControl(c)) {
            sign = visibleSign(c);
        }
        if (shown.size() >= limit) {
            cut = true;
            break;
        }
        shown += QChar(sign);
    }
    if (!cut)
        return shown;
    if (shown.size() >= limit)
        shown.truncate(limit - 1);
    // Never half of a character outside the basic plane.
    if (!shown.isEmpty() && shown.back().isHighSurrogate())
        shown.chop(1);
    return shown + QChar(Ellipsis);
}

} // namespace

QString line(const QString& text, qsizetype limit)
{
    return cleaned(text, false, limit, 1);
}

QString lines(const QString& text, qsizetype limit, int maxLines)
{
    return cleaned(text, true, limit, maxLines);
}

} // namespace plaintext
