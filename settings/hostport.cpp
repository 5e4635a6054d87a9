// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/hostport.h"

namespace {

bool parsePort(QStringView text, quint16& port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

} // namespace

HostPort parseHostPort(const QString& text, quint16 defaultPort)
{
    const QString trimmed = text.trimmed();
    HostPort result{trimmed, defaultPort, !trimmed.isEmpty()};
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close < 0)
            return {trimmed, defaultPort, false};
        result.host = trimmed.mid(1, close - 1);
        const QStringView rest = QStringView(trimmed).sliced(close + 1);
        if (rest.isEmpty())
            return result;
        result.valid = rest.startsWith(u':') && parsePort(rest.sliced(1), result.port);
        return result;
    }
    // More than one colon without brackets is an IPv6 address with no port.
    if (trimmed.count(u':') == 1) {
        const qsizetype colon = trimmed.indexOf(u':');
        result.host = trimmed.left(colon);
        result.valid = !result.host.isEmpty() &&
                       parsePort(QStringView(trimmed).sliced(colon + 1), result.port);
    }
    return result;
}
