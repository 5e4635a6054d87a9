#include "mailbox/mailboxclient.h"
#include "mailbox/mailboxview.h"

void MailboxClient::DeleteMail(const AccountSlot& account)
{
    if (m_busy || isAborted())
        return;
    const auto busy = markBusy();
    bool anyMarked = false;
    for (int k = 0; k < m_view.messageCount() && !anyMarked; ++k)
        anyMarked = m_view.isMarked(k);
    if (!anyMarked) {
        m_view.showNotice(
            {Notice::Title::WindowCaption, tr("Keine Mail zum Löschen ausgewählt !"), QString()});
        return;
    }
    if (!Do_Connect(account))
        return;

    qint32 count = 0;
    qint32 size = 0;
    if (!askStat(count, size))
        return;
    QList<QByteArray> uids;
    if (count > 0 && !readUids(count, uids))
        return;

    // With ids to go by, a message counts as the one the user saw only when its id is the same;
    // without them, the mailbox must at least hold as many messages as before.
    const bool byIds = !uids.isEmpty() && !MailUids.isEmpty();
    const auto unchanged = [&](int k) {
        return byIds ? k < uids.size() && k < MailUids.size() && !uids[k].isEmpty() &&
                           uids[k] == MailUids[k]
                     : count == MailCount;
    };
    bool allUnchanged = true;
    for (int k = 0; k < m_view.messageCount(); ++k)
        allUnchanged = allUnchanged && (!m_view.isMarked(k) || unchanged(k));
    if (!allUnchanged) {
        m_view.showNotice({Notice::Title::WindowCaption,
                           tr("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."),
                           QString()});
    } else {
        // Each mark is read when the loop reaches it: the user may still change later ones.
        for (int k = 0; k < m_view.messageCount(); ++k) {
            if (!m_view.isMarked(k) || !unchanged(k))
                continue;
            m_view.setStatus(tr("Nachricht %1 löschen").arg(k + 1));
            QByteArray reply;
            if (!sendAndRead("dele " + QByteArray::number(k + 1), reply))
                return;
        }
    }
    finish();
}
