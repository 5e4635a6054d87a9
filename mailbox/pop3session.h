// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/capabilities.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/responsecode.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class Transport;

// One conversation with a POP3 server: the transport it runs on, what the server announced, and
// how it ended. The steps of a conversation (log-in, listing, previews, deletion) read every
// answer here. A read that fails, an answer that no server may send, and a refusal all end the
// conversation in this one place; whoever runs the conversation then tells the user once (end()).
class Pop3Session {
public:
    Pop3Session(Transport& transport, std::function<void(const QString&)> showStatus);

    Transport& transport() { return m_transport; }
    const Capabilities& capabilities() const { return m_capabilities; }
    // Commands that may be in flight: many for a server that announces PIPELINING.
    int pipelineDepth() const;
    void showStatus(const QString& text) const;

    void send(const QByteArray& line);
    // The next answer; false once the conversation has failed.
    bool readStatus(QByteArray& line, const StatusLineOptions& options = {});
    bool readMultiLine(MultiLineReply& reply, const MultiLineOptions& options = {});
    // The answer to a password or AUTH, which servers may delay on purpose.
    bool readLogInAnswer(QByteArray& line);
    // "capa" and its answer. After "-ERR" what was announced before still holds.
    bool askCapabilities();
    bool readCapabilities();
    // Forgets what the server announced before the TLS handshake, which did not protect it.
    void forgetCapabilities() { m_capabilities = {}; }

    // The server sent what no POP3 server sends here; false, for the caller to return.
    bool fail(const QString& reason);
    // The server said no: "quit" goes out, the connection closes, and the user is told why.
    bool refuse(const QString& text, const QString& detail);
    // The same in the server's own words, under a text of its own for a known response code.
    bool refuseWithReason(const QByteArray& reply);
    // Ends the conversation politely, telling nobody.
    void quitQuietly();
    // "quit", its answer and the server's close. False when the conversation failed or the server
    // sent more than that answer: somewhere answers and commands were out of step.
    bool quit(QByteArray& answer);

    // Closes the connection and returns what the user is to be told of how the conversation
    // ended: its refusal or its failure; nothing when it ended cleanly or was cancelled.
    std::optional<Notice> end();
    bool wasCancelled() const;
    // The code of the server's refusal, None when it gave none or did not refuse.
    ResponseCode refusalCode() const { return m_refusalCode; }

private:
    Transport& m_transport;
    std::function<void(const QString&)> m_showStatus;
    Capabilities m_capabilities;
    std::optional<Notice> m_refusal;
    ResponseCode m_refusalCode = ResponseCode::None;
};
