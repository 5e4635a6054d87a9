#pragma once

#include "settings/account.h"

// An account on a test server, with the user and password the scripted log-ins expect, and the
// settings of its slot as given.
inline Account testAccount(const QString& host, const QString& user = QStringLiteral("joe"),
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
