#include "mailbox/mailboxclient.h"

#include "mailbox/mailboxview.h"
#include "mailbox/replyparser.h"
#include "mailbox/replyreader.h"

MailboxClient::MailboxClient(MailboxView& view, QObject* parent)
    : QObject(parent), m_view(view), m_connection(this)
{
    connect(&m_connection, &Connection::encrypting, this,
            [this] { m_view.setStatus(tr("Sichere Verbindung")); });
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

bool MailboxClient::askStat(qint32& count, qint32& size)
{
    m_view.setStatus(tr("Postfach prüfen"));
    QByteArray reply;
    if (!sendAndRead("stat", reply))
        return false;
    Parse_Reply(reply, count, size);
    return true;
}

bool MailboxClient::readUids(qint32 count, QList<QByteArray>& uids)
{
    m_connection.sendLine("uidl");
    MultiLineReply reply;
    if (!readMultiLine(m_connection, reply)) {
        failTransmission();
        return false;
    }
    uids.clear();
    if (!reply.isOk())
        return true;
    // Grown line by line rather than sized from the count, which the server could inflate.
    for (const QByteArray& line : reply.body.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool isNumber = false;
        const int number = fields.value(0).toInt(&isNumber);
        if (!isNumber || fields.size() != 2 || number < 1 || number > count)
            continue;
        if (number > uids.size())
            uids.resize(number);
        uids[number - 1] = fields[1];
    }
    return true;
}

void MailboxClient::failTransmission()
{
    if (!m_connection.isAborted()) {
        const bool certificate = m_connection.failure() == Connection::Failure::Certificate;
        m_view.showNotice({Notice::Title::Application,
                           certificate ? tr("Das Zertifikat des Servers wurde nicht angenommen.")
                                       : tr("Fehler bei der Übertragung"),
                           m_connection.failureReason()});
    }
    m_connection.close();
    m_view.setStatus(QString());
    m_view.setProgress(0);
}

void MailboxClient::refuse(const QString& text, const QString& detail)
{
    m_connection.sendLine("quit");
    m_connection.close();
    m_view.setStatus(QString());
    m_view.showNotice({Notice::Title::Application, text, detail});
}

void MailboxClient::finish()
{
    QByteArray reply;
    if (!sendAndRead("quit", reply))
        return;
    m_connection.close();
    m_view.setStatus(QString());
}
