#include "mailbox/hostport.h"
#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"

namespace {

constexpr quint16 Pop3Port = 110;

} // namespace

bool MailboxClient::Do_Connect(const AccountSlot& account)
{
    m_connection.close();
    const HostPort server = parseHostPort(account.Host, Pop3Port);
    if (!server.valid) {
        m_view.showNotice(
            {Notice::Title::Application, tr("Fehler bei der Übertragung"),
             account.Host.trimmed().isEmpty()
                 ? tr("Für dieses Konto ist kein Server eingetragen (Host in TARVOLK.INI).")
                 : tr("Die Serverangabe „%1“ ist ungültig.").arg(account.Host)});
        m_view.setStatus(QString());
        return false;
    }

    m_view.setStatus(tr("Suche Host"));
    m_connection.open(server.host, server.port);
    return awaitPositive() &&
           loginStep(tr("Suche Account"), "user " + account.Account.toUtf8()) &&
           loginStep(tr("Sende Passwort"), "pass " + account.Password.toUtf8());
}

bool MailboxClient::loginStep(const QString& status, const QByteArray& command)
{
    m_view.setStatus(status);
    m_connection.sendLine(command);
    return awaitPositive();
}

bool MailboxClient::awaitPositive()
{
    QByteArray reply;
    if (!readStatusLine(m_connection, reply)) {
        failTransmission();
        return false;
    }
    if (!reply.startsWith("+OK")) {
        refuseLogin(reply);
        return false;
    }
    return true;
}
