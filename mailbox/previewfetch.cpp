// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/previewfetch.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/framebudget.h"
#include "mailbox/mailboxview.h"
#include "mailbox/pop3session.h"
#include "mailbox/previewcache.h"
#include "mailbox/topanswer.h"

#include <QCoreApplication>

namespace {

// A stored text stops growing at about this many bytes.
constexpr qsizetype StoreLimit = 64000;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

} // namespace

PreviewFetch::PreviewFetch(Pop3Session& session, FetchedMailbox& listed, PreviewCache& cache,
                           const QString& scope, qint16 lineCount)
    : m_session(session), m_listed(listed), m_cache(cache), m_scope(scope), m_lineCount(lineCount)
{
}

bool PreviewFetch::run(CommandPipeline& pipeline, qint32 totalSize, MailboxView& view)
{
    // Without ids that tell messages apart nothing is kept: a preview could land on another
    // message.
    const bool cached = m_listed.hasUsableIds();
    qint64 runningTotal = 0;
    FrameBudget frame;
    for (int k : inOrderOfNeed(view.rowsOnScreen())) {
        frame.yieldWhenSpent();
        FetchedMessage& message = m_listed.messages[k];
        if (cached && m_cache.find(m_scope, message)) {
            runningTotal += message.size;
            view.messageArrived(k, message.text, message.header);
        } else {
            m_fromServer.append(k);
            pipeline.send("top " + QByteArray::number(message.number) + ' ' +
                          QByteArray::number(m_lineCount));
        }
    }
    if (!readPreviews(pipeline, totalSize, runningTotal, view))
        return false;
    view.setProgress(0);
    return true;
}

bool PreviewFetch::readPreviews(CommandPipeline& pipeline, qint32 totalSize, qint64 runningTotal,
                                MailboxView& view)
{
    MultiLineOptions options;
    options.storeLimit = StoreLimit;
    options.progress = [&](qint64 received) {
        view.setProgress(int(qMin<qint64>(qMax(totalSize, 1), runningTotal + received)));
    };
    // Answers that are all buffered already are read without the window's event loop running.
    FrameBudget frame;
    for (int k : std::as_const(m_fromServer)) {
        frame.yieldWhenSpent();
        FetchedMessage& message = m_listed.messages[k];
        m_session.showStatus(Texts::tr("Nachricht %1 abrufen").arg(message.number));
        MultiLineReply top;
        if (!readTopAnswer(m_session, message, options, top))
            return false;
        pipeline.answered();
        message.header = wholeHeaderBlock(top.body);
        message.text = previewText(top.body);
        view.messageArrived(k, message.text, message.header);
        runningTotal += message.size;
    }
    return true;
}

QList<int> PreviewFetch::inOrderOfNeed(const QList<int>& onScreen) const
{
    const qsizetype count = m_listed.messages.size();
    QList<int> order;
    order.reserve(count);
    QList<bool> taken(count, false);
    for (int k : onScreen) {
        if (k >= 0 && k < count && !taken[k]) {
            taken[k] = true;
            order.append(k);
        }
    }
    for (int k = 0; k < count; ++k) {
        if (!taken[k])
            order.append(k);
    }
    return order;
}

void PreviewFetch::keep()
{
    if (!m_listed.hasUsableIds())
        return;
    m_cache.keepOnly(m_scope, m_listed.messages);
    FrameBudget frame;
    for (int k : std::as_const(m_fromServer)) {
        if (!m_listed.messages[k].header.isEmpty())
            m_cache.store(m_scope, m_listed.messages[k]);
        frame.yieldWhenSpent();
    }
}

void PreviewFetch::discard(MailboxView& view)
{
    for (int k : std::as_const(m_fromServer)) {
        m_listed.messages[k].text.clear();
        m_listed.messages[k].header.clear();
        view.messageArrived(k, QString(), QByteArray());
    }
}
