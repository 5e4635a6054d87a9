// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/receivebuffer.h"

namespace {

// Taken bytes are released once they are this many and at least half of what is held, so each
// byte is moved at most a bounded number of times.
constexpr qsizetype CompactionThreshold = 64 * 1024;

} // namespace

void ReceiveBuffer::clear()
{
    m_bytes.clear();
    m_read = 0;
}

void ReceiveBuffer::take(qsizetype count)
{
    m_read += qBound<qsizetype>(0, count, size());
    if (m_read == m_bytes.size()) {
        clear();
    } else if (m_read >= CompactionThreshold && m_read * 2 >= m_bytes.size()) {
        m_bytes.remove(0, m_read);
        m_read = 0;
    }
}
