// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One POP3 answer read the plain way, with the whole stream at hand and line by line: what the
// reply readers must find however the bytes were split on their way.
struct ModelAnswer {
    enum Outcome { Incomplete, Rejected, Complete };
    Outcome outcome = Incomplete;
    QByteArray status;           // CR LF included
    QByteArray body;             // unstuffed lines, each with its CR LF
    QList<QByteArrayView> lines; // unstuffed lines without CR LF, in the stream
    qint64 received = 0;         // bytes before the "." line, as sent
};

// Each reads the answer that starts at cursor and moves the cursor past what it read.
ModelAnswer modelStatusLine(QByteArrayView stream, qsizetype& cursor);
ModelAnswer modelMultiLine(QByteArrayView stream, qsizetype& cursor);
