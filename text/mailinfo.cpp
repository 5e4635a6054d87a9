// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text/mailinfo.h"

#include "text/encodedwords.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

const std::array<QString, 4> HeaderPatterns = {
    QStringLiteral("\r\nFrom:"),
    QStringLiteral("\r\nTo:"),
    QStringLiteral("\r\nSubject:"),
    QStringLiteral("\r\nDate:"),
};

// A line break followed by a blank or a tab continues the field on the next line (folding).
bool continuesAt(const QString& text, qsizetype cr)
{
    return text.mid(cr, 2) == u"\r\n" && cr + 2 < text.size() &&
           (text[cr + 2] == u' ' || text[cr + 2] == u'\t');
}

QString headerValue(const QString& text, const QString& pattern)
{
    const qsizetype found = text.indexOf(pattern);
    if (found < 0)
        return QString();
    qsizetype end = text.indexOf(u'\r', found + 1);
    if (end < 0)
        return QString();
    // A continuation line without a CR of its own is left out, as a last line is.
    while (continuesAt(text, end)) {
        const qsizetype next = text.indexOf(u'\r', end + 2);
        if (next < 0)
            break;
        end = next;
    }
    const qsizetype afterColon = found + pattern.size();
    QString value = text.mid(afterColon, std::max<qsizetype>(0, end - afterColon));
    static const QRegularExpression fold(QStringLiteral("\r\n(?=[ \t])"));
    value.remove(fold);
    // The character right after the colon is skipped, whatever it is.
    return value.mid(1);
}

} // namespace

MailInfo readMailInfo(const QString& MailText)
{
    MailInfo info;
    for (size_t k = 0; k < HeaderPatterns.size(); ++k)
        info.values[k] = decodeEncodedWords(headerValue(MailText, HeaderPatterns[k]));
    info.attachment = MailText.contains(u"Content-Disposition: attachment;");
    return info;
}
