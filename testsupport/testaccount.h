// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/account.h"

// An account on a test server, with the user and password the scripted log-ins expect, and the
// settings of its slot as given. The fed transport takes any host.
inline Account testAccount(const QString& host = QStringLiteral("pop.example.org"),
                           const QString& user = QStringLiteral("joe"),
                           const QString& password = QStringLiteral("secret"),
                           AccountSlot slot = {})
{
    slot.Title = QStringLiteral("Test");
    slot.Host = host;
    slot.Account = user;
    slot.Password = password;
    slot.PasswordGiven = true;
    return accountFrom(slot);
}
