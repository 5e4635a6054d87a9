#include "mailbox/login.h"

#include "mailbox/pop3session.h"
#include "mailbox/responsecode.h"
#include "mailbox/sasl.h"
#include "mailbox/transport.h"
#include "text/textdecoding.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("MailboxClient", text);
}

QString authOf(const AccountSlot& account)
{
    return account.Auth.trimmed().toLower();
}

} // namespace

QString unusableBecause(const AccountSlot& account, const ServerAddress& server)
{
    const QStringList methods = {QString(), QStringLiteral("auto"), QStringLiteral("user"),
                                 QStringLiteral("plain"), QStringLiteral("oauth2")};
    const QString auth = authOf(account);
    if (!account.problem.isEmpty())
        return account.problem;
    if (!server.problem.isEmpty())
        return server.problem;
    if (!methods.contains(auth))
        return tr("Die Anmeldeart „%1“ (Auth) ist unbekannt: möglich sind auto, user, plain und "
                  "oauth2.")
            .arg(account.Auth);
    // Whoever reads a bearer token can use it: it never goes over a plain connection.
    if (auth == u"oauth2" && server.security == Security::None)
        return tr("Die Anmeldung mit OAuth2 braucht eine verschlüsselte Verbindung (Security tls "
                  "oder starttls).");
    // Names and passwords from the keyring or the password dialog are checked here too.
    if (breaksCommandLine(account.Account))
        return tr("Der Benutzername (Account) enthält einen Zeilenumbruch oder ein Nullzeichen; "
                  "es wurde nichts gesendet.");
    if (breaksCommandLine(account.Password))
        return tr("Das Passwort enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde "
                  "nichts gesendet.");
    return QString();
}

LogIn::LogIn(Pop3Session& session, Request request)
    : m_session(session), m_request(std::move(request)), m_auth(authOf(m_request.account))
{
}

bool LogIn::run()
{
    m_session.showStatus(tr("Suche Host"));
    m_session.transport().open(m_request.server);
    if (!awaitPositive())
        return false;
    const bool early = m_request.server.security != Security::StartTls && m_auth != u"oauth2" &&
                       takesCommandsAhead(m_request.known) && !wantsPlain(m_request.known);
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
    if (m_request.server.security == Security::StartTls &&
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
    if (m_auth == u"oauth2") {
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
    return m_auth == u"plain" ||
           ((m_auth.isEmpty() || m_auth == u"auto") && !capabilities.isEmpty() &&
            !capabilities.has("USER") &&
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
    m_session.showStatus(tr("Sichere Verbindung"));
    if (!m_session.capabilities().has("STLS")) {
        return m_session.refuse(tr("Keine sichere Verbindung möglich"),
                                tr("Der Server bietet keine verschlüsselte Verbindung (STLS) "
                                   "an; das Passwort wurde nicht gesendet."));
    }
    m_session.send("stls");
    QByteArray reply;
    if (!m_session.readStatus(reply))
        return false;
    if (!reply.startsWith("+OK")) {
        return m_session.refuse(tr("Keine sichere Verbindung möglich"),
                                decodeUtf8OrWindows1252(reply).trimmed());
    }
    if (!m_session.transport().startEncryption())
        return false;
    m_session.forgetCapabilities();
    return true;
}

void LogIn::sendUser(const QList<QByteArray>& ahead)
{
    m_session.showStatus(tr("Suche Account"));
    m_session.send("user " + m_request.account.Account.toUtf8());
    // A server that takes commands ahead gets the password, and the commands that follow a
    // log-in, without waiting for each answer: the log-in then costs one round trip.
    m_sentAhead = ahead;
    if (m_sentAhead.isEmpty())
        return;
    m_session.send("pass " + m_request.account.Password.toUtf8());
    for (const QByteArray& command : ahead)
        m_session.send(command);
}

bool LogIn::awaitUserAndPassword()
{
    if (!awaitPositive())
        return false;
    m_session.showStatus(tr("Sende Passwort"));
    if (m_sentAhead.isEmpty())
        m_session.send("pass " + m_request.account.Password.toUtf8());
    return awaitLogIn();
}

bool LogIn::logInWithPlain()
{
    m_session.showStatus(tr("Sende Passwort"));
    const AccountSlot& account = m_request.account;
    return Sasl::authenticate(m_session, "PLAIN",
                              Sasl::plainResponse(account.Account, account.Password)) &&
           awaitLogIn();
}

bool LogIn::logInWithToken()
{
    m_session.showStatus(tr("Sende Zugangsschlüssel"));
    const AccountSlot& account = m_request.account;
    const QList<QByteArray> offered =
        m_session.capabilities().arguments("SASL").toUpper().split(' ');
    bool sent = false;
    if (offered.contains("XOAUTH2") || !offered.contains("OAUTHBEARER")) {
        // Microsoft takes the answer only on a line of its own, after the server's "+ ".
        sent =
            Sasl::authenticate(m_session, "XOAUTH2",
                               Sasl::xoauth2Response(account.Account, account.AccessToken), false);
    } else {
        sent = Sasl::authenticate(m_session, "OAUTHBEARER",
                                  Sasl::oauthBearerResponse(account.Account, m_request.server.host,
                                                            m_request.server.port,
                                                            account.AccessToken));
    }
    return sent && awaitLogIn(account.TokenRetryAhead);
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
