// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <array>

// The header summary of a stored message text: sender, recipient, subject and date, and whether
// the text announces an attachment.
struct MailInfo {
    std::array<QString, 4> values; // From, To, Subject, Date, decoded for display
    bool attachment = false;
};

// Each header is found as CR LF followed by its name, the first occurrence in exact letter case;
// its value runs from the second character after the colon to the CR that ends the field, its
// folded continuation lines joined.
MailInfo readMailInfo(const QString& MailText);
