// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/pop3session.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/responsecode.h"
#include "mailbox/transport.h"
#include "text/textdecoding.h"

#include <QCoreApplication>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

} // namespace

Pop3Session::Pop3Session(Transport& transport, std::function<void(const QString&)> showStatus)
    : m_transport(transport), m_showStatus(std::move(showStatus))
{
}

int Pop3Session::pipelineDepth() const
{
    return m_capabilities.has("PIPELINING") ? CommandPipeline::PipelinedDepth : 1;
}

void Pop3Session::showStatus(const QString& text) const
{
    if (m_showStatus)
        m_showStatus(text);
}

void Pop3Session::send(const QByteArray& line)
{
    m_transport.sendLine(line);
}

bool Pop3Session::readStatus(QByteArray& line, const StatusLineOptions& options)
{
    return readStatusLine(m_transport, line, options);
}

bool Pop3Session::readMultiLine(MultiLineReply& reply, const MultiLineOptions& options)
{
    return ::readMultiLine(m_transport, reply, options);
}

bool Pop3Session::readLogInAnswer(QByteArray& line)
{
    const int usual = m_transport.timeLimitMs();
    m_transport.setTimeLimitMs(m_transport.loginTimeLimitMs());
    const bool read = readStatusLine(m_transport, line, {true});
    m_transport.setTimeLimitMs(usual);
    return read;
}

bool Pop3Session::askCapabilities()
{
    send("capa");
    return readCapabilities();
}

bool Pop3Session::readCapabilities()
{
    Capabilities announced;
    MultiLineOptions options;
    options.receiveLimit = 64 * 1024;
    options.onLine = [&](QByteArrayView line) {
        announced.addLine(line);
    };
    MultiLineReply reply;
    if (!readMultiLine(reply, options))
        return false;
    if (reply.isOk())
        m_capabilities = announced;
    return true;
}

bool Pop3Session::fail(const QString& reason)
{
    m_transport.failProtocol(reason);
    return false;
}

bool Pop3Session::refuse(const QString& text, const QString& detail)
{
    quitQuietly();
    m_refusal = Notice{Notice::Title::Application, text, detail};
    return false;
}

bool Pop3Session::refuseWithReason(const QByteArray& reply)
{
    m_refusalCode = responseCodeOf(reply);
    return refuse(refusalText(responseCodeOf(reply),
                              loginDelaySeconds(m_capabilities.arguments("LOGIN-DELAY"))),
                  decodeUtf8OrWindows1252(reply).trimmed());
}

void Pop3Session::quitQuietly()
{
    send("quit");
    m_transport.close();
    m_transport.receiveBuffer().clear();
}

bool Pop3Session::quit(QByteArray& answer)
{
    send("quit");
    if (!readStatus(answer))
        return false;
    // The server closes the connection after this answer. A byte before that answers no command.
    ReceiveBuffer& buffer = m_transport.receiveBuffer();
    if (buffer.isEmpty())
        m_transport.Wait_Reply(QDeadlineTimer(m_transport.timeLimitMs()));
    if (!buffer.isEmpty())
        return fail(
            Texts::tr("Der Server hat mehr Antworten gesandt, als Befehle gestellt wurden."));
    if (m_transport.isAborted() || wasCancelled())
        return false;
    m_transport.close();
    return true;
}

std::optional<Notice> Pop3Session::end()
{
    // Closed before anyone is told: a server that keeps sending while a box is open is not heard.
    m_transport.close();
    m_transport.receiveBuffer().clear();
    if (m_refusal)
        return m_refusal;
    const Transport::Failure failure = m_transport.failure();
    if (failure == Transport::Failure::None || failure == Transport::Failure::Cancelled ||
        m_transport.isAborted())
        return std::nullopt;
    return Notice{Notice::Title::Application,
                  failure == Transport::Failure::Certificate
                      ? Texts::tr("Das Zertifikat des Servers wurde nicht angenommen.")
                      : Texts::tr("Fehler bei der Übertragung"),
                  m_transport.failureReason()};
}

bool Pop3Session::wasCancelled() const
{
    return m_transport.failure() == Transport::Failure::Cancelled;
}
