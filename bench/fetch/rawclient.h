// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// The reference for the fetch: a client that logs in and writes all its "top" commands at once,
// then reads the answers. It blocks and checks nothing but the answer count: what the network
// and the server allow at best.
namespace RawClient {

struct Result {
    qint64 wallNs = 0; // from connecting to the last answer
    int answers = 0;
    bool ok = false;
};

Result fetchAllTops(quint16 port, const QString& user, const QString& password, int count,
                    int lineCount);

} // namespace RawClient
