// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz/replymodel.h"

ModelAnswer modelStatusLine(QByteArrayView stream, qsizetype& cursor)
{
    ModelAnswer answer;
    const qsizetype end = stream.indexOf("\r\n", cursor);
    if (end < 0)
        return answer;
    answer.status = stream.sliced(cursor, end + 2 - cursor).toByteArray();
    cursor = end + 2;
    const bool known = answer.status.startsWith("+OK") || answer.status.startsWith("-ERR");
    answer.outcome = known ? ModelAnswer::Complete : ModelAnswer::Rejected;
    return answer;
}

ModelAnswer modelMultiLine(QByteArrayView stream, qsizetype& cursor)
{
    ModelAnswer answer = modelStatusLine(stream, cursor);
    if (answer.outcome != ModelAnswer::Complete || !answer.status.startsWith("+OK"))
        return answer;
    const qsizetype bodyStart = cursor;
    for (;;) {
        const qsizetype end = stream.indexOf("\r\n", cursor);
        if (end < 0) {
            answer.outcome = ModelAnswer::Incomplete;
            return answer;
        }
        QByteArrayView line = stream.sliced(cursor, end - cursor);
        if (line == ".") {
            answer.received = cursor - bodyStart;
            cursor = end + 2;
            return answer;
        }
        if (line.startsWith(".."))
            line = line.sliced(1);
        answer.body += line;
        answer.body += "\r\n";
        answer.lines.append(line);
        cursor = end + 2;
    }
}
