// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/resourceusage.h"

#include <QFile>
#include <sys/resource.h>
#include <time.h>

namespace ResourceUsage {

namespace {

qint64 clockNs(clockid_t clock)
{
    timespec now{};
    if (clock_gettime(clock, &now) != 0)
        return -1;
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A "Name:   1234 kB" line of /proc/self/status, in KiB; -1 when missing.
qint64 statusKiB(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = name + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            const QList<QByteArray> fields = line.mid(prefix.size()).simplified().split(' ');
            bool ok = false;
            const qint64 value = fields.value(0).toLongLong(&ok);
            return ok ? value : -1;
        }
    }
    return -1;
}

} // namespace

qint64 processCpuNs()
{
    return clockNs(CLOCK_PROCESS_CPUTIME_ID);
}

qint64 threadCpuNs()
{
    return clockNs(CLOCK_THREAD_CPUTIME_ID);
}

qint64 peakRssKiB()
{
    return statusKiB("VmHWM");
}

qint64 maxRssKiB()
{
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return -1;
    return usage.ru_maxrss; // KiB on Linux
}

qint64 currentRssKiB()
{
    return statusKiB("VmRSS");
}

bool resetPeak()
{
    // "5" resets the peak resident size to the current one (Linux 4.0 and later).
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

} // namespace ResourceUsage
