// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "verdict/finding.h"
#include "verdict/mailaddresses.h"

#include <QList>
#include <optional>

// Checks of the sender's address that need no server's word.

// The display name holds an address other than the sender's, or a domain name of another
// registrable domain ("paypal.com <x@example.net>"), also when written in full-width letters.
std::optional<Finding> judgeDisplayName(const MailAddress& from);

// A Reply-To address lies in another registrable domain than the sender's.
std::optional<Finding> judgeReplyTo(const MailAddress& from, const QList<MailAddress>& replyTo);

// A domain of the given addresses is international: written in punycode or in letters beyond
// ASCII; the detail names its ASCII form and whether it mixes scripts.
std::optional<Finding> judgeInternationalDomains(const QList<MailAddress>& addresses);
