#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/serveraddress.h"
#include "settings/textdecoding.h"

bool MailboxClient::Do_Connect(const AccountSlot& account, const QList<QByteArray>& ahead)
{
    m_connection.close();
    m_capabilities = {};
    m_passwordRefused = false;
    m_sentAhead = false;
    const ServerAddress server = resolveServer(account);
    if (!server.problem.isEmpty()) {
        m_view.showNotice(
            {Notice::Title::Application, tr("Fehler bei der Übertragung"), server.problem});
        m_view.setStatus(QString());
        return false;
    }

    m_view.setStatus(tr("Suche Host"));
    m_connection.open(server);
    if (!awaitPositive() || !askCapabilities())
        return false;
    // What the server announced before the handshake is not protected by it.
    if (server.security == Security::StartTls && (!startTls() || !askCapabilities()))
        return false;
    // Some servers announce what they offer only to a user who has logged in.
    const bool complete =
        m_capabilities.has("PIPELINING") && m_capabilities.has("UIDL") && m_capabilities.has("TOP");
    // A server that takes commands ahead gets the password, and the commands that follow a
    // log-in, without waiting for each answer: the log-in then costs one round trip.
    m_sentAhead = complete;
    if (complete) {
        m_view.setStatus(tr("Suche Account"));
        m_connection.sendLine("user " + account.Account.toUtf8());
        m_connection.sendLine("pass " + account.Password.toUtf8());
        for (const QByteArray& command : ahead)
            m_connection.sendLine(command);
        if (!awaitPositive())
            return false;
        m_view.setStatus(tr("Sende Passwort"));
        return awaitPositive(&m_passwordRefused);
    }
    return loginStep(tr("Suche Account"), "user " + account.Account.toUtf8()) &&
           loginStep(tr("Sende Passwort"), "pass " + account.Password.toUtf8(),
                     &m_passwordRefused) &&
           askCapabilities();
}

bool MailboxClient::askCapabilities()
{
    m_connection.sendLine("capa");
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

bool MailboxClient::loginStep(const QString& status, const QByteArray& command, bool* refused)
{
    m_view.setStatus(status);
    m_connection.sendLine(command);
    return awaitPositive(refused);
}

bool MailboxClient::awaitPositive(bool* refused)
{
    QByteArray reply;
    if (!readStatusLine(m_connection, reply)) {
        failTransmission();
        return false;
    }
    if (!reply.startsWith("+OK")) {
        if (refused)
            *refused = true;
        refuse(tr("Anmeldung fehlgeschlagen"), decodeUtf8OrWindows1252(reply).trimmed());
        return false;
    }
    return true;
}
