#pragma once

#include <QByteArray>
#include <QList>

// Answers as a POP3 server sends them, for scripted conversations.
namespace pop3replies {

// A multi-line "+OK" answer: lines starting with "." are stuffed and the "." line ends it.
inline QByteArray multiLine(const QByteArray& body, const QByteArray& status = "+OK")
{
    QByteArray stuffed;
    for (const QByteArray& line : body.split('\n')) {
        if (line.startsWith('.'))
            stuffed += '.';
        stuffed += line + '\n';
    }
    stuffed.chop(1);
    return status + "\r\n" + stuffed + ".\r\n";
}

inline QByteArray uidl(const QList<QByteArray>& ids)
{
    QByteArray body;
    for (int i = 0; i < ids.size(); ++i)
        body += QByteArray::number(i + 1) + ' ' + ids[i] + "\r\n";
    return multiLine(body);
}

} // namespace pop3replies
