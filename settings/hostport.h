// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

struct HostPort {
    QString host;
    quint16 port = 0;
    bool valid = false;
};

// Splits an account's "Host" value into host and port: "name", "name:port", "[IPv6]:port", or a
// bare IPv6 address. Without a port, defaultPort is used.
HostPort parseHostPort(const QString& text, quint16 defaultPort);
