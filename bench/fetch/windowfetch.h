// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

// One press of "Emails abrufen" in the real window (offscreen is fine), with what it costs the
// program: the window's drawing and list work included.
namespace WindowFetch {

struct Result {
    qint64 wallNs = 0;       // from the press to the end of the conversation
    qint64 processCpuNs = 0; // this process, the proxy thread included when there is one
    qint64 peakRssKiB = 0;
    int entries = 0;
    bool ok = false;
};

Result press(quint16 port, const QString& user, const QString& password, int lineCount);

} // namespace WindowFetch
