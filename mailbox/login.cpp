// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/login.h"

#include "mailbox/pop3session.h"
#include "mailbox/responsecode.h"
#include "mailbox/sasl.h"
#include "mailbox/transport.h"
#include "text/textdecoding.h"

#include <QCoreApplication>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

} // namespace

QString unusableBecause(const Account& account)
{
    if (!account.problem.isEmpty())
        return account.problem;
    if (breaksCommandLine(account.user))
        return Texts::tr(
            "Der Benutzername (Account) enthält einen Zeilenumbruch oder ein Nullzeichen; "
            "es wurde nichts gesendet.");
    if (breaksCommandLine(account.password))
        return Texts::tr("Das Passwort enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde "
                         "nichts gesendet.");
    return QString();
}

LogIn::LogIn(Pop3Session& session, Request request)
    : m_session(session), m_request(std::move(request))
{
}

bool LogIn::run()
{
    m_session.showStatus(Texts::tr("Suche Host"));
    m_session.transport().open(m_request.account.server);
    if (!awaitPositive())
        return false;
    const bool early = m_request.account.server.security != Security::StartTls &&
                       !signsInWithToken() && takesCommandsAhead(m_request.known) &&
                       !wantsPlain(m_request.known);
    m_session.send("capa");
    if (early)
        sendUser(m_request.ahead);
    if (!m_session.readCapabilities())
        return false;
    if (early) {
        m_announced = m_session.capabilities();
        return awaitUserAndPassword();
    }
    // What the server announced before the handshake is not protected by it.
    if (m_request.account.server.security == Security::StartTls &&
        (!startTls() || !m_session.askCapabilities()))
        return false;
    m_announced = m_session.capabilities();
    return logInAfterCapabilities();
}

bool LogIn::logInAfterCapabilities()
{
    // Some servers announce what they offer only to a user who has logged in.
    const bool complete = takesCommandsAhead(m_session.capabilities());
    bool loggedIn = false;
    if (signsInWithToken()) {
        loggedIn = logInWithToken();
    } else if (wantsPlain(m_session.capabilities())) {
        loggedIn = logInWithPlain();
    } else {
        sendUser(complete ? m_request.ahead : QList<QByteArray>());
        loggedIn = awaitUserAndPassword();
    }
    return loggedIn && (complete || m_session.askCapabilities());
}

bool LogIn::takesCommandsAhead(const Capabilities& capabilities)
{
    return capabilities.has("PIPELINING") && capabilities.has("UIDL") && capabilities.has("TOP");
}

bool LogIn::wantsPlain(const Capabilities& capabilities) const
{
    const AuthMethod auth = m_request.account.auth;
    return auth == AuthMethod::Plain ||
           (auth == AuthMethod::Auto && !capabilities.isEmpty() && !capabilities.has("USER") &&
            capabilities.arguments("SASL").toUpper().split(' ').contains("PLAIN"));
}

bool LogIn::awaitPositive()
{
    QByteArray reply;
    if (!m_session.readStatus(reply))
        return false;
    return reply.startsWith("+OK") || m_session.refuseWithReason(reply);
}

bool LogIn::startTls()
{
    m_session.showStatus(Texts::tr("Sichere Verbindung"));
    if (!m_session.capabilities().has("STLS")) {
        return m_session.refuse(
            Texts::tr("Keine sichere Verbindung möglich"),
            Texts::tr("Der Server bietet keine verschlüsselte Verbindung (STLS) "
                      "an; das Passwort wurde nicht gesendet."));
    }
    m_session.send("stls");
    QByteArray reply;
    if (!m_session.readStatus(reply))
        return false;
    if (!reply.startsWith("+OK")) {
        return m_session.refuse(Texts::tr("Keine sichere Verbindung möglich"),
                                decodeUtf8OrWindows1252(reply).trimmed());
    }
    if (!m_session.transport().startEncryption())
        return false;
    m_session.forgetCapabilities();
    return true;
}

void LogIn::sendUser(const QList<QByteArray>& ahead)
{
    m_session.showStatus(Texts::tr("Suche Account"));
    m_session.send("user " + m_request.account.user.toUtf8());
    // A server that takes commands ahead gets the password, and the commands that follow a
    // log-in, without waiting for each answer: the log-in then costs one round trip.
    m_sentAhead = ahead;
    if (m_sentAhead.isEmpty())
        return;
    m_session.send("pass " + m_request.account.password.toUtf8());
    for (const QByteArray& command : ahead)
        m_session.send(command);
}

bool LogIn::awaitUserAndPassword()
{
    if (!awaitPositive())
        return false;
    m_session.showStatus(Texts::tr("Sende Passwort"));
    if (m_sentAhead.isEmpty())
        m_session.send("pass " + m_request.account.password.toUtf8());
    return awaitLogIn();
}

bool LogIn::logInWithPlain()
{
    m_session.showStatus(Texts::tr("Sende Passwort"));
    const Account& account = m_request.account;
    return Sasl::authenticate(m_session, "PLAIN",
                              Sasl::plainResponse(account.user, account.password)) &&
           awaitLogIn();
}

bool LogIn::logInWithToken()
{
    m_session.showStatus(Texts::tr("Sende Zugangsschlüssel"));
    const Account& account = m_request.account;
    const QString& token = m_request.token.token;
    const QList<QByteArray> offered =
        m_session.capabilities().arguments("SASL").toUpper().split(' ');
    bool sent = false;
    if (offered.contains("XOAUTH2") || !offered.contains("OAUTHBEARER")) {
        // Microsoft takes the answer only on a line of its own, after the server's "+ ".
        sent = Sasl::authenticate(m_session, "XOAUTH2", Sasl::xoauth2Response(account.user, token),
                                  false);
    } else {
        sent = Sasl::authenticate(m_session, "OAUTHBEARER",
                                  Sasl::oauthBearerResponse(account.user, account.server.host,
                                                            account.server.port, token));
    }
    return sent && awaitLogIn(m_request.token.mayBeRevoked);
}

bool LogIn::awaitLogIn(bool quietWhenRefused)
{
    QByteArray reply;
    if (!m_session.readLogInAnswer(reply))
        return false;
    if (reply.startsWith("+OK"))
        return true;
    if (reply.startsWith("+")) {
        // A challenge after the credentials explains a refusal; an empty line asks for it.
        m_session.send(QByteArray());
        const QByteArray reason = QByteArray::fromBase64(reply.mid(1).trimmed());
        if (!m_session.readLogInAnswer(reply))
            return false;
        reply = reply.trimmed() + '\n' + reason;
    }
    m_passwordRefused = meansWrongPassword(responseCodeOf(reply));
    if (m_passwordRefused && quietWhenRefused) {
        m_session.quitQuietly();
        return false;
    }
    return m_session.refuseWithReason(reply);
}
