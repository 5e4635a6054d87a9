// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/commandpipeline.h"

#include "mailbox/transport.h"

void CommandPipeline::send(const QByteArray& command)
{
    m_pending.append(command);
    fill();
}

void CommandPipeline::answered()
{
    if (m_pending.isEmpty())
        return;
    m_pending.removeFirst();
    m_sent = qMax<qsizetype>(0, m_sent - 1);
    fill();
}

void CommandPipeline::fill()
{
    while (m_sent < m_depth && m_sent < m_pending.size())
        m_connection.sendLine(m_pending[m_sent++]);
}
