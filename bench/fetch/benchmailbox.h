// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

// A mailbox that looks like a real one: sizes spread from small notes to large attachments,
// headers as mail programs and relays write them, some encoded, some multipart. The same seed
// always gives the same bytes, so that figures of different builds can be compared.
namespace BenchMailbox {

struct Mail {
    QByteArray messageId; // without angle brackets; each message's own, to find it again
    QByteArray bytes;
};

struct Spread {
    int count = 200;
    int minSize = 1024;
    int maxSize = 200 * 1024;
    quint32 seed = 20240115;
};

QList<Mail> build(const Spread& spread);

} // namespace BenchMailbox
