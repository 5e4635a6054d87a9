#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "mailbox/serveraddress.h"
#include "settings/textdecoding.h"

namespace {

bool listsStls(const QByteArray& capabilities)
{
    for (const QByteArray& line : capabilities.split('\n')) {
        if (line.trimmed().split(' ').value(0).toUpper() == "STLS")
            return true;
    }
    return false;
}

} // namespace

bool MailboxClient::Do_Connect(const AccountSlot& account)
{
    m_connection.close();
    m_passwordRefused = false;
    const ServerAddress server = resolveServer(account);
    if (!server.problem.isEmpty()) {
        m_view.showNotice(
            {Notice::Title::Application, tr("Fehler bei der Übertragung"), server.problem});
        m_view.setStatus(QString());
        return false;
    }

    m_view.setStatus(tr("Suche Host"));
    m_connection.open(server);
    return awaitPositive() && (server.security != Security::StartTls || startTls()) &&
           loginStep(tr("Suche Account"), "user " + account.Account.toUtf8()) &&
           loginStep(tr("Sende Passwort"), "pass " + account.Password.toUtf8(), &m_passwordRefused);
}

bool MailboxClient::startTls()
{
    m_view.setStatus(tr("Sichere Verbindung"));
    m_connection.sendLine("capa");
    MultiLineReply capabilities;
    if (!readMultiLine(m_connection, capabilities)) {
        failTransmission();
        return false;
    }
    if (!capabilities.isOk() || !listsStls(capabilities.body)) {
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
