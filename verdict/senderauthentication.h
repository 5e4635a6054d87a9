// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "verdict/finding.h"
#include "verdict/headerfields.h"

#include <QList>
#include <QString>
#include <optional>

// What the account's own receiving server found out about the domain in From: confirmed when
// DMARC passed for it or a DKIM signature of its registrable domain did; not confirmed when
// DMARC failed, DKIM and SPF both failed for it, or Microsoft's composite check failed. Only
// the topmost field from the trusted server (see authservid.h) and fields with its id right
// below it are read; of each method the topmost result counts.
std::optional<Finding> judgeSenderAuthentication(const QList<HeaderField>& fields,
                                                 const QString& fromDomain,
                                                 const QString& trustedAuthServId);
