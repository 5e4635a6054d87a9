// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QStringList>

class CommandPipeline;
class FetchedMailbox;
class Pop3Session;
struct MailboxListing;

// The steps of a deletion after the listing.
namespace Deletion {

// The numbers under which the server now holds the marked messages (positions in `seen`, the
// listing the user saw, of seenCount messages), when every one of them is provably the message
// the user saw: by its id when both listings have usable ids, otherwise only when the count is
// the same and the server sends each marked message's whole header block again, byte for byte as
// stored. Else numbers stays empty. False when the conversation ended.
bool recognise(Pop3Session& session, CommandPipeline& pipeline, const FetchedMailbox& seen,
               qint32 seenCount, const QList<int>& marked, const MailboxListing& now,
               QList<qint32>& numbers);

// "dele" for each number; refusals gets the server's words for each one it refused.
bool deleteMessages(Pop3Session& session, CommandPipeline& pipeline, const QList<qint32>& numbers,
                    QStringList& refusals);

} // namespace Deletion
