#include "mailbox/mailboxclient.h"

#include "mailbox/mailboxview.h"
#include "mailbox/replyreader.h"
#include "settings/textdecoding.h"

MailboxClient::MailboxClient(MailboxView& view, QObject* parent)
    : QObject(parent), m_view(view), m_connection(this)
{
}

void MailboxClient::abort()
{
    m_connection.abort();
}

QScopeGuard<std::function<void()>> MailboxClient::markBusy()
{
    m_busy = true;
    m_view.setBusy(true);
    return qScopeGuard(std::function<void()>([this] {
        m_busy = false;
        m_view.setBusy(false);
    }));
}

bool MailboxClient::sendAndRead(const QByteArray& command, QByteArray& reply)
{
    m_connection.sendLine(command);
    if (readStatusLine(m_connection, reply))
        return true;
    failTransmission();
    return false;
}

void MailboxClient::failTransmission()
{
    if (!m_connection.isAborted())
        m_view.showNotice({Notice::Title::Application, tr("Fehler bei der Übertragung"),
                           m_connection.failureReason()});
    m_connection.close();
    m_view.setStatus(QString());
}

void MailboxClient::refuseLogin(const QByteArray& serverWords)
{
    m_connection.sendLine("quit");
    m_connection.close();
    m_view.setStatus(QString());
    m_view.showNotice({Notice::Title::Application, tr("Anmeldung fehlgeschlagen"),
                       decodeUtf8OrWindows1252(serverWords).trimmed()});
}

void MailboxClient::finish()
{
    QByteArray reply;
    if (!sendAndRead("quit", reply))
        return;
    m_connection.close();
    m_view.setStatus(QString());
}
