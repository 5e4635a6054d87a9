#include "mailbox/mailboxclient.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/mailboxview.h"
#include "mailbox/replyparser.h"
#include "mailbox/replyreader.h"
#include "mailbox/responsecode.h"
#include "settings/textdecoding.h"

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

void MailboxClient::cancel()
{
    if (m_busy)
        m_connection.cancel();
}

QScopeGuard<std::function<void()>> MailboxClient::markBusy()
{
    m_busy = true;
    m_cancelled = false;
    m_view.setBusy(true);
    return qScopeGuard(std::function<void()>([this] {
        m_busy = false;
        m_view.setBusy(false);
    }));
}

int MailboxClient::pipelineDepth() const
{
    return m_capabilities.has("PIPELINING") ? CommandPipeline::PipelinedDepth : 1;
}

bool MailboxClient::sendAndRead(const QByteArray& command, QByteArray& reply)
{
    m_connection.sendLine(command);
    if (readStatusLine(m_connection, reply))
        return true;
    failTransmission();
    return false;
}

bool MailboxClient::readStat(CommandPipeline& pipeline, qint32& count, qint32& size)
{
    m_view.setStatus(tr("Postfach prüfen"));
    QByteArray reply;
    if (!readStatusLine(m_connection, reply)) {
        failTransmission();
        return false;
    }
    pipeline.answered();
    // A server that is busy or broken says so in a code; without one, an error means no mail.
    const ResponseCode code = responseCodeOf(reply);
    if (code != ResponseCode::None && code != ResponseCode::Other)
        return refuseWithReason(reply);
    Parse_Reply(reply, count, size);
    return true;
}

bool MailboxClient::listMailbox(CommandPipeline& pipeline, qint32& count, qint32& size,
                                FetchedMailbox& listing)
{
    // "list" and "uidl" go with "stat" to a server that takes commands ahead of its answers, or
    // went ahead with the log-in while the server still did. What went ahead is never sent
    // again: its answers are on their way, whatever the server announces now.
    const bool listAhead = pipeline.isPending("list") || pipelineDepth() > 1;
    if (!pipeline.isPending("stat"))
        pipeline.send("stat");
    if (listAhead && !pipeline.isPending("list")) {
        pipeline.send("list");
        pipeline.send("uidl");
    }
    if (!readStat(pipeline, count, size))
        return false;
    if (count <= 0)
        return !listAhead || skipListing(pipeline);
    if (!listAhead) {
        pipeline.send("list");
        pipeline.send("uidl");
    }
    listing = FetchedMailbox(count);
    return readListing(pipeline, listing);
}

bool MailboxClient::readListing(CommandPipeline& pipeline, FetchedMailbox& listing)
{
    // About 100 bytes a message are far more than any server writes; a listing beyond that is
    // endless, and is not collected past a size that a mailbox of a few hundred thousand
    // messages needs.
    const qint64 limit = qMin<qint64>(100LL * listing.countLimit() + 64 * 1024, 32LL * 1024 * 1024);
    MultiLineOptions options;
    options.receiveLimit = limit;
    options.expectedSize = limit;
    options.onLine = [&](QByteArrayView line) {
        const qsizetype before = listing.messages.size();
        listing.addListLine(line);
        if (listing.messages.size() > before)
            m_view.setStatus(tr("Nachricht %1 erfassen").arg(listing.messages.constLast().number));
    };
    MultiLineReply list;
    if (!readMultiLine(m_connection, list, options)) {
        failTransmission();
        return false;
    }
    if (!list.isOk()) {
        const ResponseCode code = responseCodeOf(list.status);
        if (code != ResponseCode::None && code != ResponseCode::Other)
            return refuseWithReason(list.status);
        refuse(tr("Fehler bei der Übertragung"), decodeUtf8OrWindows1252(list.status).trimmed());
        return false;
    }
    pipeline.answered();
    options.onLine = [&](QByteArrayView line) {
        listing.addUidLine(line);
    };
    MultiLineReply uids;
    if (!readMultiLine(m_connection, uids, options)) {
        failTransmission();
        return false;
    }
    pipeline.answered();
    listing.finishListing();
    return true;
}

bool MailboxClient::skipListing(CommandPipeline& pipeline)
{
    MultiLineOptions options;
    options.receiveLimit = 64 * 1024;
    options.onLine = [](QByteArrayView) {
    };
    for (int answer = 0; answer < 2; ++answer) {
        MultiLineReply reply;
        if (!readMultiLine(m_connection, reply, options)) {
            failTransmission();
            return false;
        }
        pipeline.answered();
    }
    return true;
}

void MailboxClient::failTransmission()
{
    const bool certificate = m_connection.failure() == Connection::Failure::Certificate;
    const QString reason = m_connection.failureReason();
    // Closed before the box: a server that keeps sending while the box is open is not heard.
    m_connection.close();
    m_connection.RecvBuffer.clear();
    m_view.setProgress(0);
    if (m_connection.failure() == Connection::Failure::Cancelled) {
        m_cancelled = true;
        m_view.setStatus(tr("Abgebrochen"));
        return;
    }
    m_view.setStatus(QString());
    if (!m_connection.isAborted()) {
        m_view.showNotice({Notice::Title::Application,
                           certificate ? tr("Das Zertifikat des Servers wurde nicht angenommen.")
                                       : tr("Fehler bei der Übertragung"),
                           reason});
    }
}

void MailboxClient::refuse(const QString& text, const QString& detail)
{
    quitQuietly();
    m_view.showNotice({Notice::Title::Application, text, detail});
}

void MailboxClient::quitQuietly()
{
    m_connection.sendLine("quit");
    m_connection.close();
    m_connection.RecvBuffer.clear();
    m_view.setStatus(QString());
}

void MailboxClient::showMismatch()
{
    m_view.showNotice({Notice::Title::WindowCaption,
                       tr("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."),
                       QString()});
}

bool MailboxClient::quit(QByteArray& answer)
{
    m_connection.sendLine("quit");
    if (!readStatusLine(m_connection, answer))
        return false;
    // The server closes the connection after this answer. A byte before that answers no command:
    // somewhere answers and commands were out of step.
    if (m_connection.RecvBuffer.isEmpty())
        m_connection.Wait_Reply();
    if (!m_connection.RecvBuffer.isEmpty()) {
        m_connection.failProtocol(tr("Der Server hat mehr Antworten gesandt, als Befehle gestellt "
                                     "wurden."));
        return false;
    }
    if (m_connection.isAborted() || m_connection.failure() == Connection::Failure::Cancelled)
        return false;
    m_connection.close();
    m_view.setStatus(QString());
    return true;
}

bool MailboxClient::finish()
{
    QByteArray answer;
    if (quit(answer))
        return true;
    failTransmission();
    return false;
}
