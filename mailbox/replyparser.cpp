// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/replyparser.h"

#include "text/numbervalue.h"

#include <QString>

namespace {

qint32 wholeNumber(QByteArrayView text)
{
    return roundHalfEven<qint32>(numberValue(QString::fromLatin1(text)));
}

} // namespace

void Parse_Reply(QByteArray& ReplyText, qint32& Number1, qint32& Number2)
{
    const qsizetype ok = ReplyText.indexOf("+OK");
    if (ok < 0)
        return;
    ReplyText.remove(0, ok);

    QByteArrayView tail = QByteArrayView(ReplyText).sliced(3);
    while (tail.startsWith(' '))
        tail = tail.sliced(1);
    while (tail.endsWith(' '))
        tail.chop(1);

    const qsizetype blank = tail.indexOf(' ');
    if (blank < 0) {
        Number1 = -1;
        return;
    }
    Number1 = wholeNumber(tail.first(blank + 1));
    Number2 = wholeNumber(tail.sliced(blank + 1));
}
