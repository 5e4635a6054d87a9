// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "verdict/authenticationresults.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Which Authentication-Results fields come from the account's own receiving server. Anyone can
// write such a field into a mail; only the receiving server's id tells its field apart.

// Stands for a receiving server that writes no id (Microsoft's): then only the topmost field is
// read, and only when it names no id.
inline const QString withoutAuthServId = QStringLiteral("-");

// Whether the field names the trusted id, in any letter case. A trusted id that is a registrable
// domain, as commonAuthServId gives for servers that name their own host (Yahoo's), also takes
// the hosts under it.
bool isFromTrustedServer(const AuthenticationResults& field, const QString& trustedAuthServId);

// The id that heads the topmost Authentication-Results field in most of a mailbox's header
// blocks: in more than half of those that hold one, and in two at least. Ids of hosts that
// differ only below one registrable domain count together, as that domain. Empty when no id
// has that many; withoutAuthServId when most name none.
QString commonAuthServId(const QList<QByteArray>& headerBlocks);

// Whether a line of the header block begins with the Authentication-Results field's name: cheap
// enough to note for each block as it arrives, so that a fetch's end need not look through all.
bool namesAuthenticationResults(QByteArrayView headerBlock);
