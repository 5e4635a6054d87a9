// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/fetchedmailbox.h"

#include <QList>
#include <QString>

class CommandPipeline;
class MailboxView;
class Pop3Session;
class PreviewCache;

// The previews of one fetch: "top" for every listed message whose preview was not kept from an
// earlier fetch, each answer checked to belong to the message it was asked for. They are kept
// for later fetches only once the conversation has ended cleanly.
class PreviewFetch {
public:
    PreviewFetch(Pop3Session& session, FetchedMailbox& listed, PreviewCache& cache,
                 const QString& scope, qint16 lineCount);

    // Shows each preview in the view as it arrives. False when the conversation ended.
    bool run(CommandPipeline& pipeline, qint32 totalSize, MailboxView& view);
    // The conversation ended cleanly: the previews from the server are kept.
    void keep();
    // The conversation failed: answers and commands may have been out of step, so no preview of
    // it can be trusted to belong to its entry.
    void discard(MailboxView& view);

private:
    // The entries on screen first, then the rest in number order.
    QList<int> inOrderOfNeed(const QList<int>& onScreen) const;
    bool readPreviews(CommandPipeline& pipeline, qint32 totalSize, qint64 runningTotal,
                      MailboxView& view);

    Pop3Session& m_session;
    FetchedMailbox& m_listed;
    PreviewCache& m_cache;
    QString m_scope;
    qint16 m_lineCount = 0;
    QList<int> m_fromServer; // positions asked for
};
