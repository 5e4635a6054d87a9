// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QtGlobal>

class CommandPipeline;
class MailboxView;
class Pop3Session;

// The whole of one message, asked for with "retr" once the message is known to be the one the
// user chose. It stays in memory: nothing of it is written to disk.
namespace MessageRetrieval {

// Larger messages are not fetched: the user looks at one to judge it, not to keep it.
inline constexpr qint32 MaxMessageSize = 25 * 1024 * 1024;

// "retr" for the message the server now holds under number, listed with size bytes, and its
// answer, shown as progress in the view. An answer that cannot belong to the message ends the
// conversation, as does a refusal, which the user is told. False when the conversation ended.
bool retrieve(Pop3Session& session, CommandPipeline& pipeline, qint32 number, qint32 size,
              MailboxView& view, QByteArray& message);

} // namespace MessageRetrieval
