// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/fedtransport.h"

using pop3test::Step;

void FedTransport::play(const pop3test::Scenario& scenario)
{
    m_queue.append(scenario);
}

QString FedTransport::problems() const
{
    QStringList lines = m_refused;
    for (int i = 0; i < m_conversations.size(); ++i) {
        const Conversation& c = m_conversations[i];
        lines += c.failures;
        if (c.failures.isEmpty() && c.next < c.steps.size())
            lines << QStringLiteral("connection %1 stopped before step %2 of %3: %4")
                         .arg(i)
                         .arg(c.next + 1)
                         .arg(c.steps.size())
                         .arg(c.steps[c.next].describe());
    }
    if (!m_queue.isEmpty())
        lines << QStringLiteral("%1 queued scenario(s) never played: the client did not connect")
                     .arg(m_queue.size());
    if (lines.isEmpty())
        return {};
    for (int i = 0; i < m_conversations.size(); ++i) {
        lines << QStringLiteral("[%1] the client sent:").arg(i);
        for (const QByteArray& line : m_conversations[i].lines)
            lines << QStringLiteral("    ") + pop3test::printable(line);
    }
    return lines.join(u'\n');
}

void FedTransport::open(const ServerAddress&)
{
    close();
    m_buffer.clear();
    m_cancelled = false;
    setFailure(Failure::None, {});
    if (m_queue.isEmpty()) {
        m_refused << QStringLiteral("a client connected, but no scenario was queued for it");
        setFailure(Failure::Network, QStringLiteral("no scenario queued: connection refused"));
        return;
    }
    Conversation conversation;
    conversation.steps = m_queue.takeFirst().steps();
    m_conversations.append(conversation);
    m_open = true;
    advance(m_conversations.last());
}

bool FedTransport::startEncryption()
{
    setFailure(Failure::Network, QStringLiteral("TLS needs a real connection"));
    return false;
}

void FedTransport::sendLine(const QByteArray& command)
{
    countLine();
    if (!m_open)
        return;
    Conversation& c = m_conversations.last();
    c.lines.append(command);
    // After its close, or a failure, nobody reads what the client writes.
    if (c.serverClosed)
        return;
    if (c.next >= c.steps.size() || c.steps[c.next].kind != Step::Kind::Expect) {
        fail(c, QStringLiteral("received \"%1\" where the script holds: %2")
                    .arg(pop3test::printable(command), c.next < c.steps.size()
                                                           ? c.steps[c.next].describe()
                                                           : QStringLiteral("its end")));
        return;
    }
    if (command != c.steps[c.next].bytes) {
        fail(c, QStringLiteral("step %1: expected \"%2\", received \"%3\"")
                    .arg(c.next + 1)
                    .arg(pop3test::printable(c.steps[c.next].bytes), pop3test::printable(command)));
        return;
    }
    ++c.next;
    advance(c);
}

bool FedTransport::Wait_Reply(QDeadlineTimer)
{
    if (m_aborted || m_cancelled || !m_open)
        return true;
    countWait();
    Conversation& c = m_conversations.last();
    if (!c.arriving.isEmpty()) {
        m_buffer.append(c.arriving.takeFirst());
        return false;
    }
    if (c.serverClosed) {
        m_open = false;
        setFailure(Failure::Network, QStringLiteral("the server closed the connection"));
    } else {
        setFailure(Failure::TimedOut,
                   QStringLiteral("no answer: the script waits for the client (%1)")
                       .arg(c.next < c.steps.size() ? c.steps[c.next].describe()
                                                    : QStringLiteral("its end")));
    }
    return true;
}

void FedTransport::close()
{
    if (!m_open)
        return;
    m_open = false;
    Conversation& c = m_conversations.last();
    if (!c.serverClosed && c.next < c.steps.size() &&
        c.steps[c.next].kind == Step::Kind::ExpectClose)
        ++c.next;
}

void FedTransport::failProtocol(const QString& reason)
{
    setFailure(Failure::Protocol, reason);
    close();
}

void FedTransport::abort()
{
    m_aborted = true;
    close();
}

void FedTransport::cancel()
{
    m_cancelled = true;
    close();
}

void FedTransport::advance(Conversation& c)
{
    for (; c.next < c.steps.size(); ++c.next) {
        const Step& step = c.steps[c.next];
        if (step.kind == Step::Kind::Send) {
            c.arriving.append(step.bytes);
        } else if (step.kind == Step::Kind::Close) {
            c.serverClosed = true;
            ++c.next;
            return;
        } else if (step.kind == Step::Kind::Flood) {
            fail(c, QStringLiteral("a flood needs the scripted server"));
            return;
        } else if (step.kind != Step::Kind::Pause) {
            return;
        }
    }
}

void FedTransport::fail(Conversation& c, const QString& message)
{
    c.failures << QStringLiteral("connection %1: %2").arg(m_conversations.size() - 1).arg(message);
    // As a server that gives up: what it sent still arrives, then it closes.
    c.serverClosed = true;
}

void FedTransport::setFailure(Failure failure, const QString& reason)
{
    m_failure = failure;
    m_reason = reason;
}
