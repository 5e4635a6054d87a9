#include "mailbox/commandpipeline.h"

#include "mailbox/connection.h"

void CommandPipeline::send(const QByteArray& command)
{
    m_waiting.append(command);
    fill();
}

void CommandPipeline::answered()
{
    m_inFlight = qMax(0, m_inFlight - 1);
    fill();
}

void CommandPipeline::fill()
{
    while (m_inFlight < m_depth && m_nextWaiting < m_waiting.size()) {
        m_connection.sendLine(m_waiting[m_nextWaiting++]);
        ++m_inFlight;
    }
}
