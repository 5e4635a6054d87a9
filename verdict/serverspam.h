// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "verdict/finding.h"
#include "verdict/headerfields.h"

#include <QList>
#include <optional>

// The receiving server's spam filter calls the message spam: SpamAssassin's X-Spam-Flag: YES or
// X-Spam-Status: Yes, rspamd's X-Spam: Yes. Its score and threshold go into the finding when
// the fields give them. Of each field the topmost counts, as the server's own stands on top.
std::optional<Finding> judgeServerSpam(const QList<HeaderField>& fields);
