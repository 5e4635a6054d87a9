#include "text/mailinfo.h"

#include "text/encodedwords.h"

namespace {

const std::array<QString, 4> HeaderPatterns = {
    QStringLiteral("\r\nFrom:"),
    QStringLiteral("\r\nTo:"),
    QStringLiteral("\r\nSubject:"),
    QStringLiteral("\r\nDate:"),
};

QString headerValue(const QString& text, const QString& pattern)
{
    const qsizetype found = text.indexOf(pattern);
    if (found < 0)
        return QString();
    const qsizetype end = text.indexOf(u'\r', found + 1);
    // The character right after the colon is skipped, whatever it is.
    const qsizetype start = found + pattern.size() + 1;
    if (end < 0 || start >= end)
        return QString();
    return text.mid(start, end - start);
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
