// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// What the process and its threads have used so far, read from the kernel.
namespace ResourceUsage {

// CPU time in nanoseconds, user and system together.
qint64 processCpuNs();
qint64 threadCpuNs(); // the calling thread only

// Peak resident memory in KiB: the high-water mark since the last resetPeak(), or since the
// start when the kernel refused the reset.
qint64 peakRssKiB();
// ru_maxrss: the kernel keeps it with the same high-water mark, so resetPeak() resets it too.
qint64 maxRssKiB();
qint64 currentRssKiB();

// Starts a new high-water mark at the current size, so that each run reports its own peak.
// Returns false when the kernel does not allow it.
bool resetPeak();

} // namespace ResourceUsage
