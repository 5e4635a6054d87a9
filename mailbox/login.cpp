#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/responsecode.h"
#include "mailbox/serveraddress.h"
#include "settings/textdecoding.h"

#include <QCoreApplication>

namespace {

// Why the account cannot be used as it is, before anything is sent; empty when it can.
QString unusableBecause(const AccountSlot& account, const ServerAddress& server,
                        const QString& auth)
{
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("MailboxClient", text);
    };
    const QStringList methods = {QString(), QStringLiteral("auto"), QStringLiteral("user"),
                                 QStringLiteral("plain"), QStringLiteral("oauth2")};
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

} // namespace

bool MailboxClient::Do_Connect(const AccountSlot& account, const QList<QByteArray>& ahead)
{
    m_connection.close();
    m_capabilities = {};
    m_passwordRefused = false;
    m_sentAhead.clear();
    const ServerAddress server = resolveServer(account);
    const QString auth = account.Auth.trimmed().toLower();
    const bool token = auth == u"oauth2";
    const QString problem = unusableBecause(account, server, auth);
    if (!problem.isEmpty()) {
        m_view.showNotice({Notice::Title::Application, tr("Fehler bei der Übertragung"), problem});
        m_view.setStatus(QString());
        return false;
    }

    m_view.setStatus(tr("Suche Host"));
    m_connection.open(server);
    if (!awaitPositive())
        return false;
    // A server that took commands ahead before, in this run of the program, gets its "capa"
    // together with the log-in: every press after the first then costs a round trip less.
    const QString key = accountKey(account);
    const Capabilities known = m_announced.value(key);
    const bool early = server.security != Security::StartTls && !token &&
                       takesCommandsAhead(known) && !wantsPlain(auth, known);
    m_connection.sendLine("capa");
    if (early)
        sendUser(account, ahead);
    if (!readCapabilities())
        return false;
    if (early) {
        m_announced.insert(key, m_capabilities);
        return awaitUserAndPassword(account);
    }
    // What the server announced before the handshake is not protected by it.
    if (server.security == Security::StartTls && (!startTls() || !askCapabilities()))
        return false;
    m_announced.insert(key, m_capabilities);
    // Some servers announce what they offer only to a user who has logged in.
    const bool complete = takesCommandsAhead(m_capabilities);
    bool loggedIn = false;
    if (token) {
        loggedIn = logInWithToken(account, server);
    } else if (wantsPlain(auth, m_capabilities)) {
        loggedIn = logInWithPlain(account);
    } else {
        sendUser(account, complete ? ahead : QList<QByteArray>());
        loggedIn = awaitUserAndPassword(account);
    }
    if (!loggedIn)
        return false;
    return complete || askCapabilities();
}

bool MailboxClient::takesCommandsAhead(const Capabilities& capabilities)
{
    return capabilities.has("PIPELINING") && capabilities.has("UIDL") && capabilities.has("TOP");
}

bool MailboxClient::wantsPlain(const QString& auth, const Capabilities& capabilities)
{
    return auth == u"plain" ||
           ((auth.isEmpty() || auth == u"auto") && !capabilities.isEmpty() &&
            !capabilities.has("USER") &&
            capabilities.arguments("SASL").toUpper().split(' ').contains("PLAIN"));
}

void MailboxClient::sendUser(const AccountSlot& account, const QList<QByteArray>& ahead)
{
    m_view.setStatus(tr("Suche Account"));
    m_connection.sendLine("user " + account.Account.toUtf8());
    // A server that takes commands ahead gets the password, and the commands that follow a
    // log-in, without waiting for each answer: the log-in then costs one round trip.
    m_sentAhead = ahead;
    if (!m_sentAhead.isEmpty()) {
        m_connection.sendLine("pass " + account.Password.toUtf8());
        for (const QByteArray& command : ahead)
            m_connection.sendLine(command);
    }
}

bool MailboxClient::awaitUserAndPassword(const AccountSlot& account)
{
    if (!awaitPositive())
        return false;
    m_view.setStatus(tr("Sende Passwort"));
    if (m_sentAhead.isEmpty())
        m_connection.sendLine("pass " + account.Password.toUtf8());
    return awaitLogIn();
}

bool MailboxClient::logInWithPlain(const AccountSlot& account)
{
    m_view.setStatus(tr("Sende Passwort"));
    const QByteArray response =
        ('\0' + account.Account.toUtf8() + '\0' + account.Password.toUtf8()).toBase64();
    return sendAuth("PLAIN", response) && awaitLogIn();
}

bool MailboxClient::logInWithToken(const AccountSlot& account, const ServerAddress& server)
{
    m_view.setStatus(tr("Sende Zugangsschlüssel"));
    const QByteArray user = account.Account.toUtf8();
    const QByteArray bearer = "auth=Bearer " + account.AccessToken.toUtf8() + "\x01\x01";
    const QList<QByteArray> offered = m_capabilities.arguments("SASL").toUpper().split(' ');
    bool sent = false;
    if (offered.contains("XOAUTH2") || !offered.contains("OAUTHBEARER")) {
        // Microsoft takes the answer only on a line of its own, after the server's "+ ".
        sent = sendAuth("XOAUTH2", ("user=" + user + '\x01' + bearer).toBase64(), false);
    } else {
        // The authorization identity escapes the two characters that delimit it.
        const QByteArray identity = QByteArray(user).replace('=', "=3D").replace(',', "=2C");
        const QByteArray response = "n,a=" + identity + ",\x01host=" + server.host.toUtf8() +
                                    "\x01port=" + QByteArray::number(server.port) + '\x01' + bearer;
        sent = sendAuth("OAUTHBEARER", response.toBase64());
    }
    return sent && awaitLogIn(account.TokenRetryAhead);
}

bool MailboxClient::sendAuth(const QByteArray& mechanism, const QByteArray& response,
                             bool initialResponse)
{
    const QByteArray command = "AUTH " + mechanism + ' ' + response;
    // The initial response rides on the AUTH line only while the line, with its CR LF, stays
    // within the 255 octets a server must accept.
    if (initialResponse && command.size() + 2 <= 255) {
        m_connection.sendLine(command);
        return true;
    }
    m_connection.sendLine("AUTH " + mechanism);
    QByteArray challenge;
    if (!readLogInAnswer(challenge))
        return false;
    if (!challenge.startsWith("+ ") && challenge != "+\r\n")
        return refuseWithReason(challenge);
    m_connection.sendLine(response);
    return true;
}

bool MailboxClient::readLogInAnswer(QByteArray& reply)
{
    const int usual = m_connection.timeLimitMs();
    m_connection.setTimeLimitMs(m_connection.loginTimeLimitMs());
    const bool read = readStatusLine(m_connection, reply, {true});
    m_connection.setTimeLimitMs(usual);
    if (!read)
        failTransmission();
    return read;
}

bool MailboxClient::awaitLogIn(bool quietWhenRefused)
{
    QByteArray reply;
    if (!readLogInAnswer(reply))
        return false;
    if (reply.startsWith("+OK"))
        return true;
    if (reply.startsWith("+")) {
        // A challenge after the credentials explains a refusal; an empty line asks for it.
        m_connection.sendLine(QByteArray());
        const QByteArray reason = QByteArray::fromBase64(reply.mid(1).trimmed());
        if (!readLogInAnswer(reply))
            return false;
        reply = reply.trimmed() + '\n' + reason;
    }
    m_passwordRefused = meansWrongPassword(responseCodeOf(reply));
    if (m_passwordRefused && quietWhenRefused) {
        quitQuietly();
        return false;
    }
    return refuseWithReason(reply);
}

bool MailboxClient::refuseWithReason(const QByteArray& reply)
{
    refuse(refusalText(responseCodeOf(reply),
                       loginDelaySeconds(m_capabilities.arguments("LOGIN-DELAY"))),
           decodeUtf8OrWindows1252(reply).trimmed());
    return false;
}

bool MailboxClient::askCapabilities()
{
    m_connection.sendLine("capa");
    return readCapabilities();
}

bool MailboxClient::readCapabilities()
{
    Capabilities announced;
    MultiLineOptions options;
    options.receiveLimit = 64 * 1024;
    options.onLine = [&](QByteArrayView line) {
        announced.addLine(line);
    };
    MultiLineReply reply;
    if (!readMultiLine(m_connection, reply, options)) {
        failTransmission();
        return false;
    }
    // "-ERR" means the server announces nothing; what it announced before still holds.
    if (reply.isOk())
        m_capabilities = announced;
    return true;
}

bool MailboxClient::startTls()
{
    m_view.setStatus(tr("Sichere Verbindung"));
    if (!m_capabilities.has("STLS")) {
        refuse(tr("Keine sichere Verbindung möglich"),
               tr("Der Server bietet keine verschlüsselte Verbindung (STLS) an; das Passwort "
                  "wurde nicht gesendet."));
        return false;
    }
    QByteArray reply;
    if (!sendAndRead("stls", reply))
        return false;
    if (!reply.startsWith("+OK")) {
        refuse(tr("Keine sichere Verbindung möglich"), decodeUtf8OrWindows1252(reply).trimmed());
        return false;
    }
    if (!m_connection.startEncryption()) {
        failTransmission();
        return false;
    }
    m_capabilities = {};
    return true;
}

bool MailboxClient::awaitPositive()
{
    QByteArray reply;
    if (!readStatusLine(m_connection, reply)) {
        failTransmission();
        return false;
    }
    return reply.startsWith("+OK") || refuseWithReason(reply);
}
